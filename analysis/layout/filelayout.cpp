#include "analysis/layout/filelayout.h"

#include "workbook/importerrors.h"
#include "workbook/open/openworkbook.h"

namespace analysis {

SheetLayout detectFileLayout(const QString &path, const std::optional<QString> &sheet) {
    SheetLayout failed;
    const std::unique_ptr<Workbook> workbook = openWorkbook(path, &failed.errorNumber);
    if (!workbook) return failed;
    if (!sheet) return detectLayout(*workbook);
    const int index = workbook->sheetIndex(*sheet);
    if (index < 0) {
        failed.errorNumber = SheetMissing;
        return failed;
    }
    return detectLayout(*workbook, index);
}

std::optional<ImportFields> layoutImportFields(const SheetLayout &layout, const QString &path) {
    // A long table's score column holds every subject: no one subject's scores.
    if (layout.course.found()) return std::nullopt;
    const LayoutColumn score = layout.firstScore();
    if (layout.errorNumber || layout.sheet < 0 || layout.firstRow < 1 || !layout.number.found() ||
        !layout.name.found() || !score.found())
        return std::nullopt;
    ImportFields fields;
    fields.path = path;
    fields.sheet = layout.sheetName;
    fields.firstRow = QString::number(layout.firstRow);
    fields.numberColumn = QString::number(layout.number.column);
    fields.nameColumn = QString::number(layout.name.column);
    fields.scoreColumn = QString::number(score.column);
    return fields;
}

int lastClassRow(const SheetLayout &layout) {
    const int rows = dataRowCount(layout);
    return rows > 0 ? layout.firstRow + rows - 1 : 0;
}

int dataRowCount(const SheetLayout &layout) {
    return layout.firstRow > 0 && layout.footerRow > layout.firstRow
               ? layout.footerRow - layout.firstRow
               : 0;
}

} // namespace analysis
