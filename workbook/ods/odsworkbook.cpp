#include "workbook/ods/odsworkbook.h"

#include "workbook/cellvalues/cellvalue.h"
#include "workbook/cellvalues/isodates.h"
#include "workbook/cellvalues/valuetext.h"
#include "workbook/damage.h"
#include "workbook/importerrors.h"
#include "workbook/numbertext.h"
#include "workbook/readercore/windowedworkbook.h"
#include "workbook/zip/xmlreader.h"
#include "workbook/zip/ziparchive.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

namespace analysis::ods {

namespace {

using readercore::StreamedColumns;
using readercore::XmlSheet;
using zip::XmlReader;

// Spaces, tabs and line breaks that elements may stand for in one scan. A
// few bytes of <text:s text:c="1000000000"/> must not become gigabytes.
constexpr qsizetype ExpandedCharacterBudget = 1 << 20;
// The cells one scan keeps at most.
constexpr std::size_t KeptCellBudget = std::size_t(1) << 20;

const QString OfficeNamespace = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString TableNamespace = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString TextNamespace = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString CalcExtensionNamespace =
    QStringLiteral("urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0");
const QString ContentPart = QStringLiteral("content.xml");

// A repeat count: at least 1, and never more than the sheet could hold.
qint64 repeatCount(QStringView text) {
    bool ok = false;
    const qint64 count = text.toLongLong(&ok);
    return ok && count > 1 ? std::min<qint64>(count, XmlSheet.rows) : 1;
}

using cellvalues::CellValue;

// Collects the character content of a paragraph with its white space
// collapsed: runs of spaces, tabs and line ends count as one space, and none
// at the paragraph's start or end. Spaces, tabs and breaks that elements
// stand for are kept as they are.
class ParagraphText {
public:
    explicit ParagraphText(QString *out, qsizetype *budget) : m_out(*out), m_budget(*budget) {}

    void characters(QStringView text) {
        for (const QChar c : text) {
            if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
                m_pendingSpace = m_started;
                continue;
            }
            flush();
            m_out.append(c);
        }
    }

    // False when the budget is spent.
    bool expanded(QChar c, qint64 count) {
        flush();
        if (count > m_budget) return false;
        m_budget -= count;
        m_out.append(QString(qsizetype(count), c));
        return true;
    }

private:
    void flush() {
        if (m_pendingSpace) m_out.append(u' ');
        m_pendingSpace = false;
        m_started = true;
    }

    QString &m_out;
    qsizetype &m_budget;
    bool m_started = false;
    bool m_pendingSpace = false;
};

class OdsWorkbook final : public readercore::WindowedWorkbook {
public:
    explicit OdsWorkbook(std::unique_ptr<zip::Archive> archive)
        : WindowedWorkbook(XmlSheet, StreamedColumns), m_archive(std::move(archive)) {}

    int checkContent();

private:
    // Every table lies in one part, one after the other: a sheet is found
    // without reading the tables after it.
    std::optional<QString> sheetName(int index) const override {
        while (index >= m_names.size() && readNextName()) {
        }
        if (index >= m_names.size()) return std::nullopt;
        return m_names[index];
    }
    int scanWindow() override;

    bool readNextName() const;
    std::unique_ptr<XmlReader> openContent(int *error) const;
    int readRow(XmlReader &xml, qint64 first, qint64 last);
    int readCellValue(XmlReader &xml, CellValue *cell);
    int readParagraphs(XmlReader &xml, QString *text);
    bool readParagraph(XmlReader &xml, QString *text);
    bool keepsAny(qint64 first, qint64 last) const;

    std::unique_ptr<zip::Archive> m_archive;

    // The table names found so far, from a scan that stops after each one.
    mutable QStringList m_names;
    mutable std::unique_ptr<XmlReader> m_nameScan;
    mutable bool m_namesComplete = false;

