#pragma once

#include "workbook/bytesource.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace analysis::xls {

class CompoundFile;

// One stream of a compound file. Its sector chain is followed lazily, only as
// far as the reads need, and a chain that revisits a sector is damaged.
class Stream {
public:
    virtual ~Stream() = default;
    virtual std::uint64_t size() const = 0;
    // False when the bytes are not all there (past the end, or a broken chain).
    virtual bool read(std::uint64_t offset, std::size_t length, std::uint8_t *out) = 0;
    // The stream's bytes from offset in place, when the file is in memory and
    // they lie in neighbouring sectors: at least minimum and at most length of
    // them, *available telling how many. Null otherwise; read() then serves.
    virtual const std::uint8_t *view(std::uint64_t offset, std::size_t minimum, std::size_t length,
                                     std::size_t *available) {
        (void)offset;
        (void)minimum;
        (void)length;
        (void)available;
        return nullptr;
    }
    // Done with bytes seen through view() for now (see ByteSource).
    virtual void releaseView(const std::uint8_t *data, std::size_t length) {
        (void)data;
        (void)length;
    }
};

// The type byte of a directory entry; other values (unused entries and the
// like) are kept as they are and match none of these.
enum class EntryType : std::uint8_t { Storage = 1, Stream = 2, Root = 5 };

struct DirectoryEntry {
    std::u16string name;
    EntryType type{};
    std::uint32_t left = 0, right = 0, child = 0;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
};

// The compound-file container (the format of legacy Office documents): a FAT
// of sector chains, the directory, and the mini stream for small streams.
// Only the sectors asked for are read; every table entry is checked against
// the file's real size.
class CompoundFile {
public:
    enum class OpenResult { Opened, NotCompound, Damaged };

    static std::unique_ptr<CompoundFile> open(ByteSource &source, OpenResult *result);

    // A stream directly below the root storage, its name compared without
    // regard to the case of ASCII letters.
    std::optional<DirectoryEntry> rootStream(std::u16string_view name);

    std::unique_ptr<Stream> openStream(const DirectoryEntry &entry);

    // Implementation interface of the streams.
    std::uint32_t sectorSize() const { return m_sectorSize; }
    std::uint32_t sectorCount() const { return m_sectorCount; }
    bool readSector(std::uint32_t sector, std::uint32_t offset, std::size_t length,
                    std::uint8_t *out);
    const std::uint8_t *viewSector(std::uint32_t sector, std::uint32_t offset, std::size_t length);
    void releaseView(const std::uint8_t *data, std::size_t length) {
        m_source.releaseView(data, length);
    }
    std::optional<std::uint32_t> nextSector(std::uint32_t sector);

private:
    explicit CompoundFile(ByteSource &source) : m_source(source) {}
    bool readHeader(OpenResult *result);
    std::optional<std::uint32_t> fatSectorLocation(std::uint32_t index);
    std::optional<DirectoryEntry> directoryEntry(std::uint32_t index);
    std::optional<std::uint32_t> nextMiniSector(std::uint32_t sector);

    ByteSource &m_source;
    std::uint32_t m_sectorSize = 512;
    std::uint32_t m_sectorCount = 0; // whole or partial sectors after the header
    std::uint32_t m_firstDirectorySector = 0;
    std::uint32_t m_firstMiniFatSector = 0;
    std::uint32_t m_miniFatSectors = 0;
    std::uint32_t m_firstDifatSector = 0;
    std::vector<std::uint32_t> m_headerDifat;
    std::vector<std::uint32_t> m_difatChain;            // DIFAT sectors found so far
    std::vector<std::vector<std::uint32_t>> m_fatCache; // by FAT sector index, filled as needed
    std::unique_ptr<Stream> m_directory;
    std::unique_ptr<Stream> m_miniStream;
    std::unique_ptr<Stream> m_miniFat;
};

} // namespace analysis::xls
