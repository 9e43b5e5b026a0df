#include "workbook/open/openworkbook.h"

#include "workbook/bytesource.h"
#include "workbook/html/htmlworkbook.h"
#include "workbook/importerrors.h"
#include "workbook/ods/odsworkbook.h"
#include "workbook/text/textencoding.h"
#include "workbook/text/textworkbook.h"
#include "workbook/xls/xlsworkbook.h"
#include "workbook/xlsx/xlsxworkbook.h"
#include "workbook/zip/ziparchive.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace analysis {

namespace {

// The first bytes, as many as the file has up to the length asked for.
std::size_t firstBytes(ByteSource &source, std::size_t length, std::uint8_t *out) {
    length = std::size_t(std::min<std::uint64_t>(source.size(), length));
    return source.read(0, length, out) ? length : 0;
}

// Whether the file starts like the magic number, or is a piece of its start:
// a file cut that short is a damaged file of that kind, not text.
bool startsLike(ByteSource &source, const char *magic, std::size_t length) {
    std::uint8_t first[8];
    const std::size_t got = firstBytes(source, length, first);
    return got > 0 && std::memcmp(first, magic, got) == 0;
}

// A zip archive starts with a member's local header, or with the end of the
// central directory when it is empty.
bool isZip(ByteSource &source) {
    return startsLike(source, "PK\x03\x04", 4) || startsLike(source, "PK\x05\x06", 4);
}

bool isCompoundFile(ByteSource &source) {
    return startsLike(source, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

// Both zip-based formats are told by their parts: an OpenDocument file names
// its kind in "mimetype" (or, without it, has a content part); an Office Open
// XML package has a relationship part at its root.
std::unique_ptr<Workbook> openZipWorkbook(std::unique_ptr<ByteSource> source, int *error) {
    std::unique_ptr<zip::Archive> archive = zip::Archive::open(std::move(source), error);
    if (!archive) return nullptr;
    const bool relationships = archive->find(QStringLiteral("_rels/.rels")).has_value();
    if (archive->find(QStringLiteral("mimetype")) ||
        (!relationships && archive->find(QStringLiteral("content.xml"))))
        return ods::openOdsWorkbook(std::move(archive), error);
    if (relationships) return xlsx::openXlsxWorkbook(std::move(archive), error);
    *error = NotAWorkbook;
    return nullptr;
}

} // namespace

std::unique_ptr<Workbook> openWorkbook(const QString &path, int *error) {
    std::unique_ptr<ByteSource> source = openFileSource(path);
    if (!source) {
        *error = CannotOpen;
        return nullptr;
    }
    return openWorkbook(std::move(source), error, QFileInfo(path).completeBaseName());
}

// The kind is told from the first bytes: a zip archive, a compound file, a
// web page, or text; anything else is a file of another kind.
std::unique_ptr<Workbook> openWorkbook(std::unique_ptr<ByteSource> source, int *error,
                                       const QString &sheetName) {
    if (isZip(*source)) return openZipWorkbook(std::move(source), error);
    if (isCompoundFile(*source)) return xls::openXlsWorkbook(std::move(source), error);
    std::uint8_t first[4096];
    const std::size_t length = firstBytes(*source, sizeof first, first);
    switch (html::pageKind(first, length)) {
    case html::PageKind::Page:
        return html::openHtmlWorkbook(*source, error);
    case html::PageKind::OtherMarkup:
        *error = NotAWorkbook;
        return nullptr;
    case html::PageKind::None:
        break;
    }
    if (!text::looksLikeText(first, length)) {
        *error = NotAWorkbook;
        return nullptr;
    }
    return text::openTextWorkbook(
        std::move(source), sheetName.isEmpty() ? QStringLiteral("Sheet1") : sheetName, error);
}

} // namespace analysis
