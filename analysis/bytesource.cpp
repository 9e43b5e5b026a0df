#include "bytesource.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace analysis {

namespace {

class FileSource final : public ByteSource {
public:
    FileSource(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
    ~FileSource() override { ::close(m_fd); }

    std::uint64_t size() const override { return m_size; }

    bool read(std::uint64_t offset, std::size_t length, std::uint8_t *out) override {
        if (offset > m_size || length > m_size - offset) return false;
        while (length > 0) {
            const ssize_t got = ::pread(m_fd, out, length, off_t(offset));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false; // an I/O error, or the file shrank under us
            out += got;
            offset += std::uint64_t(got);
            length -= std::size_t(got);
        }
        return true;
    }

private:
    int m_fd;
    std::uint64_t m_size;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    std::uint64_t size() const override { return std::uint64_t(m_bytes.size()); }

    bool read(std::uint64_t offset, std::size_t length, std::uint8_t *out) override {
        if (offset > size() || length > size() - offset) return false;
        if (length > 0) std::memcpy(out, m_bytes.constData() + offset, length);
        return true;
    }

private:
    QByteArray m_bytes;
};

} // namespace

std::unique_ptr<ByteSource> openFileSource(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || name.contains('\0')) return nullptr;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FileSource>(fd, std::uint64_t(info.st_size));
}

std::unique_ptr<ByteSource> memorySource(QByteArray bytes) {
    return std::make_unique<MemorySource>(std::move(bytes));
}

} // namespace analysis
