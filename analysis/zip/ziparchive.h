#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

struct zip;
struct zip_file;

namespace analysis {
class ByteSource;
}

namespace analysis::zip {

// One member of an archive, inflated front to back. Reading stops at the
// size the archive declares for it: data that runs on is damage.
class EntryStream {
public:
    EntryStream(zip_file *file, std::uint64_t size) : m_file(file), m_size(size) {}
    ~EntryStream();
    EntryStream(const EntryStream &) = delete;
    EntryStream &operator=(const EntryStream &) = delete;

    // Up to length bytes into out: the count read, 0 at the end, -1 when the
    // data is damaged.
    std::int64_t read(char *out, std::size_t length);

private:
    zip_file *m_file;
    std::uint64_t m_size;
    std::uint64_t m_read = 0;
};

// A zip archive read through libzip, straight from the byte source: only the
// central directory and the members asked for are read.
class Archive {
public:
    // Returns null with CannotOpen when the bytes are no sound archive.
    static std::unique_ptr<Archive> open(std::unique_ptr<ByteSource> source, int *error);
    ~Archive();
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    // The member of that name; names compare exactly first, then without
    // regard to case, as package part names do.
    std::optional<std::uint64_t> find(const QString &name) const;

    // The members in the archive's order, by index.
    std::uint64_t entryCount() const;
    QString entryName(std::uint64_t index) const;

    // Opens a member for reading. CannotOpen when it is encrypted, damaged or
    // declares a size out of all proportion to the archive.
    std::unique_ptr<EntryStream> openEntry(std::uint64_t index, int *error);

    // The largest member size accepted: 100 times the archive, and at least
    // 64 MB, so that a small archive can't inflate into gigabytes.
    std::uint64_t sizeLimit() const;

private:
    struct Source;
    Archive(std::unique_ptr<Source> source, ::zip *archive);

    std::unique_ptr<Source> m_source;
    ::zip *m_archive;
};

} // namespace analysis::zip
