#include "workbook/bytesource.h"

#include "workbook/filemapping.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace analysis {

namespace {

// A file, mapped when it can be (a scan then reads the page cache in place),
// read with pread otherwise.
class FileSource final : public ByteSource {
public:
    FileSource(int fd, std::uint64_t size)
        : m_fd(fd), m_size(size), m_mapping(FileMapping::map(fd, size)) {}
    ~FileSource() override {
        m_mapping.reset();
        ::close(m_fd);
    }

    std::uint64_t size() const override { return m_size; }

    bool read(std::uint64_t offset, std::size_t length, std::uint8_t *out) override {
        if (offset > m_size || length > m_size - offset) return false;
        if (m_mapping) {
            if (length > 0) std::memcpy(out, m_mapping->data() + offset, length);
            return intact();
        }
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

    const std::uint8_t *view(std::uint64_t offset, std::size_t length) override {
        if (!m_mapping || offset > m_size || length > m_size - offset) return nullptr;
        return m_mapping->data() + offset;
    }

    void releaseView(const std::uint8_t *data, std::size_t length) override {
        if (m_mapping) m_mapping->release(data, length);
    }

    // A file cut short inside a page shows zeros up to the page's end without
    // any fault, so its size is looked at too.
    bool intact() const override {
        if (!m_mapping || m_cut) return !m_cut;
        struct stat info;
        m_cut = !m_mapping->intact() || ::fstat(m_fd, &info) != 0 ||
                std::uint64_t(info.st_size) < m_size;
        return !m_cut;
    }

private:
    int m_fd;
    std::uint64_t m_size;
    std::unique_ptr<FileMapping> m_mapping;
    mutable bool m_cut = false; // once cut, what was read may be zeros, even if it grows again
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

    const std::uint8_t *view(std::uint64_t offset, std::size_t length) override {
        if (offset > size() || length > size() - offset) return nullptr;
        return reinterpret_cast<const std::uint8_t *>(m_bytes.constData()) + offset;
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

std::optional<QByteArray> readSmallFile(const QString &path, std::uint64_t limit) {
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || name.contains('\0')) return std::nullopt;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info;
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && std::uint64_t(info.st_size) <= limit) {
        bytes = QByteArray(qsizetype(info.st_size), Qt::Uninitialized);
        qsizetype done = 0;
        while (bytes && done < bytes->size()) {
            const ssize_t got = ::read(fd, bytes->data() + done, std::size_t(bytes->size() - done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0)
                bytes.reset(); // an I/O error, or the file shrank under us
            else
                done += got;
        }
    }
    ::close(fd);
    return bytes;
}

} // namespace analysis
