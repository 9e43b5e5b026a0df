#pragma once

#include <QStringView>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace analysis::cellvalues {

// Which cell formats show a number as a date. A cell names its cell format
// by index; the cell format names a number format, one of the workbook's
// own or else a built-in one. Formats may come in any order.
class DateStyles {
public:
    // A number format of the workbook's own; a later one of the same number
    // stands instead.
    void addFormat(std::uint32_t id, QStringView code);
    // The next cell format, naming its number format.
    void addStyle(std::uint32_t formatId);

    bool isDate(std::uint32_t style) const;

private:
    enum Known : std::uint8_t { Unknown, NotDate, Date };

    std::vector<std::uint32_t> m_styles;
    std::unordered_map<std::uint32_t, bool> m_customIsDate;
    mutable std::vector<Known> m_known; // by cell format, found as cells ask
};

} // namespace analysis::cellvalues
