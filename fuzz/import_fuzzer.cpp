// Feeds arbitrary bytes to the workbook readers the way the import uses them:
// open, find the sheet, read 100 rows of three columns. Every answer must be
// text or one of the failure numbers of importerrors.h; anything else (a
// crash, a sanitizer report, an unknown number) stops the run.
//
// The mutator mostly works on the records inside the "Workbook" stream and
// puts them back into a sound compound file, so that the BIFF layer is
// reached far more often than by mutating the container's bytes; now and then
// it mutates the container itself.

#include "bytesource.h"
#include "importerrors.h"
#include "workbook.h"
#include "xls/compoundfile.h"

#include "compoundwriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t *data, std::size_t size, std::size_t maxSize);

namespace {

using namespace analysis;

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "import_fuzzer: %s\n", what);
    std::abort();
}

// Rows 1 to 100 of columns 1 to 3; the first failure ends the reading, as it
// ends the import.
void readLikeTheImport(Workbook &workbook, int sheet) {
    for (int row = 1; row <= 100; ++row) {
        for (int column = 1; column <= 3; ++column) {
            QString text;
            const int error = workbook.cellText(sheet, row, column, &text);
            if (error == NoError) continue;
            if (error != CannotOpen)
                fail("cellText gave a number other than 0 or 5 inside the sheet");
            return;
        }
    }
}

void checkWorkbook(Workbook &workbook) {
    const QStringList names = workbook.sheetNames();
    QString text;
    if (workbook.cellText(int(names.size()), 1, 1, &text) != SheetMissing)
        fail("a sheet beyond the last was not missing");
    if (names.isEmpty()) return;
    const int first = workbook.sheetIndex(names.first());
    if (first < 0) fail("the first sheet's own name was not found");
    readLikeTheImport(workbook, first);
    // Column 16385 lies beyond the last column of every kind of workbook.
    if (workbook.cellText(first, 1, 16385, &text) != CellOutOfRange ||
        workbook.cellText(first, 1, 0, &text) != CellOutOfRange ||
        workbook.cellText(first, 0, 1, &text) != CellOutOfRange)
        fail("a cell outside the sheet was not out of range");
    // The far corner makes the reader scan the sheet a second time.
    const int corner = workbook.cellText(first, 65536, 256, &text);
    if (corner != NoError && corner != CannotOpen)
        fail("the last cell gave a number other than 0 or 5");
    const int named = workbook.sheetIndex(QStringLiteral("Sheet1"));
    if (named >= 0 && named != first) readLikeTheImport(workbook, named);
}

// The stream the records live in, when the container is sound enough to give
// it whole; an empty array otherwise.
QByteArray workbookStream(const std::uint8_t *data, std::size_t size, std::size_t maxSize,
                          std::u16string *name) {
    std::unique_ptr<ByteSource> source =
        memorySource(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    xls::CompoundFile::OpenResult result;
    std::unique_ptr<xls::CompoundFile> file = xls::CompoundFile::open(*source, &result);
    if (!file) return {};
    for (std::u16string_view candidate :
         {std::u16string_view(u"Workbook"), std::u16string_view(u"Book")}) {
        const std::optional<xls::DirectoryEntry> entry = file->rootStream(candidate);
        if (!entry) continue;
        std::unique_ptr<xls::Stream> stream = file->openStream(*entry);
        if (!stream || stream->size() > maxSize) return {};
        QByteArray bytes(qsizetype(stream->size()), Qt::Uninitialized);
        if (!stream->read(0, std::size_t(bytes.size()),
                          reinterpret_cast<std::uint8_t *>(bytes.data())))
            return {};
        *name = std::u16string(candidate);
        return bytes;
    }
    return {};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    int error = -1;
    std::unique_ptr<Workbook> workbook = openWorkbook(
        memorySource(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))), &error);
    if (!workbook) {
        if (error != CannotOpen && error != NotAWorkbook)
            fail("openWorkbook failed with a number other than 5 or 438");
        return 0;
    }
    if (error != NoError) fail("openWorkbook gave a workbook and a failure number");
    checkWorkbook(*workbook);
    return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t *data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    std::minstd_rand random(seed);
    // The container needs a few sectors of its own besides the stream.
    constexpr std::size_t ContainerRoom = 4 * 512;
    if (random() % 4 != 0 && maxSize > 2 * ContainerRoom) {
        std::size_t streamLimit = maxSize - ContainerRoom - maxSize / 64;
        std::u16string name;
        QByteArray stream = workbookStream(data, size, streamLimit, &name);
        if (!stream.isEmpty()) {
            const std::size_t used = std::size_t(stream.size());
            // Growth is gradual: long streams only cost time per run.
            streamLimit = std::min(streamLimit, 2 * used + 4096);
            stream.resize(qsizetype(streamLimit));
            const std::size_t mutated = LLVMFuzzerMutate(
                reinterpret_cast<std::uint8_t *>(stream.data()), used, streamLimit);
            stream.truncate(qsizetype(mutated));
            scorefuzz::CompoundWriterOptions options;
            options.streamName = name;
            const QByteArray file = scorefuzz::writeCompoundFile(stream, options);
            if (std::size_t(file.size()) <= maxSize) {
                std::memcpy(data, file.constData(), std::size_t(file.size()));
                return std::size_t(file.size());
            }
        }
    }
    return LLVMFuzzerMutate(data, size, maxSize);
}
