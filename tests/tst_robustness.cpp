// The workbook reader on damaged and hostile input: every answer must be the
// cell texts or a failure number of importerrors.h, never a crash, a hang or
// a huge allocation. The inputs are the fixture workbooks cut short, with
// bytes changed at pseudo-random places, and with their compound-file tables
// or their records patched to lie: chains that loop, counts in the billions,
// lengths past the end, a sheet that claims every cell.

#include "analysis/bytesource.h"
#include "analysis/importerrors.h"
#include "analysis/workbook.h"

#include "../fuzz/compoundwriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <vector>

// Under AddressSanitizer, a single allocation this large stops the test: the
// reader must never need one, whatever a file claims.
#if defined(__SANITIZE_ADDRESS__)
#define SCORE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SCORE_ASAN 1
#endif
#endif
#ifdef SCORE_ASAN
extern "C" const char *__asan_default_options() {
    return "max_allocation_size_mb=512:allocator_may_return_null=0";
}
#endif

using namespace analysis;

namespace {

// ---------------------------------------------------------------------------
// Reading a workbook as the import does.

constexpr int ImportRows = 100;
constexpr int ImportColumns = 3;

struct Outcome {
    bool opened = false;
    int openError = -1;
    QStringList sheets;
    int readError = NoError; // the first failure reading the first sheet
    QStringList texts;       // the cells read before it, row by row
    int cornerError = NoError;
    QString cornerText; // the sheet's last cell, read after the others

    bool operator==(const Outcome &) const = default;
    int failure() const { return openError != NoError ? openError : readError; }
};

QString describe(const Outcome &outcome) {
    if (!outcome.opened) return QStringLiteral("open failed with %1").arg(outcome.openError);
    return QStringLiteral("opened with %1 sheet(s), read error %2 after %3 cell(s), corner %4")
        .arg(outcome.sheets.size())
        .arg(outcome.readError)
        .arg(outcome.texts.size())
        .arg(outcome.cornerError);
}

// How two outcomes differ, for the failure message.
QString difference(const Outcome &got, const Outcome &expected) {
    QString text = describe(got) + QStringLiteral("; expected: ") + describe(expected);
    if (got.sheets != expected.sheets)
        return text + QStringLiteral("; sheets ") + got.sheets.join(u'|') + QStringLiteral(" / ") +
               expected.sheets.join(u'|');
    for (qsizetype i = 0; i < std::min(got.texts.size(), expected.texts.size()); ++i)
        if (got.texts[i] != expected.texts[i])
            return text + QStringLiteral("; row %1 column %2: \"%3\" / \"%4\"")
                              .arg(i / ImportColumns + 1)
                              .arg(i % ImportColumns + 1)
                              .arg(got.texts[i], expected.texts[i]);
    if (got.cornerText != expected.cornerText)
        return text + QStringLiteral("; last cell \"%1\" / \"%2\"")
                          .arg(got.cornerText, expected.cornerText);
    return text;
}

Outcome readFirstSheet(const std::unique_ptr<Workbook> &workbook, int error) {
    Outcome outcome;
    outcome.opened = workbook != nullptr;
    outcome.openError = error;
    if (!workbook) return outcome;
    outcome.sheets = workbook->sheetNames();
    if (outcome.sheets.isEmpty()) return outcome;
    for (int row = 1; row <= ImportRows; ++row) {
        for (int column = 1; column <= ImportColumns; ++column) {
            QString text;
            outcome.readError = workbook->cellText(0, row, column, &text);
            if (outcome.readError != NoError) return outcome;
            outcome.texts.append(text);
        }
    }
    outcome.cornerError = workbook->cellText(0, 65536, 256, &outcome.cornerText);
    return outcome;
}

Outcome importFirstSheet(const QByteArray &bytes) {
    int error = -1;
    const std::unique_ptr<Workbook> workbook = openWorkbook(memorySource(bytes), &error);
    return readFirstSheet(workbook, error);
}

Outcome importFirstSheetFromFile(const QString &path) {
    int error = -1;
    const std::unique_ptr<Workbook> workbook = openWorkbook(path, &error);
    return readFirstSheet(workbook, error);
}

// Empty when the outcome is one the reader may give, else what is wrong.
QString implausibility(const Outcome &outcome) {
    if (outcome.opened != (outcome.openError == NoError))
        return QStringLiteral("openWorkbook gave %1 with%2 a workbook")
            .arg(outcome.openError)
            .arg(outcome.opened ? "" : "out");
    if (!outcome.opened) {
        if (outcome.openError != CannotOpen && outcome.openError != NotAWorkbook)
            return QStringLiteral("openWorkbook failed with %1").arg(outcome.openError);
        return {};
    }
    if (outcome.readError != NoError && outcome.readError != CannotOpen)
        return QStringLiteral("cellText inside the sheet failed with %1").arg(outcome.readError);
    if (outcome.cornerError != NoError && outcome.cornerError != CannotOpen)
        return QStringLiteral("the last cell failed with %1").arg(outcome.cornerError);
    if (!outcome.sheets.isEmpty() && outcome.readError == NoError &&
        outcome.texts.size() != ImportRows * ImportColumns)
        return QStringLiteral("%1 texts for %2 cells")
            .arg(outcome.texts.size())
            .arg(ImportRows * ImportColumns);
    return {};
}

// ---------------------------------------------------------------------------
// Little-endian fields in byte arrays.

std::uint16_t get16(const QByteArray &bytes, qsizetype at) {
    return std::uint16_t(std::uint8_t(bytes[at]) | std::uint8_t(bytes[at + 1]) << 8);
}

std::uint32_t get32(const QByteArray &bytes, qsizetype at) {
    return std::uint32_t(get16(bytes, at)) | std::uint32_t(get16(bytes, at + 2)) << 16;
}

void set16(QByteArray &bytes, qsizetype at, std::uint16_t value) {
    scorefuzz::detail::put16(bytes, at, value);
}

void set32(QByteArray &bytes, qsizetype at, std::uint32_t value) {
    scorefuzz::detail::put32(bytes, at, value);
}

QByteArray le16Bytes(std::uint16_t value) {
    QByteArray bytes(2, '\0');
    set16(bytes, 0, value);
    return bytes;
}

QByteArray le32Bytes(std::uint32_t value) {
    QByteArray bytes(4, '\0');
    set32(bytes, 0, value);
    return bytes;
}

// ---------------------------------------------------------------------------
// An independent view of a compound file's tables, for finding what to patch.

class Compound {
public:
    explicit Compound(QByteArray file) : m_file(std::move(file)) { m_valid = parse(); }

    bool valid() const { return m_valid; }
    const QByteArray &file() const { return m_file; }
    QByteArray &file() { return m_file; }

