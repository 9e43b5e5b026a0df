#pragma once

// Writes a minimal compound file holding one stream below the root storage,
// as the fuzz targets and the robustness tests need to put records of their
// own making into a container the reader accepts. A stream below 4096 bytes
// goes into the mini stream, a longer one into ordinary sectors, as Office
// writes them. Unused sectors may be placed before the stream's data, so that
// the FAT grows past what the header can list and DIFAT sectors are needed.

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace scorefuzz {

namespace compound {
constexpr std::uint32_t SectorSize = 512;
constexpr std::uint32_t MiniSectorSize = 64;
constexpr std::uint32_t MiniStreamCutoff = 4096;
constexpr std::uint32_t HeaderDifatEntries = 109;
constexpr std::uint32_t EntriesPerSector = SectorSize / 4;
constexpr std::uint32_t DifatEntriesPerSector = EntriesPerSector - 1;
constexpr std::uint32_t DifatSector = 0xFFFFFFFC;
constexpr std::uint32_t FatSector = 0xFFFFFFFD;
constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t FreeSector = 0xFFFFFFFF;
constexpr std::uint32_t NoStream = 0xFFFFFFFF;
} // namespace compound

struct CompoundWriterOptions {
    std::u16string_view streamName = u"Workbook";
    std::uint32_t leadingFreeSectors = 0;
};

namespace detail {

inline void put16(QByteArray &bytes, qsizetype at, std::uint16_t value) {
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char(value >> 8);
}

inline void put32(QByteArray &bytes, qsizetype at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

inline std::uint32_t sectorsFor(std::uint64_t bytes, std::uint32_t unit) {
    return std::uint32_t((bytes + unit - 1) / unit);
}

// One 128-byte directory entry at the given offset.
inline void putDirectoryEntry(QByteArray &bytes, qsizetype at, std::u16string_view name,
                              std::uint8_t type, std::uint32_t child, std::uint32_t start,
                              std::uint64_t size) {
    using namespace compound;
    for (std::size_t i = 0; i < name.size() && i < 31; ++i)
        put16(bytes, at + qsizetype(2 * i), std::uint16_t(name[i]));
    put16(bytes, at + 64, std::uint16_t(2 * (std::min<std::size_t>(name.size(), 31) + 1)));
    bytes[at + 66] = char(type);
    bytes[at + 67] = 1; // black
    put32(bytes, at + 68, NoStream);
    put32(bytes, at + 72, NoStream);
    put32(bytes, at + 76, child);
    put32(bytes, at + 116, start);
    put32(bytes, at + 120, std::uint32_t(size));
    put32(bytes, at + 124, std::uint32_t(size >> 32));
}

} // namespace detail

inline QByteArray writeCompoundFile(QByteArrayView stream,
                                    const CompoundWriterOptions &options = {}) {
    using namespace compound;
    using detail::put32;
    using detail::sectorsFor;

    const bool small = std::uint64_t(stream.size()) < MiniStreamCutoff;
    const std::uint32_t miniSectors =
        small ? sectorsFor(std::uint64_t(stream.size()), MiniSectorSize) : 0;
    // The data sectors hold the stream itself, or the mini stream around it.
    const std::uint64_t dataBytes =
        small ? std::uint64_t(miniSectors) * MiniSectorSize : std::uint64_t(stream.size());
    const std::uint32_t dataSectors = sectorsFor(dataBytes, SectorSize);
    const std::uint32_t miniFatSectors = sectorsFor(std::uint64_t(miniSectors) * 4, SectorSize);
    const std::uint32_t fixedSectors =
        1 + miniFatSectors + options.leadingFreeSectors + dataSectors;

    // The FAT covers itself and the DIFAT sectors too, so grow both together.
    std::uint32_t fatSectors = 1, difatSectors = 0;
    for (;;) {
        const std::uint32_t total = fatSectors + difatSectors + fixedSectors;
        const std::uint32_t fat = sectorsFor(total, EntriesPerSector);
        const std::uint32_t difat =
            fat > HeaderDifatEntries ? sectorsFor(fat - HeaderDifatEntries, DifatEntriesPerSector)
                                     : 0;
        if (fat == fatSectors && difat == difatSectors) break;
        fatSectors = fat;
        difatSectors = difat;
    }
    const std::uint32_t firstDifat = fatSectors;
    const std::uint32_t directory = firstDifat + difatSectors;
    const std::uint32_t firstMiniFat = directory + 1;
    const std::uint32_t firstData = firstMiniFat + miniFatSectors + options.leadingFreeSectors;
    const std::uint32_t totalSectors = firstData + dataSectors;

    std::vector<std::uint32_t> fat(std::size_t(fatSectors) * EntriesPerSector, FreeSector);
    for (std::uint32_t i = 0; i < fatSectors; ++i)
        fat[i] = FatSector;
    for (std::uint32_t i = 0; i < difatSectors; ++i)
        fat[firstDifat + i] = DifatSector;
    fat[directory] = EndOfChain;
    const auto chain = [&fat](std::uint32_t first, std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i)
            fat[first + i] = i + 1 < count ? first + i + 1 : EndOfChain;
    };
    chain(firstMiniFat, miniFatSectors);
    chain(firstData, dataSectors);

    QByteArray file(qsizetype(totalSectors + 1) * SectorSize, '\0');
    const auto sectorOffset = [](std::uint32_t sector) {
        return qsizetype(sector + 1) * SectorSize;
    };

    // Header.
    static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int i = 0; i < 8; ++i)
        file[i] = char(signature[i]);
    detail::put16(file, 24, 0x003E);
    detail::put16(file, 26, 3);
    detail::put16(file, 28, 0xFFFE);
    detail::put16(file, 30, 9);
    detail::put16(file, 32, 6);
    put32(file, 44, fatSectors);
    put32(file, 48, directory);
    put32(file, 56, MiniStreamCutoff);
    put32(file, 60, miniFatSectors ? firstMiniFat : EndOfChain);
    put32(file, 64, miniFatSectors);
    put32(file, 68, difatSectors ? firstDifat : EndOfChain);
    put32(file, 72, difatSectors);
    for (std::uint32_t i = 0; i < HeaderDifatEntries; ++i)
        put32(file, 76 + 4 * qsizetype(i), i < fatSectors ? i : FreeSector);

    // DIFAT sectors: the FAT sectors beyond the header's list, then the next.
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
        const qsizetype at = sectorOffset(firstDifat + d);
        for (std::uint32_t i = 0; i < DifatEntriesPerSector; ++i) {
            const std::uint32_t index = HeaderDifatEntries + d * DifatEntriesPerSector + i;
            put32(file, at + 4 * qsizetype(i), index < fatSectors ? index : FreeSector);
        }
        put32(file, at + SectorSize - 4, d + 1 < difatSectors ? firstDifat + d + 1 : EndOfChain);
    }

    for (std::size_t i = 0; i < fat.size(); ++i)
        put32(file,
              sectorOffset(std::uint32_t(i / EntriesPerSector)) +
                  qsizetype(4 * (i % EntriesPerSector)),
              fat[i]);

    // Directory: the root, the stream, and two unused entries.
    const qsizetype dir = sectorOffset(directory);
    detail::putDirectoryEntry(file, dir, u"Root Entry", 5, 1,
                              small && dataSectors ? firstData : EndOfChain, small ? dataBytes : 0);
    detail::putDirectoryEntry(file, dir + 128, options.streamName, 2, NoStream,
                              small ? (miniSectors ? 0 : EndOfChain) : firstData,
                              std::uint64_t(stream.size()));
    for (int unused = 2; unused < 4; ++unused)
        for (int link = 0; link < 3; ++link)
            put32(file, dir + 128 * unused + 68 + 4 * link, NoStream);

    if (miniFatSectors) {
        std::vector<std::uint32_t> miniFat(std::size_t(miniFatSectors) * EntriesPerSector,
                                           FreeSector);
        for (std::uint32_t i = 0; i < miniSectors; ++i)
            miniFat[i] = i + 1 < miniSectors ? i + 1 : EndOfChain;
        for (std::size_t i = 0; i < miniFat.size(); ++i)
            put32(file, sectorOffset(firstMiniFat) + qsizetype(4 * i), miniFat[i]);
    }

    if (!stream.isEmpty())
        std::copy(stream.begin(), stream.end(), file.begin() + sectorOffset(firstData));
    return file;
}

} // namespace scorefuzz
