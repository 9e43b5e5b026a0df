#include "workbook/xls/xlsworkbook.h"

#include "workbook/bytesource.h"
#include "workbook/cellvalues/cellvalue.h"
#include "workbook/cellvalues/datestyles.h"
#include "workbook/damage.h"
#include "workbook/importerrors.h"
#include "workbook/littleendian.h"
#include "workbook/readercore/windowedworkbook.h"
#include "workbook/xls/biffstream.h"
#include "workbook/xls/compoundfile.h"

#include <QStringDecoder>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace analysis::xls {

namespace {

using readercore::LegacySheet;

constexpr std::uint16_t BiffVersion5 = 0x0500;
constexpr std::uint16_t BiffVersion8 = 0x0600;
constexpr std::uint16_t GlobalsSubstream = 0x0005;
constexpr std::uint16_t WorksheetSubstream = 0x0010;
constexpr std::uint8_t WorksheetType = 0;

// Records that may stand between a formula and the STRING holding its text.
constexpr std::uint16_t SharedFormula = 0x04BC;
constexpr std::uint16_t ArrayFormula = 0x0221;
constexpr std::uint16_t DataTable = 0x0236;

// No row seen yet in a block of rows.
constexpr int NoRow = std::numeric_limits<int>::max();

const char *codePageName(std::uint16_t codePage) {
    switch (codePage) {
    case 367:
        return "US-ASCII";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 852:
        return "IBM852";
    case 866:
        return "IBM866";
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 1200:
        return "UTF-16LE"; // some writers store BIFF5 text as UTF-16
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
    case 32768:
        return "macintosh";
    default:
        return "windows-1252";
    }
}

// The shortest valid record of each kind of cell, or 0 for other records.
constexpr int cellMinimumLength(std::uint16_t type) {
    switch (type) {
    case record::Number:
        return 14;
    case record::Rk:
    case record::LabelSst:
        return 10;
    case record::Label:
    case record::RString:
    case record::BoolErr:
        return 8;
    case record::Formula:
    case record::Formula3:
    case record::Formula4:
        return 20;
    case record::MulRk:
    case record::Blank:
    case record::MulBlank:
        return 6;
    default:
        return 0;
    }
}

// The same by a table, with the row record's minimum beside them: the walk
// of a large sheet asks once a record, and a switch's jump mispredicts as
// the kinds of cell alternate.
constexpr std::size_t ShortestRecordTypes = 0x0500; // every cell record's type is below
struct ShortestRecords {
    std::array<std::uint8_t, ShortestRecordTypes> length{};
    constexpr ShortestRecords() {
        for (std::size_t type = 0; type < ShortestRecordTypes; ++type)
            length[type] = std::uint8_t(cellMinimumLength(std::uint16_t(type)));
        length[record::Row] = 2;
    }
};
constexpr ShortestRecords shortestRecords;
static_assert(cellMinimumLength(record::Formula4) == 20 && record::Formula4 < ShortestRecordTypes);

// A cell or row record's shortest valid length, or 0 for other records.
inline int shortestCellOrRow(std::uint16_t type) {
    return type < ShortestRecordTypes ? shortestRecords.length[type] : 0;
}

double rkValue(std::uint32_t rk) {
    double value;
    if (rk & 2) {
        value = double(std::int32_t(rk) >> 2);
    } else {
        const std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 1) ? value / 100.0 : value;
}

using cellvalues::CellValue;

// Cells are kept by their 0-based row and column, as the records give them.
std::uint64_t cellKey(int row, int column) {
    return LegacySheet.cellKey(row + 1, column + 1);
}

CellValue numberCell(std::uint16_t xf, double value) {
    CellValue cell;
    cell.kind = CellValue::Number;
    cell.style = xf;
    cell.number = value;
    return cell;
}

// The value a formula record keeps of its last result. A text result follows
// in a STRING record.
CellValue formulaResult(const std::uint8_t *result, std::uint16_t xf) {
    if (le16(result + 6) != 0xFFFF) return numberCell(xf, leDouble(result));
    CellValue cell; // a text, here or in a STRING record, or an empty one
    if (result[0] == 1 || result[0] == 2) {
        cell.kind = result[0] == 1 ? CellValue::Boolean : CellValue::ErrorCode;
        cell.number = result[2];
    }
    return cell;
}

// Whether a formula's text result follows in a STRING record.
bool formulaTextFollows(const std::uint8_t *result) {
    return le16(result + 6) == 0xFFFF && result[0] == 0;
}

// What one record of a sheet means for the scan through it.
enum class Step { More, Done, Damaged };

// Damage found in a record, told to the funnel where it is found.
Step damagedStep(int failure) {
    (void)failure;
    return Step::Damaged;
}

// A scan keeps every column of its rows: it reads their records anyway.
class XlsWorkbook final : public readercore::WindowedWorkbook {
public:
    XlsWorkbook(std::unique_ptr<ByteSource> source, std::unique_ptr<CompoundFile> file,
                std::unique_ptr<Stream> stream)
        : WindowedWorkbook(LegacySheet, LegacySheet.columns), m_source(std::move(source)),
          m_file(std::move(file)), m_stream(std::move(stream)), m_records(*m_stream),
          m_sstRecords(*m_stream) {}

