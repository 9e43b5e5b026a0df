// Feeds arbitrary bytes to the workbook readers the way the import uses them:
// open, find the sheet, read 100 rows of three columns. Every answer must be
// text or one of the failure numbers of importerrors.h; anything else (a
// crash, a sanitizer report, an unknown number) stops the run.
//
// The mutator mostly works on the records inside the "Workbook" stream and
// puts them back into a sound compound file, so that the BIFF layer is
// reached far more often than by mutating the container's bytes; now and then
// it mutates the container itself.

#include "analysis/bytesource.h"
#include "analysis/importerrors.h"
#include "analysis/workbook.h"
#include "analysis/xls/compoundfile.h"

#include "compoundwriter.h"
#include "workbookcheck.h"

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
    // The last cell of a legacy sheet, inside every other kind too.
    return workbookcheck::testOneInput(data, size, 65536, 256);
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