    qsizetype m_budget = 0; // of characters that elements stand for, in a scan
};

// Moves to the start of the spreadsheet's next table: the document's body
// holds the spreadsheet, whose children are the tables and settings that
// apply to all of them. False at the end or on a failure.
bool nextTable(XmlReader &xml) {
    while (xml.next()) {
        if (!xml.isStart()) continue;
        if (xml.depth() == 1 || (xml.depth() == 2 && xml.isStart(OfficeNamespace, u"body")) ||
            (xml.depth() == 3 && xml.isStart(OfficeNamespace, u"spreadsheet")))
            continue;
        if (xml.depth() == 4 && xml.isStart(TableNamespace, u"table")) return true;
        if (!xml.skipElement()) return false;
    }
    return false;
}

// Without its content part an archive holds no spreadsheet.
std::unique_ptr<XmlReader> OdsWorkbook::openContent(int *error) const {
    zip::XmlPart part = zip::openXml(*m_archive, ContentPart);
    *error = part.reader ? NoError : part.failure(NotAWorkbook);
    return std::move(part.reader);
}

// The document's body must hold a spreadsheet: a text document or a
// presentation is a file of another kind.
int OdsWorkbook::checkContent() {
    if (const std::optional<std::uint64_t> index = m_archive->find(QStringLiteral("mimetype"))) {
        int error = NoError;
        std::unique_ptr<zip::EntryStream> entry = m_archive->openEntry(*index, &error);
        if (!entry) return error;
        char type[128];
        const std::int64_t length = entry->read(type, sizeof type);
        if (length < 0) return WORKBOOK_DAMAGED();
        const QByteArray mimeType = QByteArray(type, qsizetype(length)).trimmed();
        if (!mimeType.startsWith("application/vnd.oasis.opendocument.spreadsheet"))
            return NotAWorkbook;
    }
    int error = NoError;
    std::unique_ptr<XmlReader> xml = openContent(&error);
    if (!xml) return error;
    while (xml->next()) {
        if (!xml->isStart() || xml->depth() == 1) continue;
        if (xml->depth() == 2 && xml->isStart(OfficeNamespace, u"body")) continue;
        if (xml->depth() == 3)
            return xml->isStart(OfficeNamespace, u"spreadsheet") ? NoError : NotAWorkbook;
        if (!xml->skipElement()) return WORKBOOK_DAMAGED();
    }
    return xml->failed() ? WORKBOOK_DAMAGED() : NotAWorkbook;
}

bool OdsWorkbook::readNextName() const {
    if (m_namesComplete) return false;
    // The scan rests on the start of the last table named: its rows are only
    // read past when a later name is asked for.
    const auto finish = [this] {
        m_namesComplete = true;
        m_nameScan.reset();
        return false;
    };
    if (!m_nameScan) {
        int error = NoError;
        m_nameScan = openContent(&error);
        if (!m_nameScan) return finish();
    } else if (!m_nameScan->skipElement()) {
        return finish(); // a damaged part ends the list where the damage starts
    }
    if (!nextTable(*m_nameScan)) return finish();
    m_names.append(m_nameScan->attribute(TableNamespace, "name").toString());
    return true;
}

bool OdsWorkbook::keepsAny(qint64 first, qint64 last) const {
    if (first <= window().keptColumns()) return true;
    for (const int column : window().columns)
        if (column >= first && column <= last) return true;
    return false;
}

bool OdsWorkbook::readParagraph(XmlReader &xml, QString *text) {
    ParagraphText paragraph(text, &m_budget);
    const int depth = xml.depth();
    while (xml.nextWithin(depth)) {
        if (xml.token() == XmlReader::Token::Characters) {
            paragraph.characters(xml.text());
            continue;
        }
        if (!xml.isStart()) continue;
        if (xml.isStart(TextNamespace, u"s")) {
            const QStringView count = xml.attribute(TextNamespace, "c");
            bool ok = true;
            const qint64 spaces = count.isEmpty() ? 1 : count.toLongLong(&ok);
            if (!paragraph.expanded(u' ', ok ? std::max<qint64>(spaces, 1) : 1)) return false;
        } else if (xml.isStart(TextNamespace, u"tab")) {
            if (!paragraph.expanded(u'\t', 1)) return false;
        } else if (xml.isStart(TextNamespace, u"line-break")) {
            if (!paragraph.expanded(u'\n', 1)) return false;
        } else if (xml.namespaceUri() == TextNamespace && xml.name() != u"note" &&
                   xml.name() != u"ruby-text") {
            continue; // spans, links and fields: their text is the paragraph's
        } else if (!xml.skipElement()) {
            return false; // notes, annotations and drawings hold no cell text
        }
    }
    return !xml.failed();
}

// Reads a table cell's value; the reader is on its start element and ends on
// its end element.
int OdsWorkbook::readCellValue(XmlReader &xml, CellValue *cell) {
    const QString type = xml.attribute(OfficeNamespace, "value-type").toString();
    const bool error = xml.attribute(CalcExtensionNamespace, "value-type") == u"error";
    // LibreOffice records a formula's logical result as a number, which it
    // shows as TRUE or FALSE; its other formats record a boolean.
    std::optional<bool> logical;
    bool paragraphs = false;
    if (error) {
        paragraphs = true; // an error keeps its display text, such as #DIV/0!
    } else if (type == u"float" || type == u"percentage" || type == u"currency") {
        const std::optional<double> value = readNumberText(xml.attribute(OfficeNamespace, "value"));
        if (!value)
            cell->kind = CellValue::Damaged;
        else
            cell->text = doubleText(*value);
        if (value && (*value == 0 || *value == 1) && xml.hasAttribute(TableNamespace, "formula")) {
            logical = *value == 1;
            paragraphs = true;
        }
    } else if (type == u"date") {
        const std::optional<QString> date =
            cellvalues::isoDateText(xml.attribute(OfficeNamespace, "date-value"));
        if (date)
            cell->text = *date;
        else
            cell->kind = CellValue::Damaged;
    } else if (type == u"time") {
        const std::optional<double> time =
            cellvalues::isoDurationSerial(xml.attribute(OfficeNamespace, "time-value"));
        if (time)
            cell->text = cellvalues::dateText(*time, false);
        else
            cell->kind = CellValue::Damaged;
    } else if (type == u"boolean") {
        const QStringView value = xml.attribute(OfficeNamespace, "boolean-value").trimmed();
        cell->text = cellvalues::booleanText(value.compare(u"true", Qt::CaseInsensitive) == 0 ||
                                             value == u"1");
    } else if (type == u"string" && xml.hasAttribute(OfficeNamespace, "string-value")) {
        cell->text = xml.attribute(OfficeNamespace, "string-value").toString();
    } else {
        paragraphs = true;
    }
    if (!paragraphs) return xml.skipElement() ? NoError : WORKBOOK_DAMAGED();
    QString shown;
    if (const int failure = readParagraphs(xml, &shown)) return failure;
    if (!logical)
        cell->text = std::move(shown);
    else if (shown.trimmed().compare(cellvalues::booleanText(*logical), Qt::CaseInsensitive) == 0)
        cell->text = cellvalues::booleanText(*logical);
    return NoError;
}

// The text of a cell's paragraphs, a line feed between two. The reader is
// on the cell's start element and ends on its end element.
int OdsWorkbook::readParagraphs(XmlReader &xml, QString *text) {
    bool first = true;
    const int depth = xml.depth();
    while (xml.nextStartWithin(depth)) {
        if (xml.isStart(TextNamespace, u"p") || xml.isStart(TextNamespace, u"h")) {
            if (!first) text->append(u'\n');
            first = false;
            if (!readParagraph(xml, text)) return WORKBOOK_DAMAGED();
        } else if (!xml.skipElement()) {
            return WORKBOOK_DAMAGED();
        }
    }
    return xml.failed() ? WORKBOOK_DAMAGED() : NoError;
}

// Reads a row standing for sheet rows first to last (a repeated row), and
// keeps its cells for the rows and columns of the window.
int OdsWorkbook::readRow(XmlReader &xml, qint64 first, qint64 last) {
    const qint64 from = std::max<qint64>(first, window().first);
    const qint64 to = std::min<qint64>(last, window().last);
    qint64 column = 1;
    const int depth = xml.depth();
    while (xml.nextStartWithin(depth)) {
        const bool covered = xml.isStart(TableNamespace, u"covered-table-cell");
        if (!covered && !xml.isStart(TableNamespace, u"table-cell")) {
            if (!xml.skipElement()) return WORKBOOK_DAMAGED();
            continue;
        }
        // Cells merged into another are cells all the same, without a value.
        const qint64 repeat = repeatCount(xml.attribute(TableNamespace, "number-columns-repeated"));
        const qint64 firstColumn = column;
        const qint64 lastColumn = column + repeat - 1;
        column = std::min<qint64>(lastColumn + 1, XmlSheet.columns + 1);
        if (covered || !keepsAny(firstColumn, lastColumn)) {
            if (!xml.skipElement()) return WORKBOOK_DAMAGED();
            continue;
        }
        CellValue cell;
        if (const int failure = readCellValue(xml, &cell)) return failure;
        if (cell.kind == CellValue::Text && cell.text.isEmpty()) continue;
        // A repeated row stands for as many rows of cells: a whole-sheet read
        // keeps them up to a budget, past which the file is taken as hostile.
        const auto keep = [&](qint64 keptColumn) {
            for (qint64 row = from; row <= to && m_cells.size() < KeptCellBudget; ++row)
                m_cells.put(XmlSheet.cellKey(int(row), int(keptColumn)), cell);
        };
        const int keptColumns = window().keptColumns();
        for (qint64 kept = firstColumn; kept <= std::min<qint64>(lastColumn, keptColumns); ++kept)
            keep(kept);
        for (const int wanted : window().columns)
            if (wanted > keptColumns && wanted >= firstColumn && wanted <= lastColumn) keep(wanted);
        if (m_cells.size() >= KeptCellBudget) return WORKBOOK_DAMAGED();
    }
    return xml.failed() ? WORKBOOK_DAMAGED() : NoError;
}

int OdsWorkbook::scanWindow() {
    m_cells.clear();
    m_budget = ExpandedCharacterBudget;
    int error = NoError;
    std::unique_ptr<XmlReader> xml = openContent(&error);
    if (!xml) return WORKBOOK_DAMAGED();
    for (int table = 0; table <= window().sheet; ++table) {
        if (!nextTable(*xml)) return WORKBOOK_DAMAGED();
        if (table < window().sheet && !xml->skipElement()) return WORKBOOK_DAMAGED();
    }

    // Rows may stand in groups, as header rows or as a block of rows; a
    // repeated row stands for as many sheet rows, counted, never expanded.
    qint64 row = 1;
    const int depth = xml->depth();
    while (xml->nextStartWithin(depth)) {
        if (xml->isStart(TableNamespace, u"table-row-group") ||
            xml->isStart(TableNamespace, u"table-header-rows") ||
            xml->isStart(TableNamespace, u"table-rows"))
            continue;
        if (!xml->isStart(TableNamespace, u"table-row")) {
            if (!xml->skipElement()) return WORKBOOK_DAMAGED();
            continue;
        }
        const qint64 repeat = repeatCount(xml->attribute(TableNamespace, "number-rows-repeated"));
        const qint64 first = row;
        const qint64 last = row + repeat - 1;
        if (first > window().last) return NoError;
        row = last + 1;
        if (last < window().first) {
            if (!xml->skipElement()) return WORKBOOK_DAMAGED();
            continue;
        }
        if (const int failure = readRow(*xml, first, last)) return failure;
    }
    return xml->failed() ? WORKBOOK_DAMAGED() : NoError;
}

} // namespace

std::unique_ptr<Workbook> openOdsWorkbook(std::unique_ptr<zip::Archive> archive, int *error) {
    auto workbook = std::make_unique<OdsWorkbook>(std::move(archive));
    const int failure = workbook->checkContent();
    return readercore::openedWorkbook(std::move(workbook), failure, error);
}

} // namespace analysis::ods
