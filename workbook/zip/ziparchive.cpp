#include "workbook/zip/ziparchive.h"

#include "workbook/bytesource.h"
#include "workbook/damage.h"
#include "workbook/importerrors.h"
#include "workbook/littleendian.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace analysis::zip {

namespace {

constexpr std::uint64_t MinimumSizeLimit = 64u << 20;
constexpr std::uint64_t InflationLimit = 100;
constexpr std::size_t InputChunk = 64 * 1024;

constexpr std::uint32_t LocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t CentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t EndSignature = 0x06054B50;
constexpr std::uint32_t Zip64EndSignature = 0x06064B50;
constexpr std::uint32_t Zip64LocatorSignature = 0x07064B50;

constexpr std::size_t LocalHeaderSize = 30;
constexpr std::size_t CentralHeaderSize = 46;
constexpr std::size_t EndSize = 22;
constexpr std::size_t Zip64EndSize = 56;
constexpr std::size_t Zip64LocatorSize = 20;
constexpr std::size_t MaxCommentSize = 0xFFFF;

constexpr std::uint16_t Zip64ExtraId = 0x0001;
constexpr std::uint16_t EncryptedFlags = 0x0001 | 0x0040; // traditional or strong encryption
constexpr std::uint16_t Stored = 0;
constexpr std::uint16_t Deflated = 8;

bool readExactly(ByteSource &source, std::uint64_t offset, std::size_t length,
                 std::vector<std::uint8_t> &out) {
    out.resize(length);
    return source.read(offset, length, out.data());
}

// Where the central directory lies and how many members it lists.
struct Directory {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t count = 0;
    std::uint64_t end = 0; // where the record that described it begins
};

// The end record is the last thing in the archive but for its comment, so it
// is searched for backwards through the last 64 KiB.
std::optional<Directory> findDirectory(ByteSource &source) {
    const std::uint64_t size = source.size();
    if (size < EndSize) return std::nullopt;
    const std::uint64_t tailStart = size - std::min<std::uint64_t>(size, EndSize + MaxCommentSize);
    std::vector<std::uint8_t> tail;
    if (!readExactly(source, tailStart, std::size_t(size - tailStart), tail)) return std::nullopt;

    for (std::size_t at = tail.size() - EndSize + 1; at-- > 0;) {
        const std::uint8_t *end = tail.data() + at;
        if (le32(end) != EndSignature) continue;
        if (at + EndSize + le16(end + 20) > tail.size()) continue; // a comment past the end

        const std::uint16_t disk = le16(end + 4);
        const std::uint16_t directoryDisk = le16(end + 6);
        const std::uint16_t countOnDisk = le16(end + 8);
        Directory directory;
        directory.count = le16(end + 10);
        directory.size = le32(end + 12);
        directory.offset = le32(end + 16);
        directory.end = tailStart + at;
        bool sameDisk = disk == directoryDisk && countOnDisk == directory.count;

        // A zip64 locator just before the end record points at the record
        // with the full-width figures.
        if (directory.end >= Zip64LocatorSize) {
            std::vector<std::uint8_t> locator;
            if (!readExactly(source, directory.end - Zip64LocatorSize, Zip64LocatorSize, locator))
                return std::nullopt;
            if (le32(locator.data()) == Zip64LocatorSignature) {
                const std::uint64_t recordOffset = le64(locator.data() + 8);
                std::vector<std::uint8_t> record;
                if (recordOffset > directory.end - Zip64LocatorSize ||
                    directory.end - Zip64LocatorSize - recordOffset < Zip64EndSize ||
                    !readExactly(source, recordOffset, Zip64EndSize, record) ||
                    le32(record.data()) != Zip64EndSignature)
                    return std::nullopt;
                sameDisk = le32(record.data() + 16) == le32(record.data() + 20) &&
                           le64(record.data() + 24) == le64(record.data() + 32);
                directory.count = le64(record.data() + 32);
                directory.size = le64(record.data() + 40);
                directory.offset = le64(record.data() + 48);
                directory.end = recordOffset;
            }
        }
        // Archives split over several disks are not workbooks anyone saves.
        if (!sameDisk) return std::nullopt;
        if (directory.offset > directory.end || directory.size > directory.end - directory.offset)
            return std::nullopt;
        if (directory.count > directory.size / CentralHeaderSize) return std::nullopt;
        return directory;
    }
    return std::nullopt;
}

// Sizes and offsets too large for their 32-bit fields are saturated there and
// given in full, in this order, by the zip64 extra field.
bool applyZip64Extra(const std::uint8_t *extra, std::size_t length, Entry &entry, bool wideSize,
                     bool wideCompressed, bool wideOffset) {
    while (length >= 4) {
        const std::uint16_t id = le16(extra);
        const std::uint16_t fieldLength = le16(extra + 2);
        if (fieldLength > length - 4) return false;
        if (id == Zip64ExtraId) {
            const std::uint8_t *field = extra + 4;
            std::size_t left = fieldLength;
            for (auto [wide, value] : {std::pair{wideSize, &entry.size},
                                       std::pair{wideCompressed, &entry.compressedSize},
                                       std::pair{wideOffset, &entry.headerOffset}}) {
                if (!wide) continue;
                if (left < 8) return false;
                *value = le64(field);
                field += 8;
                left -= 8;
            }
            return true;
        }
        extra += 4 + fieldLength;
        length -= 4 + fieldLength;
    }
    return !(wideSize || wideCompressed || wideOffset);
}

std::optional<std::vector<Entry>> readDirectory(ByteSource &source, const Directory &directory) {
    std::vector<std::uint8_t> bytes;
    if (!readExactly(source, directory.offset, std::size_t(directory.size), bytes))
        return std::nullopt;
    std::vector<Entry> entries;
    entries.reserve(std::size_t(directory.count));
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < directory.count; ++i) {
        if (bytes.size() - at < CentralHeaderSize) return std::nullopt;
        const std::uint8_t *header = bytes.data() + at;
        if (le32(header) != CentralHeaderSignature) return std::nullopt;
        const std::size_t nameLength = le16(header + 28);
        const std::size_t extraLength = le16(header + 30);
        const std::size_t commentLength = le16(header + 32);
        const std::size_t recordLength =
            CentralHeaderSize + nameLength + extraLength + commentLength;
        if (bytes.size() - at < recordLength) return std::nullopt;

        Entry entry;
        entry.flags = le16(header + 8);
        entry.method = le16(header + 10);
        entry.crc = le32(header + 16);
        entry.compressedSize = le32(header + 20);
        entry.size = le32(header + 24);
        entry.headerOffset = le32(header + 42);
        entry.name = QByteArray(reinterpret_cast<const char *>(header + CentralHeaderSize),
                                qsizetype(nameLength));
        if (!applyZip64Extra(header + CentralHeaderSize + nameLength, extraLength, entry,
                             entry.size == 0xFFFFFFFF, entry.compressedSize == 0xFFFFFFFF,
                             entry.headerOffset == 0xFFFFFFFF))
            return std::nullopt;
        entries.push_back(std::move(entry));
        at += recordLength;
    }
    return entries;
}

