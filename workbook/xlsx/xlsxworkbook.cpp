#include "workbook/xlsx/xlsxworkbook.h"

#include "workbook/cellvalues/cellvalue.h"
#include "workbook/cellvalues/datestyles.h"
#include "workbook/cellvalues/isodates.h"
#include "workbook/damage.h"
#include "workbook/importerrors.h"
#include "workbook/numbertext.h"
#include "workbook/readercore/windowedworkbook.h"
#include "workbook/zip/xmlreader.h"
#include "workbook/zip/ziparchive.h"

#include <QUrl>

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <vector>

namespace analysis::xlsx {

namespace {

using readercore::XmlSheet;
using zip::XmlReader;

const QString MainNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
const QString StrictMainNamespace = QStringLiteral("http://purl.oclc.org/ooxml/spreadsheetml/main");
const QString RelationshipsNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString StrictRelationshipsNamespace =
    QStringLiteral("http://purl.oclc.org/ooxml/officeDocument/relationships");
const QString PackageRelationshipsNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");

bool isMain(const XmlReader &xml, QStringView name) {
    return xml.isStart() && xml.name() == name &&
           (xml.namespaceUri() == MainNamespace || xml.namespaceUri() == StrictMainNamespace);
}

QStringView relationshipId(const XmlReader &xml) {
    const QStringView id = xml.attribute(RelationshipsNamespace, "id");
    return id.isEmpty() ? xml.attribute(StrictRelationshipsNamespace, "id") : id;
}

// The kind of a relationship: the last segment of its type, which is the
// same in the transitional and the strict vocabulary.
QStringView relationshipKind(QStringView type) {
    const qsizetype slash = type.lastIndexOf(u'/');
    return slash < 0 ? type : type.sliced(slash + 1);
}

// Resolves a relationship target against the folder of the part that holds
// it; an absolute target starts at the package root. Member names in the
// zip have no leading slash.
QString resolvePart(const QString &sourcePart, QStringView target) {
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    QStringList segments;
    if (!decoded.startsWith(u'/')) {
        segments = sourcePart.split(u'/');
        segments.removeLast();
    }
    for (const QString &segment : decoded.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u".") continue;
        if (segment == u"..") {
            if (!segments.isEmpty()) segments.removeLast();
            continue;
        }
        segments.append(segment);
    }
    return segments.join(u'/');
}

// The relationship part of a part: "xl/workbook.xml" has "xl/_rels/workbook.xml.rels".
QString relationshipPart(const QString &part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.sliced(slash + 1) +
           QStringLiteral(".rels");
}

struct Relationship {
    QString id;
    QString kind;
    QString target; // resolved part name
};

// Reads a relationship part whole; they are small. A missing part has no
// relationships.
int readRelationships(zip::Archive &archive, const QString &sourcePart,
                      std::vector<Relationship> *out) {
    zip::XmlPart part = zip::openXml(archive, relationshipPart(sourcePart));
    if (!part.reader) return part.failure(NoError);
    XmlReader *xml = part.reader.get();
    while (xml->next()) {
        if (!xml->isStart(PackageRelationshipsNamespace, u"Relationship")) continue;
        if (xml->attribute("TargetMode").compare(u"External", Qt::CaseInsensitive) == 0) continue;
        out->push_back({xml->attribute("Id").toString(),
                        relationshipKind(xml->attribute("Type")).toString(),
                        resolvePart(sourcePart, xml->attribute("Target"))});
    }
    return xml->failed() ? WORKBOOK_DAMAGED() : NoError;
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

// "_x000D_" at the start of text: the UTF-16 code it escapes.
std::optional<char16_t> escapedCode(QStringView text) {
    if (text.size() < 7 || text[6] != u'_') return std::nullopt;
    char16_t code = 0;
    for (qsizetype i = 2; i < 6; ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0) return std::nullopt;
        code = char16_t(code * 16 + digit);
    }
    return code;
}

// Text in these parts escapes characters XML can't hold as _xHHHH_; an
// escaped underscore keeps a literal "_x0041_" from being read as "A".
QString unescapeText(QString text) {
    qsizetype at = text.indexOf(u"_x");
    if (at < 0) return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (; at >= 0; at = text.indexOf(u"_x", from)) {
        out.append(QStringView(text).sliced(from, at - from));
        const std::optional<char16_t> code = escapedCode(QStringView(text).sliced(at));
        if (code) {
            out.append(QChar(*code));
            from = at + 7;
        } else {
            out.append(u"_x");
            from = at + 2;
        }
    }
    out.append(QStringView(text).sliced(from));
    return out;
}

// The text of a shared string item or an inline string: its plain text or
// the runs of rich text in order; phonetic guides are left out.
bool readStringItem(XmlReader &xml, QString *text) {
    const int depth = xml.depth();
    QString raw;
    while (xml.nextStartWithin(depth)) {
        if (isMain(xml, u"t")) {
            if (!xml.appendText(&raw)) return false;
        } else if (!isMain(xml, u"r") && !xml.skipElement()) {
            return false;
        }
    }
    if (xml.failed()) return false;
    *text = unescapeText(std::move(raw));
    return true;
}

// A cell reference such as "B12": the column, or nothing when it names none.
std::optional<int> referenceColumn(QStringView reference) {
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && i < 4; ++i) {
        const char16_t c = reference[i].toUpper().unicode();
        if (c < u'A' || c > u'Z') break;
        column = column * 26 + (c - u'A' + 1);
    }
    if (i == 0 || (i < reference.size() && !reference[i].isDigit())) return std::nullopt;
    return column;
}

