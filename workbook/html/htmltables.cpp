#include "workbook/html/htmltables.h"

#include "workbook/importerrors.h"
#include "workbook/numbertext.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace analysis::html {

using text::GridSheet;

namespace {

constexpr int MaxColumnSpan = 1000; // as browsers cap it
constexpr int MaxRowSpan = 65534;

bool isElement(const xmlNode *node, const char *name) {
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char *>(node->name), name) == 0;
}

bool isCell(const xmlNode *node) {
    return isElement(node, "td") || isElement(node, "th");
}

// The next node of a walk in document order below top, children first
// unless they are skipped.
const xmlNode *nextNode(const xmlNode *node, const xmlNode *top, bool skipChildren) {
    if (!skipChildren && node->children) return node->children;
    while (node != top) {
        if (node->next) return node->next;
        node = node->parent;
    }
    return nullptr;
}

// The attribute's value, or none when the element lacks it; a bare
// attribute has an empty value.
std::optional<QString> attribute(const xmlNode *element, const char *name) {
    for (const xmlAttr *attr = element->properties; attr; attr = attr->next) {
        if (std::strcmp(reinterpret_cast<const char *>(attr->name), name) != 0) continue;
        QString value;
        for (const xmlNode *part = attr->children; part; part = part->next)
            if (part->content)
                value += QString::fromUtf8(reinterpret_cast<const char *>(part->content));
        return value;
    }
    return std::nullopt;
}

// A span as browsers read it: the leading digits, within bounds.
int span(const xmlNode *element, const char *name, int most) {
    const QString value = attribute(element, name).value_or(QString()).trimmed();
    qsizetype digits = 0;
    while (digits < value.size() && digits < 6 && value[digits].isDigit())
        ++digits;
    return std::clamp(value.left(digits).toInt(), 1, most);
}

// Appends text as a browser shows it: each run of white space one space, none
// at the start of a line.
void appendShown(QString *shown, const char *content, bool *pendingSpace) {
    for (const QChar c : QString::fromUtf8(content)) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
            *pendingSpace = true;
            continue;
        }
        if (*pendingSpace && !shown->isEmpty() && !shown->endsWith(u'\n')) shown->append(u' ');
        *pendingSpace = false;
        shown->append(c);
    }
}

// The text of an element as shown, without the tables inside it.
QString shownText(const xmlNode *top) {
    QString shown;
    bool pendingSpace = false;
    for (const xmlNode *node = top->children; node;) {
        const bool skip =
            isElement(node, "table") || isElement(node, "script") || isElement(node, "style");
        if (isElement(node, "br")) {
            shown.append(u'\n');
            pendingSpace = false;
        } else if ((node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) &&
                   node->content) {
            appendShown(&shown, reinterpret_cast<const char *>(node->content), &pendingSpace);
        }
        node = nextNode(node, top, skip);
    }
    return shown;
}

// What a cell holds: Excel writes the value of a number or a text that would
// read as something else in x:num and x:str when it differs from the text
// shown.
QString cellValue(const xmlNode *cell) {
    if (const std::optional<QString> number = attribute(cell, "x:num");
        number && !number->isEmpty()) {
        bool ok = false;
        const double value = number->toDouble(&ok);
        if (ok) return doubleText(value);
    }
    if (const std::optional<QString> text = attribute(cell, "x:str"); text && !text->isEmpty())
        return *text;
    return shownText(cell);
}

// One table being read: its sheet, where the next cell goes and, for each
// column, the last row that a cell spanning rows from above occupies.
struct Table {
    std::size_t sheet;
    bool rowOpen = false;
    int column = 0;
    int cellDepth = 0; // inside a cell: its rows and cells are text
    std::vector<int> occupiedTo;
};

