#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct z_stream_s;

namespace analysis {
class ByteSource;
}

namespace analysis::zip {

// What the central directory says of one member.
struct Entry {
    QByteArray name; // as stored: UTF-8 for every package part name
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t headerOffset = 0;
    std::uint32_t crc = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
};

// One member of an archive, inflated front to back. Reading stops at the
// size the archive declares for it: data that runs on, ends early or fails
// its checksum is damage.
class EntryStream {
public:
    // The source belongs to the archive, which outlives the stream.
    EntryStream(ByteSource &source, std::uint64_t dataOffset, const Entry &entry);
    ~EntryStream();
    EntryStream(const EntryStream &) = delete;
    EntryStream &operator=(const EntryStream &) = delete;

    // Up to length bytes into out: the count read, 0 at the end, -1 when the
    // data is damaged.
    std::int64_t read(char *out, std::size_t length);

private:
    std::int64_t readStored(char *out, std::size_t length);
    std::int64_t readDeflated(char *out, std::size_t length);
    bool fillInput();
    std::int64_t damaged();

    ByteSource &m_source;
    std::uint64_t m_next;           // the next compressed byte in the source
    std::uint64_t m_compressedLeft; // compressed bytes not yet taken from the source
    std::uint64_t m_size;
    std::uint64_t m_read = 0;
    std::uint32_t m_expectedCrc;
    std::uint32_t m_crc = 0;
    bool m_ended = false;
    bool m_damaged = false;
    std::unique_ptr<z_stream_s> m_inflater; // null for a stored member
    std::vector<std::uint8_t> m_input;
};

// A zip archive read straight from the byte source: the central directory
// when it opens, then only the members asked for. Stored and deflated members
// are read; zip64 sizes and offsets are understood.
class Archive {
public:
    // Returns null with CannotOpen when the bytes are no sound archive.
    static std::unique_ptr<Archive> open(std::unique_ptr<ByteSource> source, int *error);
    ~Archive();
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    // The member of that name; names compare exactly first, then without
    // regard to ASCII case, as package part names do.
    std::optional<std::uint64_t> find(const QString &name) const;

    // The members in the archive's order, by index.
    std::uint64_t entryCount() const { return m_entries.size(); }
    QString entryName(std::uint64_t index) const;

    // Opens a member for reading. CannotOpen when it is encrypted, compressed
    // by another method, damaged or declares a size out of all proportion to
    // the archive.
    std::unique_ptr<EntryStream> openEntry(std::uint64_t index, int *error);

    // The largest member size accepted: 100 times the archive, and at least
    // 64 MB, so that a small archive can't inflate into gigabytes.
    std::uint64_t sizeLimit() const;

private:
    Archive(std::unique_ptr<ByteSource> source, std::vector<Entry> entries);

    std::unique_ptr<ByteSource> m_source;
    std::vector<Entry> m_entries;
};

} // namespace analysis::zip
