#include "workbook/xls/compoundfile.h"

#include "workbook/littleendian.h"

#include <algorithm>
#include <unordered_set>

namespace analysis::xls {

namespace {

constexpr std::uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t HeaderDifatEntries = 109;
constexpr std::uint32_t MiniSectorSize = 64;
constexpr std::uint32_t MiniStreamCutoff = 4096;
constexpr std::uint32_t DirectoryEntrySize = 128;
constexpr std::uint32_t NoStream = 0xFFFFFFFF;

// A stream in ordinary sectors. The chain found so far is kept so that
// repeated reads don't walk the FAT again.
class SectorStream final : public Stream {
public:
    SectorStream(CompoundFile &file, std::uint32_t start, std::uint64_t size)
        : m_file(file), m_start(start), m_size(size) {}

    std::uint64_t size() const override { return m_size; }

    bool read(std::uint64_t offset, std::size_t length, std::uint8_t *out) override {
        if (offset > m_size || length > m_size - offset) return false;
        while (length > 0) {
            const std::optional<Run> run = runAt(offset, length);
            if (!run || !m_file.readSector(run->sector, run->within, run->length, out))
                return false;
            out += run->length;
            offset += run->length;
            length -= run->length;
        }
        return true;
    }

    const std::uint8_t *view(std::uint64_t offset, std::size_t minimum, std::size_t length,
                             std::size_t *available) override {
        if (offset > m_size || length > m_size - offset || minimum > length) return nullptr;
        const std::optional<Run> run = runAt(offset, length);
        if (!run || run->length < minimum) return nullptr;
        const std::uint8_t *bytes = m_file.viewSector(run->sector, run->within, run->length);
        if (bytes) *available = run->length;
        return bytes;
    }

    void releaseView(const std::uint8_t *data, std::size_t length) override {
        m_file.releaseView(data, length);
    }

private:
    // Bytes of the stream that lie in neighbouring sectors of the file, so
    // that they are read in one go.
    struct Run {
        std::uint32_t sector;
        std::uint32_t within;
        std::size_t length;
    };

    // The run at offset, up to length bytes long; none when the chain breaks
    // before offset.
    std::optional<Run> runAt(std::uint64_t offset, std::size_t length) {
        const std::uint32_t sectorSize = m_file.sectorSize();
        const std::uint64_t index = offset / sectorSize;
        if (!reachChainIndex(index)) return std::nullopt;
        const std::uint32_t first = m_chain[index];
        const auto within = std::uint32_t(offset % sectorSize);
        std::uint64_t runSectors = 1;
        std::uint64_t runBytes = std::min<std::uint64_t>(length, sectorSize - within);
        while (runBytes < length && reachChainIndex(index + runSectors) &&
               m_chain[index + runSectors] == first + runSectors) {
            runBytes = std::min<std::uint64_t>(length, runBytes + sectorSize);
            ++runSectors;
        }
        return Run{first, within, std::size_t(runBytes)};
    }

    bool reachChainIndex(std::uint64_t index) {
        if (index >= m_file.sectorCount()) return false; // longer than the file can hold
        while (m_chain.size() <= index) {
            std::optional<std::uint32_t> next;
            if (m_chain.empty())
                next = m_start;
            else
                next = m_file.nextSector(m_chain.back());
            if (!next || *next >= m_file.sectorCount())
                return false; // end of chain, a free or a special sector
            if (m_visited.empty()) m_visited.resize(m_file.sectorCount());
            if (m_visited[*next]) return false; // the chain loops
            m_visited[*next] = true;
            m_chain.push_back(*next);
        }
        return true;
    }

