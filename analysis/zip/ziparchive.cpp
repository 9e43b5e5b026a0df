#include "ziparchive.h"

#include "../bytesource.h"
#include "../importerrors.h"

#include <zip.h>

#include <algorithm>

namespace analysis::zip {

namespace {
constexpr std::uint64_t MinimumSizeLimit = 64u << 20;
constexpr std::uint64_t InflationLimit = 100;
} // namespace

// Serves libzip's reads from the byte source, so that the archive is never
// copied into memory.
struct Archive::Source {
    std::unique_ptr<ByteSource> bytes;
    std::uint64_t position = 0;
    zip_error_t error;

    static zip_int64_t callback(void *state, void *data, zip_uint64_t length,
                                zip_source_cmd_t command) {
        Source &self = *static_cast<Source *>(state);
        const std::uint64_t size = self.bytes->size();
        switch (command) {
        case ZIP_SOURCE_OPEN:
            self.position = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const std::uint64_t count =
                std::min<std::uint64_t>(length, size - std::min(size, self.position));
            if (count > 0 && !self.bytes->read(self.position, std::size_t(count),
                                               static_cast<std::uint8_t *>(data))) {
                zip_error_set(&self.error, ZIP_ER_READ, 0);
                return -1;
            }
            self.position += count;
            return zip_int64_t(count);
        }
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_STAT: {
            if (length < sizeof(zip_stat_t)) {
                zip_error_set(&self.error, ZIP_ER_INVAL, 0);
                return -1;
            }
            auto *stat = static_cast<zip_stat_t *>(data);
            zip_stat_init(stat);
            stat->size = size;
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&self.error, data, length);
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t offset =
                zip_source_seek_compute_offset(self.position, size, data, length, &self.error);
            if (offset < 0) return -1;
            self.position = std::uint64_t(offset);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return zip_int64_t(self.position);
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_SEEKABLE;
        default:
            zip_error_set(&self.error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

EntryStream::~EntryStream() {
    zip_fclose(m_file);
}

std::int64_t EntryStream::read(char *out, std::size_t length) {
    const zip_int64_t got = zip_fread(m_file, out, length);
    if (got < 0) return -1;
    m_read += std::uint64_t(got);
    if (m_read > m_size) return -1;
    return got;
}

Archive::Archive(std::unique_ptr<Source> source, ::zip *archive)
    : m_source(std::move(source)), m_archive(archive) {}

Archive::~Archive() {
    zip_discard(m_archive);
    zip_error_fini(&m_source->error);
}

std::unique_ptr<Archive> Archive::open(std::unique_ptr<ByteSource> bytes, int *error) {
    auto source = std::make_unique<Source>();
    source->bytes = std::move(bytes);
    zip_error_init(&source->error);
    zip_error_t openError;
    zip_error_init(&openError);
    zip_source_t *zipSource =
        zip_source_function_create(&Source::callback, source.get(), &openError);
    zip_t *archive = zipSource ? zip_open_from_source(zipSource, ZIP_RDONLY, &openError) : nullptr;
    zip_error_fini(&openError);
    if (!archive) {
        if (zipSource) zip_source_free(zipSource);
        zip_error_fini(&source->error);
        *error = CannotOpen;
        return nullptr;
    }
    *error = NoError;
    return std::unique_ptr<Archive>(new Archive(std::move(source), archive));
}

std::optional<std::uint64_t> Archive::find(const QString &name) const {
    const QByteArray utf8 = name.toUtf8();
    zip_int64_t index = zip_name_locate(m_archive, utf8.constData(), 0);
    if (index < 0) index = zip_name_locate(m_archive, utf8.constData(), ZIP_FL_NOCASE);
    if (index < 0) return std::nullopt;
    return std::uint64_t(index);
}

std::uint64_t Archive::entryCount() const {
    const zip_int64_t count = zip_get_num_entries(m_archive, 0);
    return count < 0 ? 0 : std::uint64_t(count);
}

QString Archive::entryName(std::uint64_t index) const {
    const char *name = zip_get_name(m_archive, index, 0);
    return name ? QString::fromUtf8(name) : QString();
}

std::uint64_t Archive::sizeLimit() const {
    return std::max(MinimumSizeLimit, m_source->bytes->size() * InflationLimit);
}

std::unique_ptr<EntryStream> Archive::openEntry(std::uint64_t index, int *error) {
    *error = CannotOpen;
    zip_stat_t stat;
    if (zip_stat_index(m_archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        stat.size > sizeLimit())
        return nullptr;
    zip_file_t *file = zip_fopen_index(m_archive, index, 0);
    if (!file) return nullptr; // encrypted, an unknown method, or a damaged local header
    *error = NoError;
    return std::make_unique<EntryStream>(file, stat.size);
}

} // namespace analysis::zip