    std::uint32_t sectorSize() const { return m_sectorSize; }
    qsizetype sectorOffset(std::uint32_t sector) const {
        return qsizetype(sector + 1) * qsizetype(m_sectorSize);
    }

    std::uint32_t fat(std::uint32_t sector) const { return get32(m_file, fatOffset(sector)); }
    void setFat(std::uint32_t sector, std::uint32_t value) {
        set32(m_file, fatOffset(sector), value);
    }

    // A chain as far as it goes, stopping before a sector seen already.
    std::vector<std::uint32_t> chain(std::uint32_t start) const {
        std::vector<std::uint32_t> sectors;
        std::set<std::uint32_t> seen;
        for (std::uint32_t s = start; s < sectorCount() && seen.insert(s).second; s = fat(s)) {
            if (qsizetype(s / (m_sectorSize / 4)) >= qsizetype(m_fatSectors.size())) break;
            sectors.push_back(s);
        }
        return sectors;
    }

    const std::vector<std::uint32_t> &directoryChain() const { return m_directory; }
    int entryCount() const { return int(m_directory.size() * (m_sectorSize / 128)); }
    qsizetype entryOffset(int index) const {
        const std::uint32_t perSector = m_sectorSize / 128;
        return sectorOffset(m_directory[std::size_t(index) / perSector]) +
               qsizetype(index % perSector) * 128;
    }
    std::uint32_t entry32(int index, int field) const {
        return get32(m_file, entryOffset(index) + field);
    }
    void setEntry32(int index, int field, std::uint32_t value) {
        set32(m_file, entryOffset(index) + field, value);
    }
    std::uint8_t entryType(int index) const {
        return std::uint8_t(m_file[entryOffset(index) + 66]);
    }
    QString entryName(int index) const {
        const qsizetype at = entryOffset(index);
        const int units = std::min(get16(m_file, at + 64) / 2, 32);
        QString name;
        for (int i = 0; i < units; ++i) {
            const std::uint16_t unit = get16(m_file, at + 2 * i);
            if (unit == 0) break;
            name.append(QChar(unit));
        }
        return name;
    }
    int findStream(const QString &name) const {
        for (int i = 1; i < entryCount(); ++i)
            if (entryType(i) == 2 && entryName(i).compare(name, Qt::CaseInsensitive) == 0) return i;
        return -1;
    }
    std::uint64_t entrySize(int index) const {
        std::uint64_t size = entry32(index, 120);
        if (m_sectorSize != 512) size |= std::uint64_t(entry32(index, 124)) << 32;
        return size;
    }
    bool inMiniStream(int index) const { return entrySize(index) < 4096; }

    // The sectors of a stream: ordinary ones, or mini sectors of the mini stream.
    std::vector<std::uint32_t> streamChain(int index) const {
        return inMiniStream(index) ? miniChain(entry32(index, 116)) : chain(entry32(index, 116));
    }
    std::vector<std::uint32_t> miniChain(std::uint32_t start) const {
        std::vector<std::uint32_t> sectors;
        std::set<std::uint32_t> seen;
        const std::uint32_t count = std::uint32_t(m_miniFat.size() * (m_sectorSize / 4));
        for (std::uint32_t s = start; s < count && seen.insert(s).second; s = miniFat(s))
            sectors.push_back(s);
        return sectors;
    }
    std::uint32_t miniFat(std::uint32_t sector) const {
        return get32(m_file, miniFatOffset(sector));
    }
    void setMiniFat(std::uint32_t sector, std::uint32_t value) {
        set32(m_file, miniFatOffset(sector), value);
    }
    // The ordinary sectors holding the mini stream.
    std::vector<std::uint32_t> miniStreamChain() const { return chain(entry32(0, 116)); }

    // Where a byte of a stream lies in the file, or -1.
    qsizetype streamByteOffset(int index, std::uint64_t offset) const {
        const bool mini = inMiniStream(index);
        const std::vector<std::uint32_t> sectors = streamChain(index);
        const std::uint32_t unit = mini ? 64 : m_sectorSize;
        if (offset / unit >= sectors.size()) return -1;
        if (!mini) return sectorOffset(sectors[offset / unit]) + qsizetype(offset % unit);
        const std::uint64_t inContainer =
            std::uint64_t(sectors[offset / unit]) * 64 + offset % unit;
        const std::vector<std::uint32_t> container = miniStreamChain();
        if (inContainer / m_sectorSize >= container.size()) return -1;
        return sectorOffset(container[inContainer / m_sectorSize]) +
               qsizetype(inContainer % m_sectorSize);
    }

    QByteArray streamBytes(int index) const {
        QByteArray bytes;
        const std::uint64_t size = entrySize(index);
        const bool mini = inMiniStream(index);
        const std::uint32_t unit = mini ? 64 : m_sectorSize;
        const std::vector<std::uint32_t> sectors = streamChain(index);
        const std::vector<std::uint32_t> container = mini ? miniStreamChain() : sectors;
        for (std::uint64_t offset = 0; offset < size; offset += unit) {
            if (offset / unit >= sectors.size()) return {};
            std::uint64_t inContainer = std::uint64_t(sectors[offset / unit]) * unit;
            if (!mini) inContainer = offset;
            if (inContainer / m_sectorSize >= container.size()) return {};
            const qsizetype at = sectorOffset(container[inContainer / m_sectorSize]) +
                                 qsizetype(inContainer % m_sectorSize);
            const qsizetype length = qsizetype(std::min<std::uint64_t>(unit, size - offset));
            if (at + length > m_file.size()) return {};
            bytes.append(m_file.constData() + at, length);
        }
        return bytes;
    }

    std::uint32_t sectorCount() const { return std::uint32_t((m_file.size() - 1) / m_sectorSize); }

private:
    qsizetype fatOffset(std::uint32_t sector) const {
        const std::uint32_t perSector = m_sectorSize / 4;
        return sectorOffset(m_fatSectors[sector / perSector]) + qsizetype(sector % perSector) * 4;
    }
    qsizetype miniFatOffset(std::uint32_t sector) const {
        const std::uint32_t perSector = m_sectorSize / 4;
        return sectorOffset(m_miniFat[sector / perSector]) + qsizetype(sector % perSector) * 4;
    }