// The strings of the shared string part, read in order as far as the
// highest index a scan needs; only the strings needed are kept.
class SharedStrings {
public:
    SharedStrings(zip::Archive &archive, QString part)
        : m_archive(archive), m_part(std::move(part)) {}

    // Looks up the sorted, distinct indexes; an index the part doesn't hold
    // stays out of *found. Returns a failure when the part is damaged.
    int resolve(const std::vector<std::uint32_t> &indexes,
                std::unordered_map<std::uint32_t, QString> *found);

private:
    int restart();

    zip::Archive &m_archive;
    QString m_part;
    std::unique_ptr<XmlReader> m_xml;
    std::uint32_t m_next = 0; // the index of the next item in m_xml
    bool m_ended = false;
};

int SharedStrings::restart() {
    m_next = 0;
    m_ended = false;
    zip::XmlPart part = zip::openXml(m_archive, m_part);
    m_xml = std::move(part.reader);
    if (!m_xml) {
        m_ended = true;
        return part.failure(NoError);
    }
    return NoError;
}

int SharedStrings::resolve(const std::vector<std::uint32_t> &indexes,
                           std::unordered_map<std::uint32_t, QString> *found) {
    if (indexes.empty() || m_part.isEmpty()) return NoError;
    if (!m_xml || indexes.front() < m_next)
        if (const int error = restart()) return error;
    auto wanted = indexes.begin();
    while (!m_ended && wanted != indexes.end()) {
        if (!m_xml->next()) {
            m_ended = true;
            if (m_xml->failed()) return WORKBOOK_DAMAGED();
            break;
        }
        if (!isMain(*m_xml, u"si")) continue;
        const std::uint32_t index = m_next++;
        if (index == *wanted) {
            QString text;
            if (!readStringItem(*m_xml, &text)) return WORKBOOK_DAMAGED();
            found->emplace(index, std::move(text));
            ++wanted;
        } else if (!m_xml->skipElement()) {
            return WORKBOOK_DAMAGED();
        }
    }
    return NoError;
}

using cellvalues::CellValue;

