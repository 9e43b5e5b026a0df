#pragma once

// The harness shared by the fuzz targets of the zip-based readers (.xlsx and
// .ods). Each input is opened as a workbook and read the way the import reads
// it; every answer must be text or one of the failure numbers of
// importerrors.h.
//
// The mutator mostly unpacks the archive, mutates one of its XML parts and
// packs the members again (stored, uncompressed), so that the XML readers
// are reached far more often than by mutating deflated bytes; now and then it
// mutates the archive itself.

#include "analysis/bytesource.h"
#include "analysis/importerrors.h"
#include "analysis/workbook.h"
#include "analysis/zip/ziparchive.h"

#include "workbookcheck.h"
#include "zipwriter.h"

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
#include <random>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t *data, std::size_t size, std::size_t maxSize);

namespace packagefuzz {

using namespace analysis;

constexpr int SheetRows = 1048576;
constexpr int SheetColumns = 16384;

// The last cell of the sheets of both zip-based kinds.
inline int testOneInput(const std::uint8_t *data, std::size_t size) {
    return workbookcheck::testOneInput(data, size, SheetRows, SheetColumns);
}

// The members of the archive, inflated, when it is sound and small enough.
inline bool unpack(const std::uint8_t *data, std::size_t size, std::size_t limit,
                   std::vector<scorefuzz::ZipMember> *members) {
    int error = 0;
    std::unique_ptr<analysis::zip::Archive> archive = analysis::zip::Archive::open(
        memorySource(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))), &error);
    if (!archive) return false;
    std::size_t total = 0;
    for (std::uint64_t i = 0; i < archive->entryCount(); ++i) {
        std::unique_ptr<analysis::zip::EntryStream> entry = archive->openEntry(i, &error);
        if (!entry) return false;
        scorefuzz::ZipMember member{archive->entryName(i).toUtf8(), {}};
        char buffer[16384];
        for (;;) {
            const std::int64_t got = entry->read(buffer, sizeof buffer);
            if (got < 0) return false;
            if (got == 0) break;
            total += std::size_t(got);
            if (total > limit) return false;
            member.data.append(buffer, qsizetype(got));
        }
        members->push_back(std::move(member));
    }
    return !members->empty();
}

inline std::size_t customMutator(std::uint8_t *data, std::size_t size, std::size_t maxSize,
                                 unsigned int seed) {
    std::minstd_rand random(seed);
    std::vector<scorefuzz::ZipMember> members;
    if (random() % 4 != 0 && unpack(data, size, maxSize, &members)) {
        // XML parts are where the readers do their work.
        std::vector<std::size_t> parts;
        for (std::size_t i = 0; i < members.size(); ++i)
            if (members[i].name.endsWith(".xml") || members[i].name.endsWith(".rels"))
                parts.push_back(i);
        if (!parts.empty()) {
            QByteArray &part = members[parts[random() % parts.size()]].data;
            const std::size_t used = std::size_t(part.size());
            // Growth is gradual: long parts only cost time per run.
            const std::size_t room = std::min(maxSize, 2 * used + 4096);
            part.resize(qsizetype(room));
            const std::size_t mutated =
                LLVMFuzzerMutate(reinterpret_cast<std::uint8_t *>(part.data()), used, room);
            part.truncate(qsizetype(mutated));
            const QByteArray file = scorefuzz::writeZip(members);
            if (std::size_t(file.size()) <= maxSize) {
                std::memcpy(data, file.constData(), std::size_t(file.size()));
                return std::size_t(file.size());
            }
        }
    }
    return LLVMFuzzerMutate(data, size, maxSize);
}

} // namespace packagefuzz