    bool parse() {
        if (m_file.size() < 1024 || !m_file.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
            return false;
        m_sectorSize = 1u << get16(m_file, 30);
        if (m_sectorSize != 512 && m_sectorSize != 4096) return false;
        for (int i = 0; i < 109; ++i) {
            const std::uint32_t s = get32(m_file, 76 + 4 * i);
            if (s < sectorCount()) m_fatSectors.push_back(s);
        }
        std::set<std::uint32_t> seen;
        for (std::uint32_t d = get32(m_file, 68); d < sectorCount() && seen.insert(d).second;
             d = get32(m_file, sectorOffset(d) + m_sectorSize - 4))
            for (std::uint32_t i = 0; i + 1 < m_sectorSize / 4; ++i)
                if (const std::uint32_t s = get32(m_file, sectorOffset(d) + 4 * i);
                    s < sectorCount())
                    m_fatSectors.push_back(s);
        if (m_fatSectors.empty()) return false;
        m_directory = chain(get32(m_file, 48));
        m_miniFat = chain(get32(m_file, 60));
        return !m_directory.empty() && entryType(0) == 5;
    }

    QByteArray m_file;
    bool m_valid = false;
    std::uint32_t m_sectorSize = 512;
    std::vector<std::uint32_t> m_fatSectors;
    std::vector<std::uint32_t> m_directory;
    std::vector<std::uint32_t> m_miniFat;
};

// ---------------------------------------------------------------------------
// BIFF records of a workbook stream, to be edited and put back together.

namespace biff {
constexpr std::uint16_t Eof = 0x000A;
constexpr std::uint16_t FilePass = 0x002F;
constexpr std::uint16_t Continue = 0x003C;
constexpr std::uint16_t BoundSheet = 0x0085;
constexpr std::uint16_t MulRk = 0x00BD;
constexpr std::uint16_t MulBlank = 0x00BE;
constexpr std::uint16_t Sst = 0x00FC;
constexpr std::uint16_t LabelSst = 0x00FD;
constexpr std::uint16_t Xf = 0x00E0;
constexpr std::uint16_t Format = 0x041E;
constexpr std::uint16_t Dimensions = 0x0200;
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t Label = 0x0204;
constexpr std::uint16_t Bof = 0x0809;
const std::set<std::uint16_t> CellRecords = {0x0006, 0x00BD, 0x00BE, 0x00D6, 0x00FD, 0x0201,
                                             0x0203, 0x0204, 0x0205, 0x0206, 0x027E, 0x0406};
} // namespace biff

struct Record {
    std::uint16_t type = 0;
    QByteArray body;
    qsizetype position = -1;              // in the original stream; -1 for an added record
    std::optional<std::uint16_t> claimed; // a length to write instead of the body's
};

Record makeRecord(std::uint16_t type, QByteArray body) {
    Record record;
    record.type = type;
    record.body = std::move(body);
    return record;
}

struct Records {
    std::vector<Record> list;
    QByteArray tail; // bytes after the last whole record
};

Records parseRecords(const QByteArray &stream) {
    Records records;
    qsizetype at = 0;
    while (at + 4 <= stream.size()) {
        const std::uint16_t length = get16(stream, at + 2);
        if (at + 4 + length > stream.size()) break;
        Record record;
        record.type = get16(stream, at);
        record.body = stream.mid(at + 4, length);
        record.position = at;
        records.list.push_back(std::move(record));
        at += 4 + length;
    }
    records.tail = stream.mid(at);
    return records;
}

// Writes the records back; BOUNDSHEET offsets that pointed at a record follow it.
QByteArray assemble(const Records &records) {
    std::map<qsizetype, qsizetype> moved;
    qsizetype at = 0;
    for (const Record &record : records.list) {
        if (record.position >= 0) moved[record.position] = at;
        at += 4 + record.body.size();
    }
    QByteArray stream;
    for (const Record &record : records.list) {
        QByteArray body = record.body;
        if (record.type == biff::BoundSheet && body.size() >= 4) {
            const auto target = moved.find(qsizetype(get32(body, 0)));
            if (target != moved.end()) set32(body, 0, std::uint32_t(target->second));
        }
        stream += le16Bytes(record.type);
        stream += le16Bytes(record.claimed ? *record.claimed : std::uint16_t(body.size()));
        stream += body;
    }
    return stream + records.tail;
}

// The pieces of a workbook the patches work on.
struct WorkbookParts {
    QString streamName;
    QByteArray stream;
    Records records;
    bool biff8 = true;
    std::size_t globalsEof = 0; // index of the globals' EOF record
    qsizetype globalsEnd = 0;   // stream offset just past it
    std::size_t firstSheet = 0; // index of the first worksheet's BOUNDSHEET
    std::size_t sheetBof = 0;   // index of that sheet's BOF
    std::size_t sheetEof = 0;   // index of that sheet's closing EOF
    std::optional<std::size_t> sst;
    std::optional<int> generalXf;  // an XF showing numbers in the general format
    std::set<int> rowsWithCells;   // rows of the first sheet that hold cell records
    bool labelSstInImport = false; // a shared-string cell within the rows and columns read
};

std::optional<WorkbookParts> workbookParts(const Compound &compound) {
    WorkbookParts parts;
    int entry = compound.findStream(QStringLiteral("Workbook"));
    parts.streamName = QStringLiteral("Workbook");
    if (entry < 0) {
        entry = compound.findStream(QStringLiteral("Book"));
        parts.streamName = QStringLiteral("Book");
    }
    if (entry < 0) return std::nullopt;
    parts.stream = compound.streamBytes(entry);
    parts.records = parseRecords(parts.stream);
    const std::vector<Record> &list = parts.records.list;
    if (list.empty() || list[0].type != biff::Bof || list[0].body.size() < 4) return std::nullopt;
    parts.biff8 = get16(list[0].body, 0) == 0x0600;
    std::optional<std::size_t> sheet;
    std::optional<std::size_t> eof;
    std::set<std::uint16_t> generalFormats{0};
    int xfIndex = 0;
    for (std::size_t i = 1; i < list.size() && !eof; ++i) {
        const Record &record = list[i];
        if (record.type == biff::Eof) {
            eof = i;
        } else if (record.type == biff::BoundSheet && record.body.size() >= 8 &&
                   record.body[5] == 0 && !sheet) {
            sheet = i;
        } else if (record.type == biff::Sst && record.body.size() >= 8) {
            parts.sst = i;
        } else if (record.type == biff::Format && record.body.size() >= 3) {
            // Some writers give "General" a number of its own.
            const QByteArray text = record.body.mid(parts.biff8 ? 5 : 3);
            if (text == "General" || text == QByteArray("G\0e\0n\0e\0r\0a\0l\0", 14))
                generalFormats.insert(get16(record.body, 0));
        } else if (record.type == biff::Xf && record.body.size() >= 4) {
            if (!parts.generalXf && generalFormats.count(get16(record.body, 2)))
                parts.generalXf = xfIndex;
            ++xfIndex;
        }
    }
    if (!eof || !sheet) return std::nullopt;
    parts.globalsEof = *eof;
    parts.globalsEnd = list[*eof].position + 4 + list[*eof].body.size();
    parts.firstSheet = *sheet;
    const qsizetype sheetPosition = qsizetype(get32(list[*sheet].body, 0));
    std::optional<std::size_t> bof;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].position == sheetPosition && list[i].type == biff::Bof) bof = i;
    if (!bof) return std::nullopt;
    parts.sheetBof = *bof;
    int depth = 0;
    for (std::size_t i = *bof; i < list.size(); ++i) {
        const Record &record = list[i];
        if (record.type == biff::Bof) {
            ++depth;
        } else if (record.type == biff::Eof) {
            if (--depth == 0) {
                parts.sheetEof = i;
                break;
            }
        } else if (depth == 1 && biff::CellRecords.count(record.type) && record.body.size() >= 4) {
            const int row = get16(record.body, 0);
            const int column = get16(record.body, 2);
            parts.rowsWithCells.insert(row);
            if (record.type == biff::LabelSst && row < ImportRows && column < ImportColumns)
                parts.labelSstInImport = true;
        }
    }
    if (parts.sheetEof == 0) return std::nullopt;
    return parts;
}

