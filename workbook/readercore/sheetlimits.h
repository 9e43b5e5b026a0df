#pragma once

#include <bit>
#include <cstdint>

namespace analysis::readercore {

// The size of a worksheet in one family of formats, rows and columns counted
// from 1.
struct SheetLimits {
    int columns = 0;
    int rows = 0;

    constexpr bool contains(int row, int column) const {
        return column >= 1 && column <= columns && row >= 1 && row <= rows;
    }

    // The key of a cell inside the sheet among the cells kept from a scan:
    // the row above as many bits as the last column needs.
    constexpr std::uint64_t cellKey(int row, int column) const {
        return std::uint64_t(row) << std::bit_width(unsigned(columns)) | std::uint64_t(column);
    }

    // The row of a cell key.
    constexpr int keyRow(std::uint64_t key) const {
        return int(key >> std::bit_width(unsigned(columns)));
    }
};

// The legacy binary workbook (.xls).
inline constexpr SheetLimits LegacySheet{256, 65536};
// Office Open XML (.xlsx, .xlsm) and OpenDocument (.ods).
inline constexpr SheetLimits XmlSheet{16384, 1048576};

} // namespace analysis::readercore
