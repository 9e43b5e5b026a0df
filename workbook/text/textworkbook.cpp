#include "workbook/text/textworkbook.h"

#include "workbook/importerrors.h"
#include "workbook/text/csvsheet.h"
#include "workbook/text/textencoding.h"
#include "workbook/text/wholefile.h"

namespace analysis::text {

std::unique_ptr<Workbook> openTextWorkbook(ByteSource &source, const QString &sheetName,
                                           int *error) {
    QByteArray copy;
    const std::uint8_t *bytes = wholeFile(source, &copy);
    QString text;
    *error = bytes ? decodeText(bytes, std::size_t(source.size()), &text) : CannotOpen;
    // A file cut short while it was mapped read as zeros, not as its text.
    if (*error == NoError && !source.intact()) *error = CannotOpen;
    if (*error != NoError) return nullptr;
    std::vector<GridSheet> sheets{GridSheet(sheetName)};
    *error = readCsv(text, sniffSeparator(text), &sheets.front());
    if (*error != NoError) return nullptr;
    return std::make_unique<GridWorkbook>(std::move(sheets), true);
}

} // namespace analysis::text