    int readGlobals(bool namedWorkbook);

    // Whether all the bytes read so far were the file's own: a file cut short
    // while it is read in place shows zeros from there on. Checked after the
    // globals, after each sheet scan and for each shared string.
    bool intact() const { return m_source->intact(); }

private:
    int scanWindow() override;
    int isDateStyle(std::uint32_t style, bool *date) override;
    int sharedText(std::uint32_t index, QString *text) override;

    struct SheetInfo {
        QByteArray codePageName; // BIFF5 names are decoded once the code page is known
        std::uint64_t position = 0;
    };

    QStringDecoder &decoder();
    QStringDecoder &nameDecoder();
    bool readString(const RecordHeader &header, std::uint32_t offset, QString *text);
    bool sharedString(std::uint32_t index, QString *text);

    // The workbook globals, one record kind a function.
    int readGlobalsBof(bool namedWorkbook, RecordHeader *header);
    int readGlobalRecord(const RecordHeader &header, const std::uint8_t *body);
    void readCodePage(const RecordHeader &header, const std::uint8_t *body);
    void readDateMode(const RecordHeader &header, const std::uint8_t *body);
    void readXf(const RecordHeader &header, const std::uint8_t *body);
    void readFormat(const RecordHeader &header, const std::uint8_t *body);
    int readBoundSheet(const RecordHeader &header, const std::uint8_t *body);
    void readSst(const RecordHeader &header);

    // A sheet's rows; the cell records, one family a function.
    int scanSheet(int sheet, int firstRow, int lastRow);
    std::uint64_t skipCellsOutside(std::uint64_t position, int firstRow, int lastRow,
                                   int *blockFirstRow);
    Step scanRecord(const RecordHeader &header, int *blockFirstRow);
    Step scanCell(const RecordHeader &header, int *blockFirstRow);
    Step storeFormulaString(const RecordHeader &header);
    bool storeCell(const RecordHeader &header, const std::uint8_t *body);
    void storeNumbers(const RecordHeader &header, const std::uint8_t *body);
    void storeBlanks(const RecordHeader &header, const std::uint8_t *body);
    bool storeLabel(const RecordHeader &header, const std::uint8_t *body);
    void storeBoolErr(const std::uint8_t *body);
    void storeFormula(const std::uint8_t *body);
    void putCell(int row, int column, CellValue cell);
    bool wanted(int row, int column) const {
        return row >= m_scanFirst && row <= m_scanLast && column < LegacySheet.columns &&
               window().keeps(column + 1);
    }

    std::unique_ptr<ByteSource> m_source;
    std::unique_ptr<CompoundFile> m_file; // m_stream reads through it
    std::unique_ptr<Stream> m_stream;
    BiffStream m_records;
    BiffStream m_sstRecords;

    bool m_biff8 = true;
    std::uint16_t m_codePage = 1252;
    std::optional<QStringDecoder> m_decoder;
    std::optional<QStringDecoder> m_latin1Decoder;
    cellvalues::DateStyles m_dateStyles;
    std::vector<SheetInfo> m_sheets;

    std::optional<RecordHeader> m_sstHeader;
    std::optional<ContinuedReader> m_sstReader;
    std::vector<QString> m_strings;
    bool m_sstExhausted = false;