QByteArray rewrap(const WorkbookParts &parts, const Records &records) {
    scorefuzz::CompoundWriterOptions options;
    const std::u16string name = parts.streamName.toStdU16String();
    options.streamName = name;
    return scorefuzz::writeCompoundFile(assemble(records), options);
}

// The body of a cell record: row, column, XF index.
QByteArray cellHeader(int row, int column, std::uint16_t xf) {
    return le16Bytes(std::uint16_t(row)) + le16Bytes(std::uint16_t(column)) + le16Bytes(xf);
}

// A LABEL whose character count is far beyond the three characters it holds.
Record hugeLabel(bool biff8, int row, int column) {
    QByteArray body = cellHeader(row, column, 0) + le16Bytes(0xFFFF);
    if (biff8) body += '\0';
    return makeRecord(biff::Label, body + "abc");
}

// ---------------------------------------------------------------------------
// Expected outcomes.

enum class Expect {
    Same,        // exactly the outcome of the workbook before the patch
    OpenFails,   // openWorkbook fails with the number
    ReadFails,   // opens, then a cell read fails with the number
    SameOrFails, // the same outcome, or a failure with the number
    Texts,       // opens and reads exactly the texts given
    Plausible,   // any answer the reader may give
};

// For OpenFails: either open failure number will do.
constexpr int AnyOpenFailure = -1;

struct HostileCase {
    QString name;
    QString kind;
    QByteArray bytes;
    Expect expect = Expect::Plausible;
    int number = NoError;
    QStringList texts;
    QByteArray original;
};

struct BaseWorkbook {
    QString name;
    QByteArray bytes;
    Outcome outcome;
};

QStringList fixtureNames() {
    return QDir(QStringLiteral(SCORE_FIXTURES_DIR))
        .entryList({QStringLiteral("*.xls")}, QDir::Files, QDir::Name);
}

