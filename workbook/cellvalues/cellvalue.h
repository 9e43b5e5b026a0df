#pragma once

#include <QString>

#include <cstdint>

namespace analysis::cellvalues {

// One cell as a reader keeps it from a scan, in any of the formats, until
// the grid asks for its text.
struct CellValue {
    enum Kind : std::uint8_t { Text, Number, SharedText, Boolean, ErrorCode, Damaged };
    Kind kind = Text;
    std::uint32_t style = 0; // Number: its cell format may show it as a date
    double number = 0;       // Number; Boolean and ErrorCode keep their byte here
    std::uint32_t index = 0; // SharedText
    QString text;            // Text
};

// What turning a cell into text needs from its workbook.
class CellReferences {
public:
    // Whether a cell format shows numbers as dates: 0 or a failure number.
    virtual int isDateStyle(std::uint32_t style, bool *date) = 0;
    // The shared string of that index: 0 or a failure number.
    virtual int sharedText(std::uint32_t index, QString *text) = 0;
    virtual bool dateSystem1904() const = 0;

protected:
    ~CellReferences() = default;
};

// The text the grid shows for a cell: 0 or a failure number.
int cellText(const CellValue &cell, CellReferences &references, QString *text);

} // namespace analysis::cellvalues
