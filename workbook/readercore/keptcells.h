#pragma once

#include "workbook/cellvalues/cellvalue.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace analysis::readercore {

// The cells kept from one scan, by SheetLimits::cellKey, in key order (rows,
// then columns). Readers meet a sheet's cells in that order nearly always, so
// a cell is appended and the list sorted only when one came out of order; of
// two cells of one key the later one counts, as a later record overrides an
// earlier one in every format.
class KeptCells {
public:
    using Entry = std::pair<std::uint64_t, cellvalues::CellValue>;

    void clear() {
        m_entries.clear();
        m_ordered = true;
    }
    // The cells put, counting a key put twice twice until the list is sorted.
    std::size_t size() const { return m_entries.size(); }

    void put(std::uint64_t key, cellvalues::CellValue cell) {
        if (!m_entries.empty() && m_entries.back().first == key) {
            m_entries.back().second = std::move(cell);
            return;
        }
        m_ordered = m_ordered && (m_entries.empty() || m_entries.back().first < key);
        m_entries.emplace_back(key, std::move(cell));
    }
    // A cell emptied: what the grid shows for a cell never put.
    void empty(std::uint64_t key) { put(key, cellvalues::CellValue{}); }

    // The cell put last, when it has that key.
    cellvalues::CellValue *last(std::uint64_t key) {
        return !m_entries.empty() && m_entries.back().first == key ? &m_entries.back().second
                                                                   : nullptr;
    }

    // The cells in key order, one per key.
    const std::vector<Entry> &ordered() {
        if (!m_ordered) order();
        return m_entries;
    }

private:
    void order();

    std::vector<Entry> m_entries;
    bool m_ordered = true;
};

} // namespace analysis::readercore
