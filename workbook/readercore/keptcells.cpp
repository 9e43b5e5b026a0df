#include "workbook/readercore/keptcells.h"

#include <algorithm>

namespace analysis::readercore {

void KeptCells::order() {
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const Entry &a, const Entry &b) { return a.first < b.first; });
    // Of the cells of one key the last put stays.
    auto kept = m_entries.begin();
    for (auto next = m_entries.begin(); next != m_entries.end(); ++next) {
        if (kept != m_entries.begin() && std::prev(kept)->first == next->first)
            *std::prev(kept) = std::move(*next);
        else if (kept++ != next)
            *std::prev(kept) = std::move(*next);
    }
    m_entries.erase(kept, m_entries.end());
    m_ordered = true;
}

} // namespace analysis::readercore
