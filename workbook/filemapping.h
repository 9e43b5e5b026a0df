#pragma once

#include <cstdint>
#include <memory>

namespace analysis {

// A read-only mapping of a whole regular file, so that a reader scans the
// page cache in place instead of copying it out.
//
// A mapped file that another program cuts short would end this one with
// SIGBUS at the first read past the new end. A process-wide handler turns
// that into zeros instead: it lays fresh zero pages over the rest of the
// mapping, lets the read go on and marks the mapping as cut, and the reader
// then reports a damaged file. Faults anywhere else go on to whatever handled
// SIGBUS before.
class FileMapping {
public:
    // Null when the file can't be mapped (or too many mappings are open);
    // the caller then reads the file the ordinary way.
    static std::unique_ptr<FileMapping> map(int fd, std::uint64_t size);
    ~FileMapping();
    FileMapping(const FileMapping &) = delete;
    FileMapping &operator=(const FileMapping &) = delete;

    const std::uint8_t *data() const { return m_data; }
    // Lets the whole pages inside these bytes of the mapping go; reading them
    // again brings them back from the page cache.
    void release(const std::uint8_t *data, std::size_t length);
    // False once the file was found cut short: some bytes read since were
    // zeros, not the file's.
    bool intact() const;

private:
    FileMapping(const std::uint8_t *data, std::size_t length, int slot)
        : m_data(data), m_length(length), m_slot(slot) {}

    void dropPages(std::uintptr_t begin, std::uintptr_t end) const;

    const std::uint8_t *m_data;
    std::size_t m_length;
    int m_slot;
    std::uintptr_t m_releasedBegin = 0; // released bytes whose pages are still held
    std::uintptr_t m_releasedEnd = 0;
};

} // namespace analysis
