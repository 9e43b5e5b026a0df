#include "analysis/exam/examtable.h"

#include "analysis/grade/sourcereading.h"
#include "analysis/grid/fieldnumber.h"
#include "analysis/grid/workbookimport.h"
#include "analysis/layout/filelayout.h"
#include "analysis/layout/sheetlayout.h"
#include "analysis/texts/exammessages.h"
#include "analysis/texts/messages.h"
#include "analysis/texts/spaces.h"
#include "workbook/importerrors.h"

#include <QFileInfo>

#include <algorithm>
#include <map>
#include <variant>

namespace analysis {

namespace {

// The last column of an .xlsx sheet (XFD).
constexpr int MaximumColumn = 16384;

// Where a sheet's table lies, as numbers.
struct TableLayout {
    int firstRow = 0;
    std::vector<int> columns; // number, name, [class], scores…, or in a long table
                              // number, name, [class], subject, score
    bool hasClass = false;
    QStringList names; // the subjects' names; empty: from the row above the first
    int lastRow = 0;   // 0: to the end
    bool longTable = false;
    int remark = 0; // a 评语 column, read beside the others; 0: none
};

// Trims the row's texts; true when none is left.
bool trimmedEmpty(SheetRow &row) {
    bool empty = true;
    for (QString &text : row.texts) {
        text = trimSpaces(text);
        empty = empty && text.isEmpty();
    }
    return empty;
}

// A row's 评语, read last of its texts and taken out of them.
QString takeRemark(const TableLayout &layout, SheetRow &row) {
    return layout.remark ? trimSpaces(row.texts.takeLast()) : QString();
}

std::variant<TableLayout, QString> layoutOf(const ExamColumns &typed) {
    const std::optional<std::int16_t> firstRow = readFieldInteger(typed.firstRow);
    if (!firstRow || *firstRow < 1) return messages::firstRowInvalid();
    if (typed.scoreColumns.isEmpty()) return messages::examNoScoreColumns();
    TableLayout layout{
        *firstRow, {}, typed.classColumn.has_value(), typed.subjectNames, typed.lastRow};
    QStringList texts{typed.numberColumn, typed.nameColumn};
    if (typed.classColumn) texts << *typed.classColumn;
    if (typed.subjectColumn) {
        // Every subject's score stands in the same column.
        QStringList scores;
        for (const QString &column : typed.scoreColumns)
            if (!scores.contains(column.trimmed(), Qt::CaseInsensitive)) scores << column.trimmed();
        if (scores.size() > 1) return messages::examLongTableScores();
        layout.longTable = true;
        texts << *typed.subjectColumn << scores;
    } else {
        texts << typed.scoreColumns;
    }
    for (const QString &text : texts) {
        const int column = readColumn(text);
        if (column < 1) return messages::examColumnInvalid(text);
        layout.columns.push_back(column);
    }
    if (typed.remarkColumn) {
        layout.remark = readColumn(*typed.remarkColumn);
        if (layout.remark < 1) return messages::examColumnInvalid(*typed.remarkColumn);
    }
    return layout;
}

struct TablesOfSource {
    std::vector<ExamTable> tables;
    std::vector<SourceFailure> failures;
    std::vector<bool> namedBySheet;
};

// The header row above the first row names each subject; an empty cell, or
// no such row, names it after its column.
int readHeader(Workbook &workbook, int sheet, const TableLayout &layout, ExamTable &table) {
    const std::size_t first = layout.hasClass ? 3 : 2;
    for (std::size_t c = first; c < layout.columns.size(); ++c) {
        QString name = layout.names.value(qsizetype(c - first));
        if (layout.names.isEmpty() && layout.firstRow > 1)
            if (const int failure =
                    workbook.cellText(sheet, layout.firstRow - 1, layout.columns[c], &name);
                failure && failure != CellOutOfRange)
                return failure;
        table.columns << columnLetters(layout.columns[c]);
        name = trimWideSpaces(name);
        table.subjects << (name.isEmpty() ? table.columns.back() : name);
    }
    return NoError;
}

// A score column without a header and without any score is no subject of
// the sheet: its students did not take it.
void dropEmptyColumns(const TableLayout &layout, ExamTable &table) {
    const qsizetype first = layout.hasClass ? 3 : 2;
    for (qsizetype c = table.subjects.size() - 1; c >= 0; --c) {
        if (table.subjects[c] != table.columns[c]) continue;
        const bool empty =
            std::all_of(table.texts.begin(), table.texts.end(),
                        [&](const QStringList &row) { return row[first + c].isEmpty(); });
        if (!empty) continue;
        table.subjects.removeAt(c);
        table.columns.removeAt(c);
        for (QStringList &row : table.texts)
            row.removeAt(first + c);
    }
}

// A long table, one row per student and subject, as one row per student:
// subjects in the order first met. A student without a row for a subject did
// not take it; a second row for the same subject is not counted, and said.
void pivotLongTable(const TableLayout &layout, std::vector<SheetRow> &rows, ExamTable &table) {
    const qsizetype subjectAt = layout.hasClass ? 3 : 2; // after number, name, [class]
    const QString letters = columnLetters(layout.columns.back());
    std::map<QString, std::size_t> students;
    std::map<QString, qsizetype> subjects;
    for (SheetRow &row : rows) {
        if (layout.lastRow > 0 && row.row > layout.lastRow) break;
        const QString remark = takeRemark(layout, row);
        if (trimmedEmpty(row)) continue;
        const QString subject = row.texts[subjectAt];
        if (subject.isEmpty()) {
            table.notes << messages::examLongRowWithoutSubject(table.label, row.row);
            continue;
        }
        const QStringList who = row.texts.mid(0, subjectAt);
        const auto [student, met] = students.try_emplace(who.join(u'\x1f'), table.texts.size());
        if (met) {
            table.rows.push_back(row.row);
            table.texts.push_back(who);
            table.missing.emplace_back();
            if (layout.remark) table.remarks << remark;
        }
        // The words for the student may stand on any of their rows.
        if (layout.remark && table.remarks[qsizetype(student->second)].isEmpty())
            table.remarks[qsizetype(student->second)] = remark;
        const auto [index, added] = subjects.try_emplace(subject, table.subjects.size());
        if (added) {
            table.subjects << subject;
            table.columns << letters;
        }
        QStringList &texts = table.texts[student->second];
        std::vector<bool> &missing = table.missing[student->second];
        missing.resize(std::size_t(table.subjects.size()), true);
        while (texts.size() < subjectAt + table.subjects.size())
            texts << QString();
        if (!missing[std::size_t(index->second)]) {
            table.notes << messages::examLongRowRepeated(table.label, row.row, who[0], who[1],
                                                         subject);
            continue;
        }
        missing[std::size_t(index->second)] = false;
        texts[subjectAt + index->second] = row.texts[subjectAt + 1];
    }
    for (std::size_t r = 0; r < table.texts.size(); ++r) {
        table.missing[r].resize(std::size_t(table.subjects.size()), true);
        while (table.texts[r].size() < subjectAt + table.subjects.size())
            table.texts[r] << QString();
    }
    table.notes.prepend(
        messages::examLongTableRead(table.label, columnLetters(layout.columns[subjectAt])));
}

int readTable(Workbook &workbook, int sheet, const TableLayout &layout, ExamTable &table) {
    if (!layout.longTable)
        if (const int failure = readHeader(workbook, sheet, layout, table)) return failure;
    std::vector<int> columns = layout.columns;
    if (layout.remark) columns.push_back(layout.remark);
    std::vector<SheetRow> rows;
    if (const int failure = workbook.readRows(sheet, layout.firstRow, columns, &rows))
        return failure;
    if (layout.longTable) {
        pivotLongTable(layout, rows, table);
        return NoError;
    }
    table.rows.reserve(rows.size());
    table.texts.reserve(rows.size());
    for (SheetRow &row : rows) {
        if (layout.lastRow > 0 && row.row > layout.lastRow) break;
        const QString remark = takeRemark(layout, row);
        if (trimmedEmpty(row)) continue;
        if (layout.remark) table.remarks << remark;
        table.rows.push_back(row.row);
        table.texts.push_back(std::move(row.texts));
    }
    dropEmptyColumns(layout, table);
    return NoError;
}

// The layout the header detection finds in a sheet, or the message saying
// what it could not find.
std::variant<TableLayout, QString> detectedLayout(Workbook &workbook, int sheet, int *error) {
    const SheetLayout found = detectLayout(workbook, sheet);
    *error = found.errorNumber;
    if (found.errorNumber) return QString();
    if (!found.number.found() || !found.name.found() || found.scores.empty())
        return messages::examLayoutMissing();
    TableLayout layout{found.firstRow,
                       {found.number.column, found.name.column},
                       found.className.found(),
                       {},
                       lastClassRow(found)};
    if (layout.hasClass) layout.columns.push_back(found.className.column);
    layout.remark = found.remark.column;
    if (found.course.found()) {
        layout.longTable = true;
        layout.columns.push_back(found.course.column);
        layout.columns.push_back(found.longTableScore().column);
        return layout;
    }
    for (const LayoutColumn &score : found.scores) {
        layout.columns.push_back(score.column);
        layout.names << score.header;
    }
    return layout;
}

class TableReader {
public:
    explicit TableReader(const ExamRequest &request) : m_request(request) {}
    TablesOfSource read(int index);

private:
    const ExamRequest &m_request;
    QString m_path;
    std::unique_ptr<Workbook> m_workbook;
    int m_error = NoError;
};

TablesOfSource TableReader::read(int index) {
    const ClassSource &source = m_request.sources[std::size_t(index)];
    TablesOfSource result;
    if (source.kind == ClassSource::Kind::Folder) {
        result.failures.push_back({source.label, std::nullopt, messages::folderWithoutWorkbooks()});
        return result;
    }
    const bool own = std::size_t(index) < m_request.sourceColumns.size() &&
                     m_request.sourceColumns[std::size_t(index)];
    const std::variant<TableLayout, QString> typed =
        layoutOf(own ? *m_request.sourceColumns[std::size_t(index)] : m_request.columns);
    const QString *message = std::get_if<QString>(&typed);
    if (message && !(m_request.detectColumns && !own)) {
        result.failures.push_back({source.label, std::nullopt, *message});
        return result;
    }
    if (!m_workbook || m_path != source.path) {
        m_path = source.path;
        m_workbook = openClassWorkbook(source.path, &m_error);
    }
    if (!m_workbook) {
        result.failures.push_back(sourceFailure(source.label, m_error));
        return result;
    }
    const std::vector<int> sheets = sheetsOfSource(source, *m_workbook);
    if (sheets.empty()) result.failures.push_back(sourceFailure(source.label, SheetMissing));
    const bool every = source.kind == ClassSource::Kind::EverySheet;
    for (const int sheet : sheets) {
        const QString name = m_workbook->sheetNames()[sheet];
        ExamTable table;
        table.source = index;
        table.label = every ? source.path + u':' + name : source.label;
        table.className = name;
        int failure = NoError;
        const std::variant<TableLayout, QString> layout =
            m_request.detectColumns && !own ? detectedLayout(*m_workbook, sheet, &failure) : typed;
        if (const QString *missing = std::get_if<QString>(&layout); missing && !failure) {
            result.failures.push_back({table.label, std::nullopt, *missing});
            continue;
        }
        if (!failure) {
            table.hasClassColumn = std::get<TableLayout>(layout).hasClass;
            failure = readTable(*m_workbook, sheet, std::get<TableLayout>(layout), table);
        }
        if (failure) {
            result.failures.push_back(sourceFailure(table.label, failure));
            continue;
        }
        result.tables.push_back(std::move(table));
        result.namedBySheet.push_back(every);
    }
    return result;
}

} // namespace

QString examColumnsProblem(const ExamColumns &columns) {
    const std::variant<TableLayout, QString> layout = layoutOf(columns);
    const QString *message = std::get_if<QString>(&layout);
    return message ? *message : QString();
}

QString columnLetters(int column) {
    QString letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.prepend(QChar(u'A' + (column - 1) % 26));
    return letters;
}

int readColumn(const QString &text) {
    const QString trimmed = trimWideSpaces(text).toUpper();
    if (trimmed.isEmpty()) return 0;
    if (std::all_of(trimmed.begin(), trimmed.end(),
                    [](QChar c) { return c >= u'A' && c <= u'Z'; })) {
        if (trimmed.size() > 3) return 0;
        int column = 0;
        for (const QChar c : trimmed)
            column = column * 26 + (c.unicode() - u'A' + 1);
        return column;
    }
    const std::optional<SignedDecimal> number = readPlainDecimal(trimmed);
    if (!number || number->negative || number->magnitude.fractionDigits() ||
        number->magnitude > Decimal::whole(MaximumColumn))
        return 0;
    return int(number->magnitude.units(0));
}

ExamSheets readExamTables(const ExamRequest &request, const CompareControl &control) {
    std::vector<TablesOfSource> results =
        readUnrepeated<TablesOfSource>(request.sources, control, [&] {
            auto reader = std::make_shared<TableReader>(request);
            return [reader](std::size_t i) { return reader->read(int(i)); };
        });
    // A table with a class column keeps its classes' names out of the numbering.
    nameAfterSheetOrFile(request.sources, results, [](TablesOfSource &result, std::size_t t) {
        ExamTable &table = result.tables[t];
        return std::pair{&table.className, !table.hasClassColumn};
    });
    ExamSheets out;
    for (TablesOfSource &result : results)
        std::move(result.tables.begin(), result.tables.end(), std::back_inserter(out.tables));
    takeFailures(results, &out.failures);
    return out;
}

} // namespace analysis