class XlsxWorkbook final : public readercore::WindowedWorkbook {
public:
    explicit XlsxWorkbook(std::unique_ptr<zip::Archive> archive)
        : WindowedWorkbook(XmlSheet, readercore::StreamedColumns), m_archive(std::move(archive)) {}

    int readWorkbook();

private:
    int scanWindow() override;
    int isDateStyle(std::uint32_t style, bool *date) override;
    int sharedText(std::uint32_t index, QString *text) override;

    int readRow(XmlReader &xml, int row);
    bool readCell(XmlReader &xml, int row, int column);
    int readStyles();

    std::unique_ptr<zip::Archive> m_archive;
    std::vector<QString> m_sheetParts; // by sheet, as m_sheetNames
    QString m_stylesPart;
    std::optional<SharedStrings> m_sharedStrings;

    bool m_stylesRead = false;
    int m_stylesError = NoError;
    cellvalues::DateStyles m_dateStyles;

    // The shared strings found so far: a text that many sheets share, found
    // again, would send the walk through the shared strings back to their
    // start.
    static constexpr std::size_t KeptStrings = 1 << 16;
    std::unordered_map<std::uint32_t, QString> m_strings;
};

int XlsxWorkbook::readWorkbook() {
    std::vector<Relationship> packageRelationships;
    if (const int error = readRelationships(*m_archive, QString(), &packageRelationships))
        return error;
    QString workbookPart;
    for (const Relationship &relationship : packageRelationships)
        if (relationship.kind == u"officeDocument") {
            workbookPart = relationship.target;
            break;
        }
    if (workbookPart.isEmpty() || !m_archive->find(workbookPart)) return NotAWorkbook;

    std::vector<Relationship> relationships;
    if (const int error = readRelationships(*m_archive, workbookPart, &relationships)) return error;
    const auto findRelationship = [&](QStringView id) -> const Relationship * {
        for (const Relationship &relationship : relationships)
            if (relationship.id == id) return &relationship;
        return nullptr;
    };
    for (const Relationship &relationship : relationships) {
        if (relationship.kind == u"sharedStrings" && !m_sharedStrings)
            m_sharedStrings.emplace(*m_archive, relationship.target);
        else if (relationship.kind == u"styles" && m_stylesPart.isEmpty())
            m_stylesPart = relationship.target;
    }

    zip::XmlPart part = zip::openXml(*m_archive, workbookPart);
    if (!part.reader) return part.missing ? WORKBOOK_DAMAGED() : part.error;
    XmlReader *xml = part.reader.get();
    // The main part of a word-processing or presentation package is no
    // workbook: the file is of another kind.
    while (xml->next() && !xml->isStart()) {
    }
    if (xml->failed()) return WORKBOOK_DAMAGED();
    if (!isMain(*xml, u"workbook")) return NotAWorkbook;
    while (xml->next()) {
        if (xml->isEnd() && xml->depth() == 1 && xml->name() == u"sheets")
            break; // nothing after the sheet list matters here
        if (!xml->isStart()) continue;
        if (xml->depth() == 2 && isMain(*xml, u"workbookPr")) {
            const QStringView value = xml->attribute("date1904");
            m_dateSystem1904 = value == u"1" || value.compare(u"true", Qt::CaseInsensitive) == 0;
        } else if (xml->depth() == 3 && isMain(*xml, u"sheet")) {
            const Relationship *relationship = findRelationship(relationshipId(*xml));
            if (!relationship) return WORKBOOK_DAMAGED();
            // Chart sheets, dialog sheets and macro sheets hold no cells.
            if (relationship->kind == u"worksheet") {
                m_sheetNames.append(xml->attribute("name").toString());
                m_sheetParts.push_back(relationship->target);
            }
        } else if (!(xml->depth() == 2 && isMain(*xml, u"sheets")) && !xml->skipElement()) {
            return WORKBOOK_DAMAGED();
        }
    }
    return xml->failed() ? WORKBOOK_DAMAGED() : NoError;
}

