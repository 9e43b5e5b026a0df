#include "workbook/text/textworkbook.h"

#include "workbook/importerrors.h"
#include "workbook/text/csvsheet.h"
#include "workbook/text/textencoding.h"
#include "workbook/text/wholefile.h"

namespace analysis::text {

std::unique_ptr<Workbook> openTextWorkbook(std::unique_ptr<ByteSource> source,
                                           const QString &sheetName, int *error) {
    QByteArray copy;
    const std::uint8_t *bytes = wholeFile(*source, &copy);
    const std::size_t size = bytes ? std::size_t(source->size()) : 0;
    const TextEncoding encoding = bytes ? chooseEncoding(bytes, size) : TextEncoding();
    // The choice has seen every byte: a file cut short meanwhile read as zeros.
    *error = encoding.kind == TextEncoding::Kind::None || !source->intact() ? CannotOpen : NoError;
    if (*error != NoError) return nullptr;
    std::unique_ptr<DecodedText> text;
    if (encoding.kind == TextEncoding::Kind::Utf16Le ||
        encoding.kind == TextEncoding::Kind::Utf16Be) {
        // Rare and small: decoded whole.
        QString whole;
        *error = decodeText(bytes, size, &whole);
        if (*error == NoError && !source->intact()) *error = CannotOpen;
        if (*error != NoError) return nullptr;
        text = std::make_unique<DecodedText>(std::move(whole));
    } else {
        text = std::make_unique<DecodedText>(std::move(source), std::move(copy), bytes,
                                             encoding.markLength, size, encoding.kind);
    }
    // The first part tells the separator; the rest is decoded as it is read.
    *error = text->more();
    if (*error != NoError) return nullptr;
    const QChar separator = sniffSeparator(text->text());
    std::vector<GridSheet> sheets{GridSheet(sheetName)};
    sheets.front().setPendingRows(csvRows(std::move(text), separator));
    return std::make_unique<GridWorkbook>(std::move(sheets), true);
}

} // namespace analysis::text