QByteArray fixtureBytes(const QString &name) {
    QFile file(QDir(QStringLiteral(SCORE_FIXTURES_DIR)).filePath(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Deterministic pseudo-random numbers, the same on every platform.
class Random {
public:
    explicit Random(const QString &seed) {
        std::uint32_t hash = 2166136261u;
        for (QChar c : seed)
            hash = (hash ^ c.unicode()) * 16777619u;
        m_engine.seed(hash);
    }
    std::uint32_t below(std::uint32_t bound) {
        return bound ? std::uint32_t(m_engine() % bound) : 0;
    }

private:
    std::mt19937 m_engine;
};

class HostileCases {
public:
    std::vector<HostileCase> cases;
    std::set<QString> kinds;

    void build() {
        bool heavyDone = false;
        for (const QString &name : fixtureNames()) {
            BaseWorkbook base{name, fixtureBytes(name), {}};
            base.outcome = importFirstSheet(base.bytes);
            // Only workbooks that import cleanly show what a patch changes.
            if (!base.outcome.opened || base.outcome.readError != NoError ||
                base.outcome.sheets.isEmpty())
                continue;
            const Compound compound(base.bytes);
            if (!compound.valid()) continue;
            containerCases(base, compound);
            const std::optional<WorkbookParts> parts = workbookParts(compound);
            if (!parts) continue;
            recordCases(base, *parts);
            if (!heavyDone && parts->biff8) {
                heavyCases(base, *parts);
                heavyDone = true;
            }
        }
    }

private:
    void add(const BaseWorkbook &base, const QString &kind, const QString &variant,
             QByteArray bytes, Expect expect, int number = NoError, QStringList texts = {}) {
        kinds.insert(kind);
        HostileCase c;
        c.name = QStringLiteral("%1: %2%3")
                     .arg(base.name, kind, variant.isEmpty() ? QString() : ", " + variant);
        c.kind = kind;
        c.bytes = std::move(bytes);
        c.expect = expect;
        c.number = number;
        c.texts = std::move(texts);
        c.original = base.bytes;
        cases.push_back(std::move(c));
    }

    // Patches of the compound file's own tables, made in place.
    void containerCases(const BaseWorkbook &base, const Compound &original) {
        int entry = original.findStream(QStringLiteral("Workbook"));
        if (entry < 0) entry = original.findStream(QStringLiteral("Book"));
        if (entry < 0) return;
        const std::optional<WorkbookParts> parts = workbookParts(original);
        const qsizetype globalsEnd =
            parts ? parts->globalsEnd : std::numeric_limits<qsizetype>::max();
        const bool mini = original.inMiniStream(entry);

        // A FAT chain that loops back to its start after two sectors: only
        // the first 1024 bytes of the chain can be read.
        {
            Compound patched = original;
            const std::vector<std::uint32_t> chain =
                mini ? original.miniStreamChain() : original.streamChain(entry);
            if (chain.size() >= 3) {
                patched.setFat(chain[1], chain[0]);
                bool beyond = globalsEnd > 1024;
                if (mini) {
                    beyond = false;
                    for (std::uint32_t s : original.streamChain(entry))
                        beyond = beyond || std::uint64_t(s) * 64 + 64 > 1024;
                }
                add(base, QStringLiteral("FAT chain loops back to its start"),
                    mini ? QStringLiteral("mini stream") : QString(), patched.file(),
                    beyond ? Expect::OpenFails : Expect::SameOrFails, CannotOpen);
            }
            if (chain.size() >= 2) {
                Compound late = original;
                late.setFat(chain[chain.size() - 2], chain[chain.size() - 2]);
                add(base, QStringLiteral("FAT chain loops onto itself near its end"),
                    mini ? QStringLiteral("mini stream") : QString(), late.file(),
                    Expect::SameOrFails, CannotOpen);
            }
        }
        // A mini FAT chain that returns to its first sector.
        if (mini) {
            const std::vector<std::uint32_t> chain = original.streamChain(entry);
            if (chain.size() >= 2) {
                Compound patched = original;
                patched.setMiniFat(chain[chain.size() - 2], chain[0]);
                add(base, QStringLiteral("mini FAT chain loops"), {}, patched.file(),
                    Expect::OpenFails, CannotOpen);
            }
        }
        // The directory's chain loops onto its first sector.
        {
            Compound patched = original;
            const std::uint32_t first = original.directoryChain().front();
            patched.setFat(first, first);
            add(base, QStringLiteral("directory chain loops"), {}, patched.file(),
                original.directoryChain().size() == 1 ? Expect::Same : Expect::SameOrFails,
                NotAWorkbook);
        }
        // Counts in the header that the tables can't have.
        const struct {
            const char *what;
            int offset;
        } counts[] = {{"FAT", 44}, {"mini FAT", 64}, {"DIFAT", 72}};
        for (const auto &count : counts) {
            for (std::uint32_t value : {0x7FFFFFFFu, 0xFFFFFFFFu}) {
                Compound patched = original;
                set32(patched.file(), count.offset, value);
                add(base, QStringLiteral("header claims billions of %1 sectors").arg(count.what),
                    QString::number(value, 16), patched.file(), Expect::SameOrFails, CannotOpen);
            }
        }
        // A DIFAT chain in a sector added at the end, which names itself as
        // the next; the header's own list covers this file's FAT.
        {
            QByteArray patched = original.file();
            const qsizetype size = original.sectorSize();
            patched.resize((patched.size() + size - 1) / size * size, '\0');
            const std::uint32_t added = std::uint32_t(patched.size() / size - 1);
            patched += QByteArray(size, '\xFF');
            set32(patched, patched.size() - 4, added);
            set32(patched, 68, added);
            set32(patched, 72, 0xFFFFFFFF);
            add(base, QStringLiteral("DIFAT chain loops"), QStringLiteral("FAT within the header"),
                patched, Expect::SameOrFails, CannotOpen);
        }
        // Sibling links that lead back to the top of the tree: every missing
        // link points at the root's child. The stream is still found; a name
        // that isn't there makes the search go round every loop.
        {
            Compound patched = original;
            const std::uint32_t top = original.entry32(0, 76);
            for (int i = 1; i < original.entryCount(); ++i)
                if (original.entryType(i) != 0)
                    for (int field : {68, 72})
                        if (original.entry32(i, field) == scorefuzz::compound::NoStream)
                            patched.setEntry32(i, field, top);
            add(base, QStringLiteral("directory sibling links loop"), {}, patched.file(),
                Expect::Same);
            Compound renamed = patched;
            for (int i = 1; i < original.entryCount(); ++i) {
                const QString name = original.entryName(i);
                if (original.entryType(i) == 2 &&
                    (name.compare(u"Workbook", Qt::CaseInsensitive) == 0 ||
                     name.compare(u"Book", Qt::CaseInsensitive) == 0))
                    renamed.file()[renamed.entryOffset(i)] = 'X';
            }
            add(base, QStringLiteral("directory sibling links loop"),
                QStringLiteral("stream renamed"), renamed.file(), Expect::OpenFails,
                original.findStream(QStringLiteral("EncryptedPackage")) >= 0 ? CannotOpen
                                                                             : NotAWorkbook);
            if (top < std::uint32_t(original.entryCount())) {
                Compound self = original;
                self.setEntry32(int(top), 68, top);
                self.setEntry32(int(top), 72, top);
                add(base, QStringLiteral("directory sibling links loop"),
                    QStringLiteral("onto themselves"), self.file(), Expect::SameOrFails,
                    NotAWorkbook);
            }
        }
        // Sizes of 4 GB.
        {
            Compound patched = original;
            patched.setEntry32(entry, 120, 0xFFFFFFFF);
            add(base, QStringLiteral("stream size of 4 GB"), {}, patched.file(),
                mini ? Expect::Plausible : Expect::Same);
            Compound root = original;
            root.setEntry32(0, 120, 0xFFFFFFFF);
            add(base, QStringLiteral("stream size of 4 GB"), QStringLiteral("mini stream"),
                root.file(), Expect::Same);
        }
        // A first sector beyond the end of the file. The reader calls a
        // stream in ordinary sectors whose first record can't be read no
        // workbook, one in the mini stream damaged.
        {
            Compound patched = original;
            patched.setEntry32(entry, 116, 0xFFFFFFF0);
            add(base, QStringLiteral("stream starts beyond the file"), {}, patched.file(),
                Expect::OpenFails, AnyOpenFailure);
        }
    }

    // Patches of the records, put back into a compound file of their own.
    void recordCases(const BaseWorkbook &base, const WorkbookParts &parts) {
        const std::vector<Record> &list = parts.records.list;
        const auto edited = [&parts](const std::function<void(Records &)> &edit) {
            Records records = parts.records;
            edit(records);
            return rewrap(parts, records);
        };
        const auto insertAt = [](Records &records, std::size_t index, Record record) {
            records.list.insert(records.list.begin() + std::ptrdiff_t(index), std::move(record));
        };

        add(base, QStringLiteral("records in a new container"), {}, edited([](Records &) {}),
            Expect::Same);

        // Encryption announced right after the BOF, or just before the EOF.
        QByteArray rc4 = le16Bytes(1) + le16Bytes(1) + le16Bytes(1) + QByteArray(48, '\x5A');
        add(base, QStringLiteral("FILEPASS after the BOF"), {},
            edited([&](Records &r) { insertAt(r, 1, makeRecord(biff::FilePass, rc4)); }),
            Expect::OpenFails, CannotOpen);
        add(base, QStringLiteral("FILEPASS after the BOF"), QStringLiteral("before the EOF"),
            edited([&](Records &r) {
                insertAt(r, parts.globalsEof, makeRecord(biff::FilePass, rc4));
            }),
            Expect::OpenFails, CannotOpen);

        // The first worksheet's offset.
        const auto sheetAt = [&](std::uint32_t offset) {
            return edited([&](Records &r) { set32(r.list[parts.firstSheet].body, 0, offset); });
        };
        const std::uint32_t streamSize = std::uint32_t(assemble(parts.records).size());
        add(base, QStringLiteral("BOUNDSHEET offset beyond the stream"), {}, sheetAt(0xFFFFFFF0),
            Expect::ReadFails, CannotOpen);
        add(base, QStringLiteral("BOUNDSHEET offset beyond the stream"),
            QStringLiteral("at its end"), sheetAt(streamSize), Expect::ReadFails, CannotOpen);
        add(base, QStringLiteral("BOUNDSHEET offset beyond the stream"),
            QStringLiteral("one byte short"), sheetAt(streamSize - 1), Expect::ReadFails,
            CannotOpen);
        add(base, QStringLiteral("BOUNDSHEET offset at the globals"), {}, sheetAt(0),
            Expect::ReadFails, CannotOpen);
        add(base, QStringLiteral("BOUNDSHEET offset inside a record"), {},
            sheetAt(std::uint32_t(list[parts.sheetBof].position + 5)), Expect::Plausible);

        // Shared strings that lie.
        if (parts.sst) {
            const std::size_t sst = *parts.sst;
            qsizetype sstBytes = 0;
            for (std::size_t i = sst;
                 i < list.size() && (i == sst || list[i].type == biff::Continue); ++i)
                sstBytes += list[i].body.size();
            const Expect missingStrings = parts.labelSstInImport ? Expect::ReadFails : Expect::Same;

            add(base, QStringLiteral("SST counts in the billions"), {}, edited([&](Records &r) {
                    set32(r.list[sst].body, 0, 0xFFFFFFFF);
                    set32(r.list[sst].body, 4, 0xFFFFFFFF);
                }),
                Expect::Same);
            if (list[sst].body.size() >= 11) {
                add(base, QStringLiteral("SST string length lies"), QStringLiteral("huge cch"),
                    edited([&](Records &r) { set16(r.list[sst].body, 8, 0xFFFF); }),
                    sstBytes < 0xFFFF ? missingStrings : Expect::Plausible, CannotOpen);
                add(base, QStringLiteral("SST string length lies"), QStringLiteral("cch of 0"),
                    edited([&](Records &r) { set16(r.list[sst].body, 8, 0); }), Expect::Plausible);
                // A huge cbExtRst on the first string, its flag set.
                add(base, QStringLiteral("SST string length lies"), QStringLiteral("huge cbExtRst"),
                    edited([&](Records &r) {
                        QByteArray &body = r.list[sst].body;
                        const char options = body[10];
                        const qsizetype sizeAt = 11 + ((options & 0x08) ? 2 : 0);
                        if (options & 0x04) {
                            set32(body, sizeAt, 0xFFFFFFFF);
                        } else {
                            body[10] = char(options | 0x04);
                            body.insert(sizeAt, le32Bytes(0xFFFFFFFF));
                        }
                    }),
                    missingStrings, CannotOpen);
                // Rich-text runs counted in the tens of thousands.
                add(base, QStringLiteral("SST string length lies"),
                    QStringLiteral("huge run count"), edited([&](Records &r) {
                        QByteArray &body = r.list[sst].body;
                        const char options = body[10];
                        if (options & 0x08) {
                            set16(body, 11, 0xFFFF);
                        } else {
                            body[10] = char(options | 0x08);
                            body.insert(11, le16Bytes(0xFFFF));
                        }
                    }),
                    sstBytes < 0x3FFFC ? missingStrings : Expect::Plausible, CannotOpen);
            }
            // The strings moved into a CONTINUE record of their own, which
            // then claims more or less than it holds.
            const auto split = [&](Records &r) {
                QByteArray &body = r.list[sst].body;
                Record rest = makeRecord(biff::Continue, body.mid(8));
                body.truncate(8);
                insertAt(r, sst + 1, std::move(rest));
            };
            add(base, QStringLiteral("CONTINUE length lies"), QStringLiteral("truthful"),
                edited(split), Expect::Same);
            // After the split the CONTINUE's body starts 16 bytes after the
            // SST's header, in a stream 4 bytes longer.
            const qsizetype beyondEnd = qsizetype(streamSize) + 4 - (list[sst].position + 16) + 1;
            if (beyondEnd <= 0xFFFF)
                add(base, QStringLiteral("CONTINUE length lies"),
                    QStringLiteral("past the stream's end"), edited([&](Records &r) {
                        split(r);
                        r.list[sst + 1].claimed = std::uint16_t(beyondEnd);
                    }),
                    Expect::OpenFails, CannotOpen);
            add(base, QStringLiteral("CONTINUE length lies"), QStringLiteral("0xFFFF"),
                edited([&](Records &r) {
                    split(r);
                    r.list[sst + 1].claimed = 0xFFFF;
                }),
                Expect::Plausible);
            for (std::uint16_t claimed : {0, 1, 2, 3}) {
                add(base, QStringLiteral("CONTINUE length lies"),
                    QStringLiteral("claims %1").arg(claimed), edited([&](Records &r) {
                        split(r);
                        r.list[sst + 1].claimed = claimed;
                    }),
                    Expect::Plausible);
            }
        }

        // Cell records claiming huge counts or far columns, inserted right
        // after the first sheet's BOF so that the scan always meets them.
        const std::size_t afterBof = parts.sheetBof + 1;
        const auto inSheet = [&](Record record) {
            return edited([&](Records &r) { insertAt(r, afterBof, record); });
        };
        add(base, QStringLiteral("LABEL claims a huge count"), QStringLiteral("cell A1"),
            inSheet(hugeLabel(parts.biff8, 0, 0)), Expect::ReadFails, CannotOpen);
        add(base, QStringLiteral("LABEL claims a huge count"), QStringLiteral("column 60001"),
            inSheet(hugeLabel(parts.biff8, 0, 60000)), Expect::Same);
        {
            QByteArray body = cellHeader(0, 200, 0);
            for (int i = 1; i < 32000; ++i)
                body += le16Bytes(0);
            body += le16Bytes(std::uint16_t(199 + 32000));
            add(base, QStringLiteral("MULBLANK claims huge columns"),
                QStringLiteral("from column 201"), inSheet(makeRecord(biff::MulBlank, body)),
                Expect::Same);
            QByteArray far = body;
            set16(far, 2, 0xFFF0);
            add(base, QStringLiteral("MULBLANK claims huge columns"),
                QStringLiteral("from column 65521"), inSheet(makeRecord(biff::MulBlank, far)),
                Expect::Same);
        }
        {
            QByteArray body = le16Bytes(0) + le16Bytes(0xFFFF);
            add(base, QStringLiteral("MULRK claims huge columns"), QStringLiteral("cut short"),
                inSheet(makeRecord(biff::MulRk, body)), Expect::ReadFails, CannotOpen);
            add(base, QStringLiteral("NUMBER cut short"), {},
                inSheet(makeRecord(biff::Number, cellHeader(0, 0, 0) + QByteArray(2, '\0'))),
                Expect::ReadFails, CannotOpen);
        }
        // A row of the import that the sheet leaves empty, for records whose
        // effect must show.
        std::optional<int> emptyRow;
        for (int row = ImportRows - 1; row >= 0 && !emptyRow; --row)
            if (!parts.rowsWithCells.count(row)) emptyRow = row;
        if (emptyRow && parts.generalXf) {
            const int row = *emptyRow;
            QByteArray body = le16Bytes(std::uint16_t(row)) + le16Bytes(0);
            const int count = 10000;
            for (int i = 0; i < count; ++i)
                body += le16Bytes(std::uint16_t(*parts.generalXf)) +
                        le32Bytes(std::uint32_t(100 + i) << 2 | 2);
            body += le16Bytes(std::uint16_t(count - 1));
            QStringList texts = base.outcome.texts;
            for (int c = 0; c < ImportColumns; ++c)
                texts[row * ImportColumns + c] = QString::number(100 + c);
            add(base, QStringLiteral("MULRK claims huge columns"), QStringLiteral("10000 numbers"),
                inSheet(makeRecord(biff::MulRk, body)), Expect::Texts, NoError, texts);

            if (parts.biff8)
                add(base, QStringLiteral("LABELSST index beyond the strings"), {},
                    inSheet(
                        makeRecord(biff::LabelSst, cellHeader(row, 0, 0) + le32Bytes(0xFFFFFFFF))),
                    Expect::ReadFails, CannotOpen);
        }
    }

    // Workbooks of many megabytes, made once.
    void heavyCases(const BaseWorkbook &base, const WorkbookParts &parts) {
        // A sheet claiming every one of its 65536 x 256 cells: DIMENSIONS
        // says so and a MULBLANK record covers each row. They come before the
        // sheet's own cells, which therefore still show.
        {
            Records records = parts.records;
            std::vector<Record> added;
            added.push_back(makeRecord(biff::Dimensions, le32Bytes(0) + le32Bytes(65536) +
                                                             le16Bytes(0) + le16Bytes(256) +
                                                             le16Bytes(0)));
            QByteArray blanks;
            for (int column = 0; column < 256; ++column)
                blanks += le16Bytes(0);
            for (int row = 0; row < 65536; ++row)
                added.push_back(makeRecord(biff::MulBlank, le16Bytes(std::uint16_t(row)) +
                                                               le16Bytes(0) + blanks +
                                                               le16Bytes(255)));
            records.list.insert(records.list.begin() + std::ptrdiff_t(parts.sheetBof + 1),
                                added.begin(), added.end());
            add(base, QStringLiteral("sheet claims 65536 x 256 cells"), {}, rewrap(parts, records),
                Expect::Same);
        }
        // The stream placed so far into a large file that its FAT sectors
        // are listed by DIFAT sectors; as written it reads as before, with a
        // DIFAT chain that loops it cannot be read past its first sector.
        {
            scorefuzz::CompoundWriterOptions options;
            const std::u16string name = parts.streamName.toStdU16String();
            options.streamName = name;
            options.leadingFreeSectors = 31000;
            const QByteArray large = scorefuzz::writeCompoundFile(parts.stream, options);
            add(base, QStringLiteral("DIFAT chain loops"), QStringLiteral("large file, intact"),
                large, Expect::Same);
            QByteArray looped = large;
            const std::uint32_t firstDifat = get32(looped, 68);
            set32(looped, (qsizetype(firstDifat) + 2) * 512 - 4, firstDifat);
            add(base, QStringLiteral("DIFAT chain loops"), QStringLiteral("large file"), looped,
                parts.globalsEnd > 512 ? Expect::OpenFails : Expect::SameOrFails, CannotOpen);
            QByteArray counted = large;
            set32(counted, 72, 0xFFFFFFFF);
            add(base, QStringLiteral("header claims billions of DIFAT sectors"),
                QStringLiteral("large file"), counted, Expect::SameOrFails, CannotOpen);
            // The first DIFAT sector's link to the next one leads out of the
            // file, or the next one lists no FAT sectors at all.
            QByteArray outside = large;
            set32(outside, (qsizetype(firstDifat) + 2) * 512 - 4, 0xFFFFFFF0);
            add(base, QStringLiteral("DIFAT chain loops"),
                QStringLiteral("large file, leads outside"), outside,
                parts.globalsEnd > 512 ? Expect::OpenFails : Expect::SameOrFails, CannotOpen);
            QByteArray emptied = large;
            const qsizetype secondDifat = (qsizetype(firstDifat) + 2) * 512;
            emptied.replace(secondDifat, 508, QByteArray(508, '\xFF'));
            add(base, QStringLiteral("DIFAT chain loops"),
                QStringLiteral("large file, FAT unlisted"), emptied,
                parts.globalsEnd > 512 ? Expect::OpenFails : Expect::SameOrFails, CannotOpen);
            // The header names the FAT's first sector as the DIFAT: its
            // entries are read as FAT locations.
            QByteArray confused = large;
            set32(confused, 68, 0);
            add(base, QStringLiteral("DIFAT chain loops"),
                QStringLiteral("large file, FAT as DIFAT"), confused, Expect::Plausible);
        }
    }
};

// The regions of a file where changed bytes do the most damage: the header,
// the directory and the start of the workbook stream.
std::vector<std::pair<qsizetype, qsizetype>> sensitiveRegions(const QByteArray &bytes) {
    std::vector<std::pair<qsizetype, qsizetype>> regions{
        {0, std::min<qsizetype>(512, bytes.size())}};
    const Compound compound(bytes);
    if (!compound.valid()) return regions;
    for (std::uint32_t sector : compound.directoryChain())
        regions.emplace_back(compound.sectorOffset(sector), compound.sectorSize());
    int entry = compound.findStream(QStringLiteral("Workbook"));
    if (entry < 0) entry = compound.findStream(QStringLiteral("Book"));
    if (entry >= 0) {
        for (std::uint64_t offset = 0;
             offset < std::min<std::uint64_t>(4096, compound.entrySize(entry)); offset += 64) {
            const qsizetype at = compound.streamByteOffset(entry, offset);
            if (at >= 0) regions.emplace_back(at, std::min<qsizetype>(64, bytes.size() - at));
        }
    }
    return regions;
}

} // namespace

Q_DECLARE_METATYPE(Expect)

class TestRobustness : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void truncated_data();
    void truncated();
    void bytesChanged_data();
    void bytesChanged();
    void hostile_data();
    void hostile();
    void fileSourceAgrees_data();
    void fileSourceAgrees();
    void everyHostileKindIsTried_data();
    void everyHostileKindIsTried();

private:
    const HostileCases &hostileCases() {
        if (!m_hostile) {
            m_hostile.emplace();
            m_hostile->build();
        }
        return *m_hostile;
    }
    std::optional<HostileCases> m_hostile;
};

void TestRobustness::initTestCase() {
    QVERIFY2(!fixtureNames().isEmpty(), "no .xls files in " SCORE_FIXTURES_DIR);
}

void TestRobustness::truncated_data() {
    QTest::addColumn<QByteArray>("bytes");
    for (const QString &name : fixtureNames())
        QTest::newRow(qPrintable(name)) << fixtureBytes(name);
}

// Every cut the file could suffer: the first bytes, each side of every
// sector boundary, and evenly spread lengths in between.
void TestRobustness::truncated() {
    QFETCH(QByteArray, bytes);
    std::set<qsizetype> lengths;
    for (qsizetype length = 0; length <= std::min<qsizetype>(bytes.size(), 80); ++length)
        lengths.insert(length);
    for (qsizetype boundary = 512; boundary <= bytes.size() + 1; boundary += 512)
        for (qsizetype length : {boundary - 1, boundary, boundary + 1})
            lengths.insert(std::min(length, bytes.size()));
    for (int i = 0; i <= 200; ++i)
        lengths.insert(bytes.size() * i / 200);
    for (qsizetype length : lengths) {
        const Outcome outcome = importFirstSheet(bytes.left(length));
        const QString wrong = implausibility(outcome);
        QVERIFY2(wrong.isEmpty(),
                 qPrintable(QStringLiteral("cut to %1 bytes: %2").arg(length).arg(wrong)));
        // Without the whole 512-byte header nothing says it is a compound file.
        if (length < 512)
            QVERIFY2(outcome.openError == NotAWorkbook,
                     qPrintable(
                         QStringLiteral("cut to %1 bytes: %2").arg(length).arg(describe(outcome))));
    }
}

void TestRobustness::bytesChanged_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("seed");
    for (const QString &name : fixtureNames())
        QTest::newRow(qPrintable(name)) << fixtureBytes(name) << name;
}

