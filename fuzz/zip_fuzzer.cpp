// Feeds raw bytes to the zip container of the .xlsx and .ods readers: the
// central directory with its zip64 records, the local headers, stored and
// deflated members. Every member is read to its end in small and large steps;
// a read must never give more than was asked for, nor more than the member
// declares, and once it reports damage or the end it must keep saying so.
// Seed it with .xlsx and .ods files.

#include "workbook/bytesource.h"
#include "workbook/importerrors.h"
#include "workbook/zip/ziparchive.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "zip_fuzzer: %s\n", what);
    std::abort();
}

void readWhole(analysis::zip::Archive &archive, std::uint64_t index, std::size_t step) {
    int error = -1;
    std::unique_ptr<analysis::zip::EntryStream> entry = archive.openEntry(index, &error);
    if (!entry) {
        if (error != analysis::CannotOpen) fail("a member that doesn't open gave no failure 5");
        return;
    }
    if (error != analysis::NoError) fail("an opened member came with a failure number");
    char buffer[4096];
    std::uint64_t total = 0;
    for (;;) {
        const std::int64_t got = entry->read(buffer, step);
        if (got < -1 || got > std::int64_t(step)) fail("a read gave more than was asked for");
        if (got <= 0) {
            if (entry->read(buffer, step) != got) fail("a finished member read on");
            return;
        }
        total += std::uint64_t(got);
        if (total > archive.sizeLimit()) fail("a member inflated past the size limit");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    int error = -1;
    std::unique_ptr<analysis::zip::Archive> archive = analysis::zip::Archive::open(
        analysis::memorySource(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))),
        &error);
    if (!archive) {
        if (error != analysis::CannotOpen) fail("an archive that doesn't open gave no failure 5");
        return 0;
    }
    const std::uint64_t count = archive->entryCount();
    for (std::uint64_t i = 0; i < count && i < 64; ++i) {
        // Names that aren't UTF-8 don't come back byte for byte; ASCII ones must.
        const QString name = archive->entryName(i);
        const bool ascii =
            std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii && archive->find(name).value_or(count) > i)
            fail("a member's own name found nothing or a later member");
        readWhole(*archive, i, i % 2 ? 7 : 4096);
    }
    int beyond = -1;
    if (archive->openEntry(count, &beyond) || beyond != analysis::CannotOpen)
        fail("a member past the last opened");
    return 0;
}