class TableReader {
public:
    explicit TableReader(std::vector<GridSheet> *sheets) : m_sheets(*sheets) {}
    int read(const xmlNode *first);

private:
    bool enter(const xmlNode *node);
    void leave(const xmlNode *node);
    void startRow(Table &table);
    void place(Table &table, const xmlNode *cell);

    std::vector<GridSheet> &m_sheets;
    std::vector<Table> m_open;
    QString m_title;
    bool m_titled = false;
    bool m_overflow = false;
};

int TableReader::read(const xmlNode *first) {
    for (const xmlNode *node = first; node;) {
        if (enter(node) && node->children) {
            node = node->children;
            continue;
        }
        for (;;) {
            leave(node);
            if (node->next) {
                node = node->next;
                break;
            }
            node = node->parent;
            if (!node || node->type != XML_ELEMENT_NODE) {
                node = nullptr;
                break;
            }
        }
    }
    if (m_overflow) return CannotOpen;
    if (m_sheets.empty()) return NotAWorkbook;
    const QString title = m_title.trimmed();
    for (std::size_t i = 0; i < m_sheets.size(); ++i)
        m_sheets[i].rename(m_sheets.size() == 1 && !title.isEmpty()
                               ? title
                               : QStringLiteral("Sheet%1").arg(i + 1));
    return NoError;
}

// Whether the walk goes on into the node's children.
bool TableReader::enter(const xmlNode *node) {
    if (node->type != XML_ELEMENT_NODE) return false;
    if (isElement(node, "title") && !m_titled) {
        m_titled = true;
        m_title = shownText(node);
        return false;
    }
    if (isElement(node, "table")) {
        m_open.push_back(Table{m_sheets.size(), false, 0, 0, {}});
        m_sheets.emplace_back(QString());
        return true;
    }
    if (m_open.empty() || m_overflow) return true;
    Table &table = m_open.back();
    if (isElement(node, "tr") && table.cellDepth == 0) {
        startRow(table);
    } else if (isCell(node)) {
        if (table.cellDepth++ == 0) place(table, node);
    }
    return true;
}

void TableReader::leave(const xmlNode *node) {
    if (node->type != XML_ELEMENT_NODE || m_open.empty()) return;
    Table &table = m_open.back();
    if (isElement(node, "table")) {
        m_open.pop_back();
    } else if (isElement(node, "tr") && table.cellDepth == 0) {
        table.rowOpen = false;
    } else if (isCell(node)) {
        --table.cellDepth;
    }
}

void TableReader::startRow(Table &table) {
    if (!m_sheets[table.sheet].startRow()) m_overflow = true;
    table.rowOpen = true;
    table.column = 0;
}

void TableReader::place(Table &table, const xmlNode *cell) {
    if (!table.rowOpen) startRow(table); // a cell outside any row starts one
    if (m_overflow) return;
    GridSheet &sheet = m_sheets[table.sheet];
    const int row = sheet.rowCount();
    while (std::size_t(table.column) < table.occupiedTo.size() &&
           table.occupiedTo[std::size_t(table.column)] >= row)
        ++table.column;
    const int columns = span(cell, "colspan", MaxColumnSpan);
    const int rows = span(cell, "rowspan", MaxRowSpan);
    if (table.column + columns > GridSheet::MaxColumns) {
        m_overflow = true;
        return;
    }
    sheet.addCell(table.column + 1, cellValue(cell));
    if (rows > 1) {
        const std::size_t end = std::size_t(table.column + columns);
        if (table.occupiedTo.size() < end) table.occupiedTo.resize(end, 0);
        for (std::size_t c = std::size_t(table.column); c < end; ++c)
            table.occupiedTo[c] = std::max(table.occupiedTo[c], row + rows - 1);
    }
    table.column += columns;
}

} // namespace

int readTables(xmlDoc *page, std::vector<GridSheet> *sheets) {
    sheets->clear();
    const int failure = TableReader(sheets).read(page->children);
    if (failure != NoError) sheets->clear();
    return failure;
}

} // namespace analysis::html