int XlsxWorkbook::readStyles() {
    if (m_stylesPart.isEmpty()) return NoError;
    zip::XmlPart part = zip::openXml(*m_archive, m_stylesPart);
    if (!part.reader) return part.failure(NoError);
    XmlReader *xml = part.reader.get();
    while (xml->next()) {
        if (xml->isEnd() && xml->depth() == 1 && xml->name() == u"cellXfs")
            break; // the cell formats come after the number formats
        if (!xml->isStart() || xml->depth() == 1) continue;
        if (xml->depth() == 2 && !isMain(*xml, u"numFmts") && !isMain(*xml, u"cellXfs")) {
            if (!xml->skipElement()) return WORKBOOK_DAMAGED();
        } else if (xml->depth() == 3 && isMain(*xml, u"numFmt")) {
            m_dateStyles.addFormat(xml->attribute("numFmtId").toUInt(),
                                   xml->attribute("formatCode"));
        } else if (xml->depth() == 3 && isMain(*xml, u"xf")) {
            m_dateStyles.addStyle(xml->attribute("numFmtId").toUInt());
        }
    }
    return xml->failed() ? WORKBOOK_DAMAGED() : NoError;
}

int XlsxWorkbook::isDateStyle(std::uint32_t style, bool *date) {
    if (!m_stylesRead) {
        m_stylesRead = true;
        m_stylesError = readStyles();
    }
    *date = m_dateStyles.isDate(style);
    return m_stylesError;
}

int XlsxWorkbook::sharedText(std::uint32_t index, QString *text) {
    const auto string = m_strings.find(index);
    if (string == m_strings.end()) return WORKBOOK_DAMAGED();
    *text = string->second;
    return NoError;
}

// The kinds a cell's t attribute names; told apart at the cell's start, since
// the attribute is gone once the reader moves into the cell.
enum class CellType { Number, Shared, InlineText, Formula, Boolean, Error, Date, Unknown };

CellType cellType(QStringView t) {
    if (t.isEmpty() || t == u"n") return CellType::Number;
    if (t == u"s") return CellType::Shared;
    if (t == u"inlineStr") return CellType::InlineText;
    if (t == u"str") return CellType::Formula;
    if (t == u"b") return CellType::Boolean;
    if (t == u"e") return CellType::Error;
    if (t == u"d") return CellType::Date;
    return CellType::Unknown;
}

// Reads one cell element; false when the XML is damaged.
bool XlsxWorkbook::readCell(XmlReader &xml, int row, int column) {
    const CellType type = cellType(xml.attribute("t"));
    const std::uint32_t style = xml.attribute("s").toUInt();
    if (!window().keeps(column)) return xml.skipElement();

    std::optional<QString> value;
    std::optional<QString> inlineText;
    const int depth = xml.depth();
    while (xml.nextStartWithin(depth)) {
        if (isMain(xml, u"v")) {
            value.emplace();
            if (!xml.appendText(&*value)) return false;
        } else if (isMain(xml, u"is")) {
            inlineText.emplace();
            if (!readStringItem(xml, &*inlineText)) return false;
        } else if (!xml.skipElement()) {
            return false;
        }
    }
    if (xml.failed()) return false;

    CellValue cell;
    cell.style = style;
    if (type == CellType::InlineText) {
        if (!inlineText) return true;
        cell.text = std::move(*inlineText);
    } else if (!value || (value->isEmpty() && type != CellType::Formula)) {
        return true; // no value: a formula saved without its result, or a formatted blank
    } else if (type == CellType::Number) {
        const std::optional<double> number = readNumberText(*value);
        cell.kind = number ? CellValue::Number : CellValue::Damaged;
        cell.number = number.value_or(0);
    } else if (type == CellType::Shared) {
        bool ok = false;
        cell.index = value->trimmed().toUInt(&ok);
        cell.kind = ok ? CellValue::SharedText : CellValue::Damaged;
    } else if (type == CellType::Formula) {
        cell.text = unescapeText(std::move(*value));
    } else if (type == CellType::Boolean) {
        const QString flag = value->trimmed();
        cell.kind = CellValue::Boolean;
        cell.number = flag == u"0" || flag.compare(u"false", Qt::CaseInsensitive) == 0 ? 0 : 1;
    } else if (type == CellType::Error) {
        cell.text = value->trimmed(); // the error as written, such as #N/A
    } else if (type == CellType::Date) {
        const std::optional<QString> date = cellvalues::isoDateText(*value);
        cell.kind = date ? CellValue::Text : CellValue::Damaged;
        cell.text = date.value_or(QString());
    } else {
        cell.kind = CellValue::Damaged;
    }
    m_cells.put(XmlSheet.cellKey(row, column), std::move(cell));
    return true;
}

