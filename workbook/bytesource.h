#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace analysis {

// Random access to the bytes of a file or of a buffer. Reads never reach past
// the end: a read that would is refused whole.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    virtual bool read(std::uint64_t offset, std::size_t length, std::uint8_t *out) = 0;

    // The bytes in place, valid as long as the source, when it holds them in
    // memory; null otherwise (and past the end), and read() serves.
    virtual const std::uint8_t *view(std::uint64_t offset, std::size_t length) {
        (void)offset;
        (void)length;
        return nullptr;
    }
    // The reader is done with these viewed bytes for now: a mapped file lets
    // their pages go, so that a long walk doesn't keep the whole file
    // resident. They stay readable.
    virtual void releaseView(const std::uint8_t *data, std::size_t length) {
        (void)data;
        (void)length;
    }
    // False once the file was cut short under a view of it: some bytes seen
    // through views since then were zeros, not the file's.
    virtual bool intact() const { return true; }
};

// Opens a regular file for reading, or null: a missing or unreadable file, a
// directory or a device all end the same way for the import.
std::unique_ptr<ByteSource> openFileSource(const QString &path);

std::unique_ptr<ByteSource> memorySource(QByteArray bytes);

// A regular file of at most `limit` bytes, read whole; nothing when it is
// larger, not a regular file, or can't be read to its end. It makes no
// QObject (as a QFile is), so a reading thread leaves nothing of Qt's behind.
std::optional<QByteArray> readSmallFile(const QString &path, std::uint64_t limit);

} // namespace analysis