    // The rows of the window, 0-based.
    int m_scanFirst = 0;
    int m_scanLast = -1;
    std::optional<std::uint64_t> m_pendingFormulaText; // a formula's STRING record is due
};

QStringDecoder &XlsWorkbook::decoder() {
    if (!m_decoder) {
        m_decoder.emplace(codePageName(m_codePage), QStringConverter::Flag::Stateless);
        if (!m_decoder->isValid())
            m_decoder.emplace(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
    }
    return *m_decoder;
}

// Writers that declare UTF-16 text for BIFF5 still write sheet names and
// number formats one byte a character.
QStringDecoder &XlsWorkbook::nameDecoder() {
    if (m_codePage != 1200) return decoder();
    if (!m_latin1Decoder)
        m_latin1Decoder.emplace(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
    return *m_latin1Decoder;
}

int XlsWorkbook::readGlobals(bool namedWorkbook) {
    RecordHeader header;
    if (const int failure = readGlobalsBof(namedWorkbook, &header)) return failure;
    std::uint64_t position = header.next();
    for (;;) {
        const BiffStream::Read read = m_records.header(position, &header);
        if (read == BiffStream::Read::End) break;
        if (read == BiffStream::Read::Damaged) return WORKBOOK_DAMAGED();
        position = header.next();
        if (header.type == record::Eof) break;
        const std::uint8_t *body = m_records.body(header);
        if (!body) return WORKBOOK_DAMAGED();
        if (const int failure = readGlobalRecord(header, body)) return failure;
    }
    if (!m_biff8)
        for (const SheetInfo &sheet : m_sheets)
            m_sheetNames.append(nameDecoder().decode(sheet.codePageName));
    return NoError;
}

// A workbook stream that can't be read is a damaged workbook; one that
// doesn't start with a BOF record is something else.
int XlsWorkbook::readGlobalsBof(bool namedWorkbook, RecordHeader *header) {
    if (m_records.header(0, header) != BiffStream::Read::Ok) return WORKBOOK_DAMAGED();
    if (header->type != record::Bof || header->length < 4) return NotAWorkbook;
    const std::uint8_t *bof = m_records.body(*header);
    if (!bof) return WORKBOOK_DAMAGED();
    const std::uint16_t version = le16(bof);
    if (le16(bof + 2) != GlobalsSubstream) return WORKBOOK_DAMAGED();
    m_biff8 = version == BiffVersion8 || (version != BiffVersion5 && namedWorkbook);
    return NoError;
}

int XlsWorkbook::readGlobalRecord(const RecordHeader &header, const std::uint8_t *body) {
    switch (header.type) {
    case record::FilePass:
        return WORKBOOK_DAMAGED(); // encrypted: the cells can't be read without the password
    case record::BoundSheet:
        return readBoundSheet(header, body);
    case record::CodePage:
        readCodePage(header, body);
        break;
    case record::DateMode:
        readDateMode(header, body);
        break;
    case record::Xf:
        readXf(header, body);
        break;
    case record::Format:
        readFormat(header, body);
        break;
    case record::Sst:
        readSst(header);
        break;
    default:
        break;
    }
    return NoError;
}

void XlsWorkbook::readCodePage(const RecordHeader &header, const std::uint8_t *body) {
    if (header.length < 2) return;
    m_codePage = le16(body);
    m_decoder.reset();
}

void XlsWorkbook::readDateMode(const RecordHeader &header, const std::uint8_t *body) {
    if (header.length >= 2) m_dateSystem1904 = le16(body) == 1;
}

// The format of each cell format (XF), in order: cells name their XF by index.
void XlsWorkbook::readXf(const RecordHeader &header, const std::uint8_t *body) {
    if (header.length >= 4) m_dateStyles.addStyle(le16(body + 2));
}

// A number format of the workbook's own; an unreadable one counts as no date.
void XlsWorkbook::readFormat(const RecordHeader &header, const std::uint8_t *body) {
    if (header.length < 3) return;
    QString format;
    ContinuedReader reader(m_records, header, 2);
    bool ok;
    if (m_biff8) {
        ok = readUnicodeString(reader, false, &format);
    } else {
        std::uint8_t count;
        ok = reader.readU8(&count) && reader.readCodePageCharacters(count, nameDecoder(), &format);
    }
    if (ok) m_dateStyles.addFormat(le16(body), format);
}

int XlsWorkbook::readBoundSheet(const RecordHeader &header, const std::uint8_t *body) {
    if (header.length < 8 || body[5] != WorksheetType) return NoError;
    SheetInfo sheet;
    sheet.position = le32(body);
    if (m_biff8) {
        ContinuedReader reader(m_records, header, 6);
        QString name;
        if (!readUnicodeString(reader, true, &name)) return WORKBOOK_DAMAGED();
        m_sheetNames.append(name);
    } else {
        const std::uint8_t count = body[6];
        if (7 + count > header.length) return WORKBOOK_DAMAGED();
        sheet.codePageName = QByteArray(reinterpret_cast<const char *>(body + 7), count);
    }
    m_sheets.push_back(std::move(sheet));
    return NoError;
}

// The shared strings are decoded when a cell first asks for one.
void XlsWorkbook::readSst(const RecordHeader &header) {
    if (header.length >= 8) m_sstHeader = header;
}

int XlsWorkbook::isDateStyle(std::uint32_t style, bool *date) {
    *date = m_dateStyles.isDate(style);
    return NoError;
}

int XlsWorkbook::sharedText(std::uint32_t index, QString *text) {
    // Strings decoded while the file was being cut short are cached too.
    if (sharedString(index, text) && intact()) return NoError;
    text->clear();
    return WORKBOOK_DAMAGED();
}

bool XlsWorkbook::sharedString(std::uint32_t index, QString *text) {
    if (index < m_strings.size()) {
        *text = m_strings[index];
        return true;
    }
    if (!m_sstHeader || m_sstExhausted) return false;
    if (!m_sstReader) {
        // Past the total and unique counts, which writers don't always get right.
        m_sstReader.emplace(m_sstRecords, *m_sstHeader, 8);
    }
    // Strings are decoded in order, only as far as the highest index asked for.
    while (m_strings.size() <= index) {
        QString next;
        if (!readUnicodeString(*m_sstReader, false, &next)) {
            m_sstExhausted = true;
            return false;
        }
        m_strings.push_back(std::move(next));
    }
    *text = m_strings[index];
    return true;
}

void XlsWorkbook::putCell(int row, int column, CellValue cell) {
    m_cells.put(cellKey(row, column), std::move(cell));
}

// A text in a cell record (offset 6) or in a formula's STRING record (0).
bool XlsWorkbook::readString(const RecordHeader &header, std::uint32_t offset, QString *text) {
    ContinuedReader reader(m_records, header, offset);
    if (m_biff8) return readUnicodeString(reader, false, text);
    std::uint16_t count;
    return reader.readU16(&count) && reader.readCodePageCharacters(count, decoder(), text);
}

// Stores the value of a cell record of the window's rows, for the cells in
// the window. The scan has checked the record's length against its kind.
// False when a text in the record can't be read.
bool XlsWorkbook::storeCell(const RecordHeader &header, const std::uint8_t *body) {
    switch (header.type) {
    case record::Number:
    case record::Rk:
    case record::MulRk:
        storeNumbers(header, body);
        return true;
    case record::Blank:
    case record::MulBlank:
        storeBlanks(header, body);
        return true;
    case record::LabelSst:
    case record::Label:
    case record::RString:
        return storeLabel(header, body);
    case record::BoolErr:
        storeBoolErr(body);
        return true;
    case record::Formula:
    case record::Formula3:
    case record::Formula4:
        storeFormula(body);
        return true;
    default:
        return true;
    }
}

// NUMBER and RK hold one number; MULRK a run of RK values after the first
// column, each with its format.
void XlsWorkbook::storeNumbers(const RecordHeader &header, const std::uint8_t *body) {
    const int row = le16(body);
    const int column = le16(body + 2);
    if (header.type == record::MulRk) {
        const int count = (header.length - 6) / 6;
        for (int i = 0; i < count; ++i) {
            const std::uint8_t *item = body + 4 + 6 * i;
            if (wanted(row, column + i))
                putCell(row, column + i, numberCell(le16(item), rkValue(le32(item + 2))));
        }
        return;
    }
    if (!wanted(row, column)) return;
    const double value =
        header.type == record::Number ? leDouble(body + 6) : rkValue(le32(body + 6));
    putCell(row, column, numberCell(le16(body + 4), value));
}

// A blank cell has a format and no value: it clears what a cell before it
// in the stream may have set.
void XlsWorkbook::storeBlanks(const RecordHeader &header, const std::uint8_t *body) {
    const int row = le16(body);
    const int column = le16(body + 2);
    const int count = header.type == record::MulBlank ? (header.length - 6) / 2 : 1;
    for (int i = 0; i < count; ++i)
        if (wanted(row, column + i)) m_cells.empty(cellKey(row, column + i));
}

bool XlsWorkbook::storeLabel(const RecordHeader &header, const std::uint8_t *body) {
    const int row = le16(body);
    const int column = le16(body + 2);
    if (!wanted(row, column)) return true;
    CellValue cell;
    if (header.type == record::LabelSst) {
        cell.kind = CellValue::SharedText;
        cell.index = le32(body + 6);
    } else {
        if (!readString(header, 6, &cell.text)) return false;
    }
    putCell(row, column, std::move(cell));
    return true;
}

void XlsWorkbook::storeBoolErr(const std::uint8_t *body) {
    const int row = le16(body);
    const int column = le16(body + 2);
    if (!wanted(row, column)) return;
    CellValue cell;
    cell.kind = body[7] ? CellValue::ErrorCode : CellValue::Boolean;
    cell.number = body[6];
    putCell(row, column, std::move(cell));
}

void XlsWorkbook::storeFormula(const std::uint8_t *body) {
    const int row = le16(body);
    const int column = le16(body + 2);
    if (!wanted(row, column)) return;
    CellValue cell = formulaResult(body + 6, le16(body + 4));
    if (formulaTextFollows(body + 6)) m_pendingFormulaText = cellKey(row, column);
    putCell(row, column, std::move(cell));
}

// Walks, in place in the stream's window, the cell and row records of rows
// outside firstRow..lastRow, which make up most of a large sheet, and returns
// the position of the first record that needs a closer look.
std::uint64_t XlsWorkbook::skipCellsOutside(std::uint64_t position, int firstRow, int lastRow,
                                            int *blockFirstRow) {
    std::size_t available = 0;
    const std::uint8_t *p = m_records.span(position, &available);
    // Kept in registers: a store through this would be reloaded after every
    // byte read, since bytes may alias anything.
    int lowestRow = *blockFirstRow;
    bool cellSkipped = false;
    const std::uint8_t *const start = p;
    while (p && available >= 6) {
        const std::uint16_t type = le16(p);
        const std::size_t length = le16(p + 2);
        // A file read in place comes from memory the caches haven't seen yet.
        __builtin_prefetch(p + 2048);
        if (length + 4 > available) break;
        const int minimum = shortestCellOrRow(type);
        if (minimum == 0 || int(length) < minimum) break;
        const int row = le16(p + 4);
        if (row >= firstRow && row <= lastRow) break;
        lowestRow = std::min(lowestRow, row);
        cellSkipped |= type != record::Row;
        p += length + 4;
        available -= length + 4;
    }
    *blockFirstRow = lowestRow;
    if (cellSkipped) m_pendingFormulaText.reset();
    position += std::uint64_t(p - start);
    return position;
}

int XlsWorkbook::scanWindow() {
    const int error = scanSheet(window().sheet, window().first - 1, window().last - 1);
    return error == NoError && !intact() ? WORKBOOK_DAMAGED() : error;
}

// Rows are stored in blocks, each closed by a DBCELL record, in ascending
// order; once a whole block lies below the window, no later one can reach
// into it. Without DBCELL records the whole sheet is read.
int XlsWorkbook::scanSheet(int sheet, int firstRow, int lastRow) {
    m_cells.clear();
    m_scanFirst = firstRow;
    m_scanLast = lastRow;
    m_pendingFormulaText.reset();

    RecordHeader header;
    std::uint64_t position = m_sheets[std::size_t(sheet)].position;
    if (m_records.header(position, &header) != BiffStream::Read::Ok || header.type != record::Bof ||
        header.length < 4)
        return WORKBOOK_DAMAGED();
    const std::uint8_t *bof = m_records.body(header);
    if (!bof || le16(bof + 2) != WorksheetSubstream) return WORKBOOK_DAMAGED();

    int blockFirstRow = NoRow;
    int depth = 0; // embedded charts bring their own BOF..EOF
    for (;;) {
        if (depth == 1) position = skipCellsOutside(position, firstRow, lastRow, &blockFirstRow);
        const BiffStream::Read read = m_records.header(position, &header);
        if (read == BiffStream::Read::End) return NoError;
        if (read == BiffStream::Read::Damaged) return WORKBOOK_DAMAGED();
        position = header.next();
        if (header.type == record::Bof) {
            ++depth;
        } else if (header.type == record::Eof) {
            if (--depth == 0) return NoError;
        } else if (depth == 1) {
            const Step step = scanRecord(header, &blockFirstRow);
            if (step != Step::More)
                return step == Step::Done ? NoError : CannotOpen; // the site is told
        }
    }
}

Step XlsWorkbook::scanRecord(const RecordHeader &header, int *blockFirstRow) {
    switch (header.type) {
    case record::DbCell: {
        const bool pastWindow = *blockFirstRow != NoRow && *blockFirstRow > m_scanLast;
        *blockFirstRow = NoRow;
        return pastWindow ? Step::Done : Step::More;
    }
    case record::Row: {
        const std::uint8_t *body = m_records.body(header);
        if (!body) return damagedStep(WORKBOOK_DAMAGED());
        if (header.length >= 2) *blockFirstRow = std::min<int>(*blockFirstRow, le16(body));
        return Step::More;
    }
    case record::String:
        return storeFormulaString(header);
    case record::Continue:
    case SharedFormula:
    case ArrayFormula:
    case DataTable:
        return Step::More;
    default:
        return scanCell(header, blockFirstRow);
    }
}

Step XlsWorkbook::storeFormulaString(const RecordHeader &header) {
    if (!m_pendingFormulaText) return Step::More;
    QString text;
    if (!readString(header, 0, &text)) return damagedStep(WORKBOOK_DAMAGED());
    // Any cell record ends the wait, so the formula's cell is the last one put.
    if (cellvalues::CellValue *cell = m_cells.last(*m_pendingFormulaText))
        cell->text = std::move(text);
    m_pendingFormulaText.reset();
    return Step::More;
}

Step XlsWorkbook::scanCell(const RecordHeader &header, int *blockFirstRow) {
    const int minimum = cellMinimumLength(header.type);
    if (minimum == 0) return Step::More; // not a cell
    if (header.length < minimum) return damagedStep(WORKBOOK_DAMAGED());
    const std::uint8_t *body = m_records.body(header);
    if (!body) return damagedStep(WORKBOOK_DAMAGED());
    m_pendingFormulaText.reset();
    const int row = le16(body);
    *blockFirstRow = std::min(*blockFirstRow, row);
    // Most of a large sheet lies outside the rows asked for: pass it by.
    if (row < m_scanFirst || row > m_scanLast) return Step::More;
    return storeCell(header, body) ? Step::More : damagedStep(WORKBOOK_DAMAGED());
}

} // namespace

std::unique_ptr<Workbook> openXlsWorkbook(std::unique_ptr<ByteSource> source, int *error) {
    CompoundFile::OpenResult opened;
    std::unique_ptr<CompoundFile> file = CompoundFile::open(*source, &opened);
    if (!file) {
        *error =
            opened == CompoundFile::OpenResult::NotCompound ? NotAWorkbook : WORKBOOK_DAMAGED();
        return nullptr;
    }
    bool namedWorkbook = true;
    std::optional<DirectoryEntry> entry = file->rootStream(u"Workbook");
    if (!entry) {
        namedWorkbook = false;
        entry = file->rootStream(u"Book");
    }
    if (!entry) {
        // An Office document protected by a password keeps its real content in
        // an encrypted package inside a compound file.
        *error = file->rootStream(u"EncryptedPackage") ? WORKBOOK_DAMAGED() : NotAWorkbook;
        return nullptr;
    }
    std::unique_ptr<Stream> stream = file->openStream(*entry);
    if (!stream) {
        *error = WORKBOOK_DAMAGED();
        return nullptr;
    }
    auto workbook =
        std::make_unique<XlsWorkbook>(std::move(source), std::move(file), std::move(stream));
    int failure = workbook->readGlobals(namedWorkbook);
    if (failure == NoError && !workbook->intact()) failure = WORKBOOK_DAMAGED();
    return readercore::openedWorkbook(std::move(workbook), failure, error);
}

} // namespace analysis::xls