// Reads the cells of a row inside the window.
int XlsxWorkbook::readRow(XmlReader &xml, int row) {
    int column = 0;
    const int depth = xml.depth();
    while (xml.nextStartWithin(depth)) {
        if (!isMain(xml, u"c")) {
            if (!xml.skipElement()) return WORKBOOK_DAMAGED();
            continue;
        }
        // A cell without a reference follows the one before it.
        const std::optional<int> referenced = referenceColumn(xml.attribute("r"));
        column = referenced ? *referenced : column + 1;
        if (!readCell(xml, row, column)) return WORKBOOK_DAMAGED();
    }
    return xml.failed() ? WORKBOOK_DAMAGED() : NoError;
}

int XlsxWorkbook::scanWindow() {
    m_cells.clear();
    if (m_strings.size() > KeptStrings) m_strings.clear();
    zip::XmlPart part = zip::openXml(*m_archive, m_sheetParts[std::size_t(window().sheet)]);
    if (!part.reader) return part.missing ? WORKBOOK_DAMAGED() : part.error;
    XmlReader *xml = part.reader.get();

    // worksheet > sheetData > row > c; rows come in ascending order, so the
    // scan ends at the first row past the window.
    bool inSheetData = false;
    int row = 0;
    while (xml->next()) {
        if (xml->isEnd() && inSheetData && xml->depth() == 1) break;
        if (!xml->isStart() || xml->depth() == 1) continue;
        if (!inSheetData) {
            if (xml->depth() == 2 && isMain(*xml, u"sheetData"))
                inSheetData = true;
            else if (!xml->skipElement())
                return WORKBOOK_DAMAGED();
            continue;
        }
        if (!isMain(*xml, u"row")) {
            if (!xml->skipElement()) return WORKBOOK_DAMAGED();
            continue;
        }
        // A row without a number follows the one before it.
        bool numbered = false;
        const int number = xml->attribute("r").toInt(&numbered);
        row = numbered ? number : row + 1;
        if (row > window().last || row > XmlSheet.rows) break;
        if (row < window().first) {
            if (!xml->skipElement()) return WORKBOOK_DAMAGED();
            continue;
        }
        if (const int failure = readRow(*xml, row)) return failure;
    }
    if (xml->failed()) return WORKBOOK_DAMAGED();

    if (!m_sharedStrings) return NoError;
    std::vector<std::uint32_t> indexes;
    for (const auto &[key, cell] : m_cells.ordered())
        if (cell.kind == CellValue::SharedText && !m_strings.contains(cell.index))
            indexes.push_back(cell.index);
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return m_sharedStrings->resolve(indexes, &m_strings);
}

} // namespace

std::unique_ptr<Workbook> openXlsxWorkbook(std::unique_ptr<zip::Archive> archive, int *error) {
    auto workbook = std::make_unique<XlsxWorkbook>(std::move(archive));
    const int failure = workbook->readWorkbook();
    return readercore::openedWorkbook(std::move(workbook), failure, error);
}

} // namespace analysis::xlsx