bool equalIgnoringAsciiCase(const QByteArray &a, const QByteArray &b) {
    return a.size() == b.size() && qstrnicmp(a.constData(), b.constData(), a.size()) == 0;
}

} // namespace

EntryStream::EntryStream(ByteSource &source, std::uint64_t dataOffset, const Entry &entry)
    : m_source(source), m_next(dataOffset), m_compressedLeft(entry.compressedSize),
      m_size(entry.size), m_expectedCrc(entry.crc) {
    if (entry.method != Deflated) return;
    m_inflater = std::make_unique<z_stream_s>();
    // Raw deflate data: no zlib header or trailer inside a zip member.
    if (inflateInit2(m_inflater.get(), -MAX_WBITS) != Z_OK) {
        m_inflater.reset();
        m_damaged = true;
        return;
    }
    m_input.resize(std::size_t(std::min<std::uint64_t>(InputChunk, m_compressedLeft)));
}

EntryStream::~EntryStream() {
    if (m_inflater) inflateEnd(m_inflater.get());
}

std::int64_t EntryStream::damaged() {
    m_damaged = true;
    return -1;
}

std::int64_t EntryStream::read(char *out, std::size_t length) {
    if (m_damaged) return -1;
    if (length == 0) return 0;
    const std::int64_t got = m_inflater ? readDeflated(out, length) : readStored(out, length);
    if (got < 0) return got;
    m_crc = std::uint32_t(crc32_z(m_crc, reinterpret_cast<const Bytef *>(out), std::size_t(got)));
    m_read += std::uint64_t(got);
    if (m_read > m_size) return damaged();
    // At its end the member must be whole and as it was written.
    if (m_ended && (m_read != m_size || m_crc != m_expectedCrc)) return damaged();
    return got;
}

