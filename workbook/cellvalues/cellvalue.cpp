#include "workbook/cellvalues/cellvalue.h"

#include "workbook/cellvalues/valuetext.h"
#include "workbook/damage.h"
#include "workbook/importerrors.h"
#include "workbook/numbertext.h"

namespace analysis::cellvalues {

int cellText(const CellValue &cell, CellReferences &references, QString *text) {
    switch (cell.kind) {
    case CellValue::Text:
        *text = cell.text;
        return NoError;
    case CellValue::Number: {
        bool date = false;
        if (const int failure = references.isDateStyle(cell.style, &date)) return failure;
        *text = date ? dateText(cell.number, references.dateSystem1904()) : doubleText(cell.number);
        return NoError;
    }
    case CellValue::SharedText:
        return references.sharedText(cell.index, text);
    case CellValue::Boolean:
        *text = booleanText(cell.number != 0);
        return NoError;
    case CellValue::ErrorCode:
        *text = errorText(std::uint8_t(cell.number));
        return NoError;
    case CellValue::Damaged: // a value the scan could not read, told when asked for
        break;
    }
    return WORKBOOK_DAMAGED();
}

} // namespace analysis::cellvalues