    CompoundFile &m_file;
    std::uint32_t m_start;
    std::uint64_t m_size;
    std::vector<std::uint32_t> m_chain;
    std::vector<bool> m_visited;
};

// A small stream held in the mini stream, read whole at open: it is below
// 4096 bytes by definition.
class MiniStream final : public Stream {
public:
    explicit MiniStream(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::uint64_t size() const override { return m_bytes.size(); }

    bool read(std::uint64_t offset, std::size_t length, std::uint8_t *out) override {
        if (offset > m_bytes.size() || length > m_bytes.size() - offset) return false;
        std::copy_n(m_bytes.begin() + std::ptrdiff_t(offset), length, out);
        return true;
    }

private:
    std::vector<std::uint8_t> m_bytes;
};

bool sameNameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

} // namespace

std::unique_ptr<CompoundFile> CompoundFile::open(ByteSource &source, OpenResult *result) {
    std::unique_ptr<CompoundFile> file(new CompoundFile(source));
    if (!file->readHeader(result)) return nullptr;
    // The root entry locates the mini stream; without it nothing can be found.
    const std::optional<DirectoryEntry> root = file->directoryEntry(0);
    if (!root || root->type != EntryType::Root) {
        *result = OpenResult::Damaged;
        return nullptr;
    }
    const std::uint64_t capacity = std::uint64_t(file->m_sectorCount) * file->m_sectorSize;
    if (root->start < file->m_sectorCount)
        file->m_miniStream =
            std::make_unique<SectorStream>(*file, root->start, std::min(root->size, capacity));
    file->m_miniFat = std::make_unique<SectorStream>(
        *file, file->m_firstMiniFatSector,
        std::min<std::uint64_t>(std::uint64_t(file->m_miniFatSectors) * file->m_sectorSize,
                                capacity));
    *result = OpenResult::Opened;
    return file;
}

bool CompoundFile::readHeader(OpenResult *result) {
    std::uint8_t header[512];
    if (!m_source.read(0, sizeof header, header) ||
        !std::equal(std::begin(Signature), std::end(Signature), header)) {
        *result = OpenResult::NotCompound;
        return false;
    }
    const std::uint16_t sectorShift = le16(header + 30);
    const std::uint16_t miniShift = le16(header + 32);
    if ((sectorShift != 9 && sectorShift != 12) || miniShift != 6) {
        *result = OpenResult::Damaged;
        return false;
    }
    m_sectorSize = 1u << sectorShift;
    const std::uint64_t size = m_source.size();
    if (size <= m_sectorSize) {
        *result = OpenResult::Damaged;
        return false;
    }
    const std::uint64_t sectors = (size - m_sectorSize + m_sectorSize - 1) / m_sectorSize;
    m_sectorCount = std::uint32_t(std::min<std::uint64_t>(sectors, 0xFFFFFFF0u));
    m_firstDirectorySector = le32(header + 48);
    m_firstMiniFatSector = le32(header + 60);
    m_miniFatSectors = le32(header + 64);
    m_firstDifatSector = le32(header + 68);
    for (std::uint32_t i = 0; i < HeaderDifatEntries; ++i)
        m_headerDifat.push_back(le32(header + 76 + 4 * i));
    m_directory = std::make_unique<SectorStream>(*this, m_firstDirectorySector,
                                                 std::uint64_t(m_sectorCount) * m_sectorSize);
    return true;
}

bool CompoundFile::readSector(std::uint32_t sector, std::uint32_t offset, std::size_t length,
                              std::uint8_t *out) {
    if (sector >= m_sectorCount) return false;
    return m_source.read((std::uint64_t(sector) + 1) * m_sectorSize + offset, length, out);
}

const std::uint8_t *CompoundFile::viewSector(std::uint32_t sector, std::uint32_t offset,
                                             std::size_t length) {
    if (sector >= m_sectorCount) return nullptr;
    return m_source.view((std::uint64_t(sector) + 1) * m_sectorSize + offset, length);
}

std::optional<std::uint32_t> CompoundFile::fatSectorLocation(std::uint32_t index) {
    if (index < HeaderDifatEntries) return m_headerDifat[index];
    const std::uint32_t perDifatSector = m_sectorSize / 4 - 1;
    const std::uint32_t difatIndex = (index - HeaderDifatEntries) / perDifatSector;
    // Each step is bounded: the index comes from a sector number below the
    // file's sector count, so the DIFAT chain needed is short.
    while (m_difatChain.size() <= difatIndex) {
        std::uint32_t next = m_firstDifatSector;
        if (!m_difatChain.empty()) {
            std::uint8_t bytes[4];
            if (!readSector(m_difatChain.back(), m_sectorSize - 4, 4, bytes)) return std::nullopt;
            next = le32(bytes);
        }
        if (next >= m_sectorCount ||
            std::find(m_difatChain.begin(), m_difatChain.end(), next) != m_difatChain.end())
            return std::nullopt;
        m_difatChain.push_back(next);
    }
    std::uint8_t bytes[4];
    const std::uint32_t within = (index - HeaderDifatEntries) % perDifatSector;
    if (!readSector(m_difatChain[difatIndex], within * 4, 4, bytes)) return std::nullopt;
    return le32(bytes);
}

std::optional<std::uint32_t> CompoundFile::nextSector(std::uint32_t sector) {
    const std::uint32_t perSector = m_sectorSize / 4;
    const std::uint32_t fatIndex = sector / perSector;
    // Sectors come from chains checked against the sector count, so the table
    // stays as small as the file.
    if (fatIndex >= m_fatCache.size()) m_fatCache.resize(std::size_t(fatIndex) + 1);
    std::vector<std::uint32_t> &entries = m_fatCache[fatIndex];
    if (entries.empty()) {
        const std::optional<std::uint32_t> location = fatSectorLocation(fatIndex);
        if (!location || *location >= m_sectorCount) return std::nullopt;
        std::vector<std::uint8_t> bytes(m_sectorSize);
        if (!readSector(*location, 0, m_sectorSize, bytes.data())) return std::nullopt;
        entries.resize(perSector);
        for (std::uint32_t i = 0; i < perSector; ++i)
            entries[i] = le32(bytes.data() + 4 * i);
    }
    return entries[sector % perSector];
}

std::optional<std::uint32_t> CompoundFile::nextMiniSector(std::uint32_t sector) {
    std::uint8_t bytes[4];
    if (!m_miniFat->read(std::uint64_t(sector) * 4, 4, bytes)) return std::nullopt;
    return le32(bytes);
}

std::optional<DirectoryEntry> CompoundFile::directoryEntry(std::uint32_t index) {
    std::uint8_t bytes[DirectoryEntrySize];
    if (!m_directory->read(std::uint64_t(index) * DirectoryEntrySize, sizeof bytes, bytes))
        return std::nullopt;
    DirectoryEntry entry;
    const std::uint16_t nameBytes = le16(bytes + 64);
    const std::uint16_t nameUnits = std::min<std::uint16_t>(nameBytes / 2, 32);
    for (std::uint16_t i = 0; i < nameUnits; ++i) {
        const char16_t unit = char16_t(le16(bytes + 2 * i));
        if (unit == 0) break;
        entry.name.push_back(unit);
    }
    entry.type = EntryType(bytes[66]);
    entry.left = le32(bytes + 68);
    entry.right = le32(bytes + 72);
    entry.child = le32(bytes + 76);
    entry.start = le32(bytes + 116);
    entry.size = le64(bytes + 120);
    // Version 3 files keep only 32 bits of size; some writers leave garbage above.
    if (m_sectorSize == 512) entry.size &= 0xFFFFFFFFu;
    return entry;
}

std::optional<DirectoryEntry> CompoundFile::rootStream(std::u16string_view name) {
    const std::optional<DirectoryEntry> root = directoryEntry(0);
    if (!root) return std::nullopt;
    // The children of a storage form a tree through the left and right links;
    // a damaged file may link them in a loop, so each entry is visited once.
    std::vector<std::uint32_t> pending{root->child};
    std::unordered_set<std::uint32_t> visited;
    while (!pending.empty()) {
        const std::uint32_t index = pending.back();
        pending.pop_back();
        if (index == NoStream || !visited.insert(index).second) continue;
        const std::optional<DirectoryEntry> entry = directoryEntry(index);
        if (!entry) continue;
        if (entry->type == EntryType::Stream && sameNameIgnoringAsciiCase(entry->name, name))
            return entry;
        pending.push_back(entry->left);
        pending.push_back(entry->right);
    }
    return std::nullopt;
}

std::unique_ptr<Stream> CompoundFile::openStream(const DirectoryEntry &entry) {
    if (entry.size >= MiniStreamCutoff)
        return std::make_unique<SectorStream>(*this, entry.start, entry.size);
    if (!m_miniStream) return nullptr;
    std::vector<std::uint8_t> bytes(std::size_t(entry.size));
    const std::uint64_t miniSectors = m_miniStream->size() / MiniSectorSize;
    std::unordered_set<std::uint32_t> visited;
    std::uint32_t sector = entry.start;
    for (std::size_t offset = 0; offset < bytes.size(); offset += MiniSectorSize) {
        if (sector >= miniSectors || !visited.insert(sector).second) return nullptr;
        const std::size_t length = std::min<std::size_t>(MiniSectorSize, bytes.size() - offset);
        if (!m_miniStream->read(std::uint64_t(sector) * MiniSectorSize, length,
                                bytes.data() + offset))
            return nullptr;
        if (offset + MiniSectorSize < bytes.size()) {
            const std::optional<std::uint32_t> next = nextMiniSector(sector);
            if (!next) return nullptr;
            sector = *next;
        }
    }
    return std::make_unique<MiniStream>(std::move(bytes));
}

} // namespace analysis::xls