std::int64_t EntryStream::readStored(char *out, std::size_t length) {
    const std::size_t count = std::size_t(std::min<std::uint64_t>(length, m_compressedLeft));
    if (count == 0) {
        m_ended = true;
        return 0;
    }
    if (!m_source.read(m_next, count, reinterpret_cast<std::uint8_t *>(out))) return damaged();
    m_next += count;
    m_compressedLeft -= count;
    m_ended = m_compressedLeft == 0;
    return std::int64_t(count);
}

bool EntryStream::fillInput() {
    const std::size_t count =
        std::size_t(std::min<std::uint64_t>(m_input.size(), m_compressedLeft));
    if (count == 0 || !m_source.read(m_next, count, m_input.data())) return false;
    m_next += count;
    m_compressedLeft -= count;
    m_inflater->next_in = m_input.data();
    m_inflater->avail_in = uInt(count);
    return true;
}

std::int64_t EntryStream::readDeflated(char *out, std::size_t length) {
    if (m_ended) return 0;
    z_stream_s &z = *m_inflater;
    z.next_out = reinterpret_cast<Bytef *>(out);
    z.avail_out = uInt(std::min<std::size_t>(length, UINT_MAX));
    const uInt room = z.avail_out;
    while (z.avail_out == room) {
        if (z.avail_in == 0 && m_compressedLeft > 0 && !fillInput()) return damaged();
        const int status = inflate(&z, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            m_ended = true;
            break;
        }
        // No progress with all the member's data taken in: the stream stops
        // short of its end.
        if (status == Z_BUF_ERROR && z.avail_in == 0 && m_compressedLeft == 0) return damaged();
        if (status != Z_OK && status != Z_BUF_ERROR) return damaged();
    }
    return std::int64_t(room - z.avail_out);
}

Archive::Archive(std::unique_ptr<ByteSource> source, std::vector<Entry> entries)
    : m_source(std::move(source)), m_entries(std::move(entries)) {}

Archive::~Archive() = default;

std::unique_ptr<Archive> Archive::open(std::unique_ptr<ByteSource> source, int *error) {
    const std::optional<Directory> directory = findDirectory(*source);
    std::optional<std::vector<Entry>> entries;
    if (directory) entries = readDirectory(*source, *directory);
    if (!entries) {
        *error = WORKBOOK_DAMAGED();
        return nullptr;
    }
    *error = NoError;
    return std::unique_ptr<Archive>(new Archive(std::move(source), std::move(*entries)));
}

std::optional<std::uint64_t> Archive::find(const QString &name) const {
    const QByteArray utf8 = name.toUtf8();
    const auto exact = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry &entry) { return entry.name == utf8; });
    if (exact != m_entries.end()) return std::uint64_t(exact - m_entries.begin());
    const auto folded = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &entry) {
        return equalIgnoringAsciiCase(entry.name, utf8);
    });
    if (folded != m_entries.end()) return std::uint64_t(folded - m_entries.begin());
    return std::nullopt;
}

QString Archive::entryName(std::uint64_t index) const {
    return index < m_entries.size() ? QString::fromUtf8(m_entries[index].name) : QString();
}

std::uint64_t Archive::sizeLimit() const {
    return std::max(MinimumSizeLimit, m_source->size() * InflationLimit);
}

namespace {
// No stream for a member: *error takes the failure.
std::unique_ptr<EntryStream> refused(int *error, int failure) {
    *error = failure;
    return nullptr;
}
} // namespace

std::unique_ptr<EntryStream> Archive::openEntry(std::uint64_t index, int *error) {
    if (index >= m_entries.size()) return refused(error, WORKBOOK_DAMAGED());
    const Entry &entry = m_entries[index];
    if (entry.size > sizeLimit() || (entry.flags & EncryptedFlags))
        return refused(error, WORKBOOK_DAMAGED());
    if (entry.method != Deflated && !(entry.method == Stored && entry.compressedSize == entry.size))
        return refused(error, WORKBOOK_DAMAGED());

    // The data follows the local header, whose name and extra field may
    // differ in length from the central directory's.
    std::vector<std::uint8_t> header;
    if (!readExactly(*m_source, entry.headerOffset, LocalHeaderSize, header) ||
        le32(header.data()) != LocalHeaderSignature)
        return refused(error, WORKBOOK_DAMAGED());
    const std::uint64_t dataOffset =
        entry.headerOffset + LocalHeaderSize + le16(header.data() + 26) + le16(header.data() + 28);
    const std::uint64_t size = m_source->size();
    if (dataOffset > size || entry.compressedSize > size - dataOffset)
        return refused(error, WORKBOOK_DAMAGED());

    auto stream = std::make_unique<EntryStream>(*m_source, dataOffset, entry);
    *error = NoError;
    return stream;
}

} // namespace analysis::zip
