#include "workbook/openworkbook.h"

#include "workbook/bytesource.h"
#include "workbook/importerrors.h"
#include "workbook/ods/odsworkbook.h"
#include "workbook/xls/xlsworkbook.h"
#include "workbook/xlsx/xlsxworkbook.h"
#include "workbook/zip/ziparchive.h"

#include <cstring>

namespace analysis {

namespace {

// A zip archive starts with a member's local header, or with the end of the
// central directory when it is empty.
bool isZip(ByteSource &source) {
    std::uint8_t magic[4];
    if (source.size() < sizeof magic || !source.read(0, sizeof magic, magic)) return false;
    return std::memcmp(magic, "PK\x03\x04", 4) == 0 || std::memcmp(magic, "PK\x05\x06", 4) == 0;
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
    return openWorkbook(std::move(source), error);
}

// The kind is told from the first bytes: a zip archive, or else a compound
// file, which the legacy reader tells from anything else.
std::unique_ptr<Workbook> openWorkbook(std::unique_ptr<ByteSource> source, int *error) {
    if (isZip(*source)) return openZipWorkbook(std::move(source), error);
    return xls::openXlsWorkbook(std::move(source), error);
}

} // namespace analysis