// Copies with one to four bytes changed, at positions anywhere in the file or
// in its sensitive regions; the positions depend only on the file's name.
void TestRobustness::bytesChanged() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, seed);
    if (bytes.isEmpty()) QSKIP("an empty file has no bytes to change");
    Random random(seed);
    const auto regions = sensitiveRegions(bytes);
    constexpr int Copies = 400;
    for (int copy = 0; copy < Copies; ++copy) {
        QByteArray changed = bytes;
        QStringList where;
        const int count = 1 + int(random.below(4));
        for (int i = 0; i < count; ++i) {
            qsizetype at;
            if (copy % 2 == 0) {
                at = qsizetype(random.below(std::uint32_t(bytes.size())));
            } else {
                const auto &region = regions[random.below(std::uint32_t(regions.size()))];
                at = region.first + qsizetype(random.below(std::uint32_t(region.second)));
            }
            // Now and then a byte that makes a count or a link extreme.
            const std::uint32_t kind = random.below(4);
            changed[at] = kind == 0   ? char(0xFF)
                          : kind == 1 ? char(0)
                                      : char(bytes[at] ^ char(1 + random.below(255)));
            where.append(QString::number(at));
        }
        const QString wrong = implausibility(importFirstSheet(changed));
        QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("copy %1, bytes changed at %2: %3")
                                                 .arg(copy)
                                                 .arg(where.join(u','))
                                                 .arg(wrong)));
    }
}

