#include "analysis/xls/xlsworkbook.h"

#include "analysis/bytesource.h"
#include "analysis/cellvalues/dateformat.h"
#include "analysis/cellvalues/valuetext.h"
#include "analysis/importerrors.h"
#include "analysis/littleendian.h"
#include "analysis/numbertext.h"
#include "analysis/readercore/windowedworkbook.h"
#include "analysis/xls/biffstream.h"
#include "analysis/xls/compoundfile.h"

#include <QStringDecoder>

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
int cellRecordMinimumLength(std::uint16_t type) {
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

struct Cell {
    enum Kind : std::uint8_t { Number, Text, SharedText, Boolean, Error, EmptyText };
    Kind kind = EmptyText;
    std::uint16_t xf = 0;
    double number = 0;       // Number; Boolean and Error keep their byte here
    std::uint32_t index = 0; // SharedText
    QString text;            // Text
};

// Cells are kept by their 0-based row and column, as the records give them.
std::uint64_t cellKey(int row, int column) {
    return LegacySheet.cellKey(row + 1, column + 1);
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
    std::optional<QString> sheetName(int index) const override {
        if (std::size_t(index) >= m_sheets.size()) return std::nullopt;
        return m_sheets[std::size_t(index)].name;
    }
    int scanWindow() override;
    int keptCellText(int row, int column, QString *text) override;

    struct SheetInfo {
        QString name;
        QByteArray codePageName; // BIFF5 names are decoded once the code page is known
        std::uint64_t position = 0;
    };

    QStringDecoder &decoder();
    QStringDecoder &nameDecoder();
    int scanSheet(int sheet, int firstRow, int lastRow);
    std::uint64_t skipCellsOutside(std::uint64_t position, int firstRow, int lastRow,
                                   int *blockFirstRow);
    int storeCell(const RecordHeader &header, const std::uint8_t *body);
    bool readLabel(const RecordHeader &header, QString *text);
    bool readFormulaString(const RecordHeader &header, QString *text);
    bool sharedString(std::uint32_t index, QString *text);
    bool isDateXf(std::uint16_t xf) const;
    void putCell(int row, int column, Cell cell);
    void putNumber(int row, int column, std::uint16_t xf, double value);
    bool wanted(int row, int column) const {
        return row >= m_scanFirst && row <= m_scanLast && column < LegacySheet.columns;
    }

    std::unique_ptr<ByteSource> m_source;
    std::unique_ptr<CompoundFile> m_file;
    std::unique_ptr<Stream> m_stream;
    BiffStream m_records;
    BiffStream m_sstRecords;

    bool m_biff8 = true;
    bool m_dateSystem1904 = false;
    std::uint16_t m_codePage = 1252;
    std::optional<QStringDecoder> m_decoder;
    std::optional<QStringDecoder> m_latin1Decoder;
    std::vector<std::uint16_t> m_xfFormats;
    std::unordered_map<std::uint16_t, bool> m_formatIsDate;
    std::vector<SheetInfo> m_sheets;

    std::optional<RecordHeader> m_sstHeader;
    std::optional<ContinuedReader> m_sstReader;
    std::vector<QString> m_strings;
    bool m_sstExhausted = false;

    // The rows of the window, 0-based, and their cells.
    int m_scanFirst = 0;
    int m_scanLast = -1;
    std::unordered_map<std::uint64_t, Cell> m_cells;
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
    // A workbook stream that can't be read is a damaged workbook; one that
    // doesn't start with a BOF record is something else.
    if (m_records.header(0, &header) != BiffStream::Read::Ok) return CannotOpen;
    if (header.type != record::Bof || header.length < 4) return NotAWorkbook;
    const std::uint8_t *bof = m_records.body(header);
    if (!bof) return CannotOpen;
    const std::uint16_t version = le16(bof);
    if (le16(bof + 2) != GlobalsSubstream) return CannotOpen;
    m_biff8 = version == BiffVersion8 || (version != BiffVersion5 && namedWorkbook);

    std::uint64_t position = header.next();
    for (;;) {
        const BiffStream::Read read = m_records.header(position, &header);
        if (read == BiffStream::Read::End) break;
        if (read == BiffStream::Read::Damaged) return CannotOpen;
        position = header.next();
        if (header.type == record::Eof) break;
        const std::uint8_t *body = m_records.body(header);
        if (!body) return CannotOpen;
        const std::uint16_t length = header.length;
        switch (header.type) {
        case record::FilePass:
            return CannotOpen; // encrypted: the cells can't be read without the password
        case record::CodePage:
            if (length >= 2) {
                m_codePage = le16(body);
                m_decoder.reset();
            }
            break;
        case record::DateMode:
            if (length >= 2) m_dateSystem1904 = le16(body) == 1;
            break;
        case record::Xf:
            if (length >= 4) m_xfFormats.push_back(le16(body + 2));
            break;
        case record::Format: {
            if (length < 3) break;
            QString format;
            ContinuedReader reader(m_records, header, 2);
            bool ok;
            if (m_biff8) {
                ok = readUnicodeString(reader, false, &format);
            } else {
                std::uint8_t count;
                ok = reader.readU8(&count) &&
                     reader.readCodePageCharacters(count, nameDecoder(), &format);
            }
            if (ok) m_formatIsDate[le16(body)] = cellvalues::isDateFormat(format);
            break;
        }
        case record::BoundSheet: {
            if (length < 8 || body[5] != WorksheetType) break;
            SheetInfo sheet;
            sheet.position = le32(body);
            if (m_biff8) {
                ContinuedReader reader(m_records, header, 6);
                if (!readUnicodeString(reader, true, &sheet.name)) return CannotOpen;
            } else {
                const std::uint8_t count = body[6];
                if (7 + count > length) return CannotOpen;
                sheet.codePageName = QByteArray(reinterpret_cast<const char *>(body + 7), count);
            }
            m_sheets.push_back(std::move(sheet));
            break;
        }
        case record::Sst:
            if (length >= 8) m_sstHeader = header;
            break;
        default:
            break;
        }
    }
    if (!m_biff8)
        for (SheetInfo &sheet : m_sheets)
            sheet.name = nameDecoder().decode(sheet.codePageName);
    return NoError;
}

bool XlsWorkbook::isDateXf(std::uint16_t xf) const {
    if (xf >= m_xfFormats.size()) return false;
    const std::uint16_t format = m_xfFormats[xf];
    const auto custom = m_formatIsDate.find(format);
    return custom != m_formatIsDate.end() ? custom->second
                                          : cellvalues::isBuiltInDateFormat(format);
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

void XlsWorkbook::putCell(int row, int column, Cell cell) {
    m_cells.insert_or_assign(cellKey(row, column), std::move(cell));
}

void XlsWorkbook::putNumber(int row, int column, std::uint16_t xf, double value) {
    Cell cell;
    cell.kind = Cell::Number;
    cell.xf = xf;
    cell.number = value;
    putCell(row, column, std::move(cell));
}

bool XlsWorkbook::readLabel(const RecordHeader &header, QString *text) {
    ContinuedReader reader(m_records, header, 6);
    if (m_biff8) return readUnicodeString(reader, false, text);
    std::uint16_t count;
    return reader.readU16(&count) && reader.readCodePageCharacters(count, decoder(), text);
}

bool XlsWorkbook::readFormulaString(const RecordHeader &header, QString *text) {
    ContinuedReader reader(m_records, header, 0);
    if (m_biff8) return readUnicodeString(reader, false, text);
    std::uint16_t count;
    return reader.readU16(&count) && reader.readCodePageCharacters(count, decoder(), text);
}

// Stores the value of a cell record when its cell lies in the window. The
// scan has checked the record's length against its kind. Returns CannotOpen
// when a text in the record can't be read.
int XlsWorkbook::storeCell(const RecordHeader &header, const std::uint8_t *body) {
    const std::uint16_t length = header.length;
    const int row = le16(body);
    const int column = le16(body + 2);
    const std::uint16_t xf = le16(body + 4);
    switch (header.type) {
    case record::Number:
        if (wanted(row, column)) putNumber(row, column, xf, leDouble(body + 6));
        break;
    case record::Rk:
        if (wanted(row, column)) putNumber(row, column, xf, rkValue(le32(body + 6)));
        break;
    case record::MulRk: {
        const int count = (length - 6) / 6;
        for (int i = 0; i < count; ++i) {
            const std::uint8_t *item = body + 4 + 6 * i;
            if (wanted(row, column + i))
                putNumber(row, column + i, le16(item), rkValue(le32(item + 2)));
        }
        break;
    }
    case record::Blank:
        if (wanted(row, column)) m_cells.erase(cellKey(row, column));
        break;
    case record::MulBlank:
        for (int i = 0; i < (length - 6) / 2; ++i)
            if (wanted(row, column + i)) m_cells.erase(cellKey(row, column + i));
        break;
    case record::LabelSst:
        if (wanted(row, column)) {
            Cell cell;
            cell.kind = Cell::SharedText;
            cell.xf = xf;
            cell.index = le32(body + 6);
            putCell(row, column, std::move(cell));
        }
        break;
    case record::Label:
    case record::RString:
        if (wanted(row, column)) {
            Cell cell;
            cell.kind = Cell::Text;
            cell.xf = xf;
            if (!readLabel(header, &cell.text)) return CannotOpen;
            putCell(row, column, std::move(cell));
        }
        break;
    case record::BoolErr:
        if (wanted(row, column)) {
            Cell cell;
            cell.kind = body[7] ? Cell::Error : Cell::Boolean;
            cell.xf = xf;
            cell.number = body[6];
            putCell(row, column, std::move(cell));
        }
        break;
    case record::Formula:
    case record::Formula3:
    case record::Formula4: {
        if (!wanted(row, column)) break;
        const std::uint8_t *result = body + 6;
        Cell cell;
        cell.xf = xf;
        if (le16(result + 6) != 0xFFFF) {
            cell.kind = Cell::Number;
            cell.number = leDouble(result);
        } else {
            switch (result[0]) {
            case 0: // text, in the STRING record that follows
                cell.kind = Cell::Text;
                m_pendingFormulaText = cellKey(row, column);
                break;
            case 1:
                cell.kind = Cell::Boolean;
                cell.number = result[2];
                break;
            case 2:
                cell.kind = Cell::Error;
                cell.number = result[2];
                break;
            default: // an empty text
                cell.kind = Cell::EmptyText;
                break;
            }
        }
        putCell(row, column, std::move(cell));
        break;
    }
    default:
        break;
    }
    return NoError;
}

// Walks, in place in the stream's window, the cell and row records of rows
// outside firstRow..lastRow, which make up most of a large sheet, and returns
// the position of the first record that needs a closer look.
std::uint64_t XlsWorkbook::skipCellsOutside(std::uint64_t position, int firstRow, int lastRow,
                                            int *blockFirstRow) {
    std::size_t available = 0;
    const std::uint8_t *p = m_records.span(position, &available);
    while (p && available >= 6) {
        const std::uint16_t type = le16(p);
        const std::size_t length = le16(p + 2);
        // A file read in place comes from memory the caches haven't seen yet.
        __builtin_prefetch(p + 2048);
        if (length + 4 > available) break;
        const int minimum = type == record::Row ? 2 : cellRecordMinimumLength(type);
        if (minimum == 0 || int(length) < minimum) break;
        const int row = le16(p + 4);
        if (row >= firstRow && row <= lastRow) break;
        *blockFirstRow = std::min(*blockFirstRow, row);
        if (type != record::Row) m_pendingFormulaText.reset();
        p += length + 4;
        available -= length + 4;
        position += length + 4;
    }
    return position;
}

int XlsWorkbook::scanWindow() {
    const int error = scanSheet(window().sheet, window().first - 1, window().last - 1);
    return error == NoError && !intact() ? CannotOpen : error;
}

int XlsWorkbook::scanSheet(int sheet, int firstRow, int lastRow) {
    m_cells.clear();
    m_scanFirst = firstRow;
    m_scanLast = lastRow;
    m_pendingFormulaText.reset();

    RecordHeader header;
    std::uint64_t position = m_sheets[std::size_t(sheet)].position;
    if (m_records.header(position, &header) != BiffStream::Read::Ok || header.type != record::Bof ||
        header.length < 4)
        return CannotOpen;
    const std::uint8_t *bof = m_records.body(header);
    if (!bof || le16(bof + 2) != WorksheetSubstream) return CannotOpen;

    // Rows are stored in blocks, each closed by a DBCELL record, in ascending
    // order; once a whole block lies below the window, no later one can reach
    // into it. Without DBCELL records the whole sheet is read.
    constexpr int NoRow = std::numeric_limits<int>::max();
    int blockFirstRow = NoRow;
    int depth = 0; // embedded charts bring their own BOF..EOF
    for (;;) {
        if (depth == 1) position = skipCellsOutside(position, firstRow, lastRow, &blockFirstRow);
        const BiffStream::Read read = m_records.header(position, &header);
        if (read == BiffStream::Read::End) return NoError;
        if (read == BiffStream::Read::Damaged) return CannotOpen;
        position = header.next();
        if (header.type == record::Bof) {
            ++depth;
            continue;
        }
        if (header.type == record::Eof) {
            if (--depth == 0) return NoError;
            continue;
        }
        if (depth != 1) continue;

        switch (header.type) {
        case record::DbCell:
            if (blockFirstRow != NoRow && blockFirstRow > lastRow) return NoError;
            blockFirstRow = NoRow;
            continue;
        case record::Row: {
            const std::uint8_t *body = m_records.body(header);
            if (!body) return CannotOpen;
            if (header.length >= 2) blockFirstRow = std::min<int>(blockFirstRow, le16(body));
            continue;
        }
        case record::String:
            if (m_pendingFormulaText) {
                QString text;
                if (!readFormulaString(header, &text)) return CannotOpen;
                m_cells[*m_pendingFormulaText].text = std::move(text);
                m_pendingFormulaText.reset();
            }
            continue;
        case record::Continue:
        case SharedFormula:
        case ArrayFormula:
        case DataTable:
            continue;
        default:
            break;
        }

        const int minimum = cellRecordMinimumLength(header.type);
        if (minimum == 0) continue; // not a cell
        if (header.length < minimum) return CannotOpen;
        const std::uint8_t *body = m_records.body(header);
        if (!body) return CannotOpen;
        m_pendingFormulaText.reset();
        const int row = le16(body);
        blockFirstRow = std::min(blockFirstRow, row);
        // Most of a large sheet lies outside the rows asked for: pass it by.
        if (row < firstRow || row > lastRow) continue;
        if (const int error = storeCell(header, body)) return error;
    }
}

int XlsWorkbook::keptCellText(int row, int column, QString *text) {
    const auto found = m_cells.find(cellKey(row - 1, column - 1));
    if (found == m_cells.end()) return NoError;
    const Cell &cell = found->second;
    switch (cell.kind) {
    case Cell::Number:
        *text = isDateXf(cell.xf) ? cellvalues::dateText(cell.number, m_dateSystem1904)
                                  : doubleText(cell.number);
        break;
    case Cell::Text:
        *text = cell.text;
        break;
    case Cell::SharedText:
        // Strings decoded while the file was being cut short are cached too.
        if (!sharedString(cell.index, text) || !intact()) {
            text->clear();
            return CannotOpen;
        }
        break;
    case Cell::Boolean:
        *text = cellvalues::booleanText(cell.number != 0);
        break;
    case Cell::Error:
        *text = cellvalues::errorText(std::uint8_t(cell.number));
        break;
    case Cell::EmptyText:
        break;
    }
    return NoError;
}

} // namespace

std::unique_ptr<Workbook> openXlsWorkbook(std::unique_ptr<ByteSource> source, int *error) {
    CompoundFile::OpenResult opened;
    std::unique_ptr<CompoundFile> file = CompoundFile::open(*source, &opened);
    if (!file) {
        *error = opened == CompoundFile::OpenResult::NotCompound ? NotAWorkbook : CannotOpen;
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
        *error = file->rootStream(u"EncryptedPackage") ? CannotOpen : NotAWorkbook;
        return nullptr;
    }
    std::unique_ptr<Stream> stream = file->openStream(*entry);
    if (!stream) {
        *error = CannotOpen;
        return nullptr;
    }
    auto workbook =
        std::make_unique<XlsWorkbook>(std::move(source), std::move(file), std::move(stream));
    const int failure = workbook->readGlobals(namedWorkbook);
    if (failure != NoError || !workbook->intact()) {
        *error = failure != NoError ? failure : CannotOpen;
        return nullptr;
    }
    *error = NoError;
    return workbook;
}

} // namespace analysis::xls