void TestRobustness::hostile_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Expect>("expect");
    QTest::addColumn<int>("number");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QByteArray>("original");
    for (const HostileCase &c : hostileCases().cases)
        QTest::newRow(qPrintable(c.name))
            << c.bytes << c.expect << c.number << c.texts << c.original;
}

void TestRobustness::hostile() {
    QFETCH(QByteArray, bytes);
    QFETCH(Expect, expect);
    QFETCH(int, number);
    QFETCH(QStringList, texts);
    QFETCH(QByteArray, original);

    const Outcome outcome = importFirstSheet(bytes);
    const QString wrong = implausibility(outcome);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    const Outcome before = importFirstSheet(original);
    const QString got = describe(outcome);
    switch (expect) {
    case Expect::Same:
        QVERIFY2(outcome == before, qPrintable(difference(outcome, before)));
        break;
    case Expect::OpenFails:
        QVERIFY2(!outcome.opened, qPrintable(got));
        if (number != AnyOpenFailure) QCOMPARE(outcome.openError, number);
        break;
    case Expect::ReadFails:
        QVERIFY2(outcome.opened, qPrintable(got));
        QCOMPARE(outcome.readError, number);
        break;
    case Expect::SameOrFails:
        QVERIFY2(outcome == before || outcome.failure() == number,
                 qPrintable(difference(outcome, before)));
        break;
    case Expect::Texts:
        QVERIFY2(outcome.opened && outcome.readError == NoError, qPrintable(got));
        QCOMPARE(outcome.texts, texts);
        break;
    case Expect::Plausible:
        break; // checked above
    }
}

void TestRobustness::fileSourceAgrees_data() {
    QTest::addColumn<QByteArray>("bytes");
    for (const QString &name : fixtureNames()) {
        const QByteArray bytes = fixtureBytes(name);
        for (qsizetype length : {qsizetype(0), qsizetype(511), qsizetype(512), qsizetype(513),
                                 bytes.size() / 2, bytes.size() - 1, bytes.size()})
            if (length >= 0 && length <= bytes.size())
                QTest::addRow("%s cut to %lld", qPrintable(name), static_cast<long long>(length))
                    << bytes.left(length);
    }
}

// A file read from disk answers exactly as the same bytes in memory.
void TestRobustness::fileSourceAgrees() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath(QStringLiteral("copy.xls"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    const Outcome fromFile = importFirstSheetFromFile(path);
    const Outcome fromMemory = importFirstSheet(bytes);
    QVERIFY2(fromFile == fromMemory, qPrintable(difference(fromFile, fromMemory)));
}

void TestRobustness::everyHostileKindIsTried_data() {
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"FAT chain loops back to its start",
                             "FAT chain loops onto itself near its end",
                             "directory chain loops",
                             "header claims billions of FAT sectors",
                             "header claims billions of mini FAT sectors",
                             "header claims billions of DIFAT sectors",
                             "DIFAT chain loops",
                             "directory sibling links loop",
                             "stream size of 4 GB",
                             "stream starts beyond the file",
                             "records in a new container",
                             "FILEPASS after the BOF",
                             "BOUNDSHEET offset beyond the stream",
                             "BOUNDSHEET offset at the globals",
                             "SST counts in the billions",
                             "SST string length lies",
                             "CONTINUE length lies",
                             "LABEL claims a huge count",
                             "MULBLANK claims huge columns",
                             "MULRK claims huge columns",
                             "NUMBER cut short",
                             "LABELSST index beyond the strings",
                             "sheet claims 65536 x 256 cells"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

// The fixtures must offer a workbook for every kind of patch, or the hostile
// cases would quietly shrink.
void TestRobustness::everyHostileKindIsTried() {
    QFETCH(QString, kind);
    QVERIFY(hostileCases().kinds.count(kind));
}

QTEST_GUILESS_MAIN(TestRobustness)
#include "tst_robustness.moc"
