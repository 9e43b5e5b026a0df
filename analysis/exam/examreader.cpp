#include "analysis/exam/examtable.h"

#include "analysis/grid/fieldnumber.h"
#include "analysis/grid/workbookimport.h"
#include "analysis/texts/exammessages.h"
#include "analysis/texts/messages.h"
#include "analysis/texts/spaces.h"
#include "workbook/bytesource.h"
#include "workbook/importerrors.h"
#include "workbook/openworkbook.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <map>
#include <mutex>
#include <numeric>
#include <thread>
#include <variant>

namespace analysis {

namespace {

// The last column of an .xlsx sheet (XFD).
constexpr int MaximumColumn = 16384;

// Where a sheet's table lies, as numbers.
struct TableLayout {
    int firstRow = 0;
    std::vector<int> columns; // number, name, [class], scores…
    bool hasClass = false;
};

std::variant<TableLayout, QString> layoutOf(const ExamColumns &typed) {
    const std::optional<std::int16_t> firstRow = readFieldInteger(typed.firstRow);
    if (!firstRow || *firstRow < 1) return messages::firstRowInvalid();
    if (typed.scoreColumns.isEmpty()) return messages::examNoScoreColumns();
    TableLayout layout{*firstRow, {}, typed.classColumn.has_value()};
    QStringList texts{typed.numberColumn, typed.nameColumn};
    if (typed.classColumn) texts << *typed.classColumn;
    texts << typed.scoreColumns;
    for (const QString &text : texts) {
        const int column = readColumn(text);
        if (column < 1) return messages::examColumnInvalid(text);
        layout.columns.push_back(column);
    }
    return layout;
}

// As the grade comparison: a small workbook is read whole at once, a larger
// one mapped.
std::unique_ptr<Workbook> openExamWorkbook(const QString &path, int *error) {
    constexpr qint64 WholeReadLimit = 1 << 20;
    const QFileInfo info(path);
    QFile file(path);
    if (info.isFile() && info.size() <= WholeReadLimit && file.open(QIODevice::ReadOnly)) {
        QByteArray bytes = file.readAll();
        if (bytes.size() == info.size()) return openWorkbook(memorySource(std::move(bytes)), error);
    }
    return openWorkbook(path, error);
}

SourceFailure failureOf(const QString &source, int number) {
    return {source, number, importFailureMessage(number)};
}

std::vector<int> sheetsOf(const ClassSource &source, const Workbook &workbook) {
    const QStringList names = workbook.sheetNames();
    if (source.kind == ClassSource::Kind::EverySheet) {
        std::vector<int> all(std::size_t(names.size()));
        std::iota(all.begin(), all.end(), 0);
        return all;
    }
    if (source.sheet.isEmpty()) return names.isEmpty() ? std::vector<int>{} : std::vector<int>{0};
    const int index = workbook.sheetIndex(source.sheet);
    return index < 0 ? std::vector<int>{} : std::vector<int>{index};
}

struct SourceResult {
    std::vector<ExamTable> tables;
    std::vector<SourceFailure> failures;
    std::vector<bool> namedBySheet;
};

// The header row above the first row names each subject; an empty cell, or
// no such row, names it after its column.
int readHeader(Workbook &workbook, int sheet, const TableLayout &layout, ExamTable &table) {
    const std::size_t first = layout.hasClass ? 3 : 2;
    for (std::size_t c = first; c < layout.columns.size(); ++c) {
        QString name;
        if (layout.firstRow > 1)
            if (const int failure = workbook.cellText(sheet, layout.firstRow - 1,
                                                      layout.columns[c], &name);
                failure && failure != CellOutOfRange)
                return failure;
        table.columns << columnLetters(layout.columns[c]);
        name = trimWideSpaces(name);
        table.subjects << (name.isEmpty() ? table.columns.back() : name);
    }
    return NoError;
}

int readTable(Workbook &workbook, int sheet, const TableLayout &layout, ExamTable &table) {
    if (const int failure = readHeader(workbook, sheet, layout, table)) return failure;
    std::vector<SheetRow> rows;
    if (const int failure = workbook.readRows(sheet, layout.firstRow, layout.columns, &rows))
        return failure;
    table.rows.reserve(rows.size());
    table.texts.reserve(rows.size());
    for (SheetRow &row : rows) {
        bool empty = true;
        for (QString &text : row.texts) {
            text = trimSpaces(text);
            empty = empty && text.isEmpty();
        }
        if (empty) continue;
        table.rows.push_back(row.row);
        table.texts.push_back(std::move(row.texts));
    }
    return NoError;
}

class TableReader {
public:
    explicit TableReader(const ExamRequest &request) : m_request(request) {}
    SourceResult read(int index);

private:
    const ExamRequest &m_request;
    QString m_path;
    std::unique_ptr<Workbook> m_workbook;
    int m_error = NoError;
};

SourceResult TableReader::read(int index) {
    const ClassSource &source = m_request.sources[std::size_t(index)];
    SourceResult result;
    if (source.kind == ClassSource::Kind::Folder) {
        result.failures.push_back({source.label, std::nullopt, messages::folderWithoutWorkbooks()});
        return result;
    }
    const bool own = std::size_t(index) < m_request.sourceColumns.size() &&
                     m_request.sourceColumns[std::size_t(index)];
    const std::variant<TableLayout, QString> layout =
        layoutOf(own ? *m_request.sourceColumns[std::size_t(index)] : m_request.columns);
    if (const QString *message = std::get_if<QString>(&layout)) {
        result.failures.push_back({source.label, std::nullopt, *message});
        return result;
    }
    if (!m_workbook || m_path != source.path) {
        m_path = source.path;
        m_workbook = openExamWorkbook(source.path, &m_error);
    }
    if (!m_workbook) {
        result.failures.push_back(failureOf(source.label, m_error));
        return result;
    }
    const std::vector<int> sheets = sheetsOf(source, *m_workbook);
    if (sheets.empty()) result.failures.push_back(failureOf(source.label, SheetMissing));
    const bool every = source.kind == ClassSource::Kind::EverySheet;
    for (const int sheet : sheets) {
        const QString name = m_workbook->sheetNames()[sheet];
        ExamTable table;
        table.source = index;
        table.label = every ? source.path + u':' + name : source.label;
        table.className = name;
        table.hasClassColumn = std::get<TableLayout>(layout).hasClass;
        if (const int failure =
                readTable(*m_workbook, sheet, std::get<TableLayout>(layout), table)) {
            result.failures.push_back(failureOf(table.label, failure));
            continue;
        }
        result.tables.push_back(std::move(table));
        result.namedBySheet.push_back(every);
    }
    return result;
}

std::vector<SourceResult> readSources(const ExamRequest &request, const CompareControl &control) {
    const std::size_t count = request.sources.size();
    std::vector<SourceResult> results(count);
    std::mutex reporting;
    const auto report = [&](std::size_t source, SourceState state) {
        if (!control.progress) return;
        const std::lock_guard lock(reporting);
        control.progress(source, state);
    };
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        TableReader reader(request);
        for (std::size_t i = next++; i < count; i = next++) {
            if (control.cancel && control.cancel->load()) {
                report(i, SourceState::Cancelled);
                continue;
            }
            report(i, SourceState::Reading);
            results[i] = reader.read(int(i));
            report(i, results[i].failures.empty() ? SourceState::Read : SourceState::Failed);
        }
    };
    const int wanted = control.threads > 0 ? control.threads : QThread::idealThreadCount();
    const std::size_t threads =
        std::clamp<std::size_t>(std::size_t(std::max(wanted, 1)), 1, std::max<std::size_t>(count, 1));
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
    return results;
}

// As the grade comparison names its classes: after the sheet when the
// workbook gives more than one table, else after the file; a name already
// taken gets "（2）", "（3）"… in list order.
void nameTables(const std::vector<ClassSource> &sources, std::vector<SourceResult> &results) {
    std::map<QString, int> tablesOfFile;
    for (std::size_t i = 0; i < sources.size(); ++i)
        tablesOfFile[QFileInfo(sources[i].path).absoluteFilePath()] += int(results[i].tables.size());
    std::map<QString, int> taken;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const QFileInfo file(sources[i].path);
        for (std::size_t t = 0; t < results[i].tables.size(); ++t) {
            QString &name = results[i].tables[t].className;
            if (!results[i].namedBySheet[t] && tablesOfFile[file.absoluteFilePath()] < 2)
                name = file.completeBaseName();
            if (results[i].tables[t].hasClassColumn) continue;
            const int seen = ++taken[name];
            if (seen > 1) name += QStringLiteral("（%1）").arg(seen);
        }
    }
}

} // namespace

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

ExamTables readExamTables(const ExamRequest &request, const CompareControl &control) {
    std::vector<SourceResult> results = readSources(request, control);
    nameTables(request.sources, results);
    ExamTables out;
    for (SourceResult &result : results) {
        std::move(result.tables.begin(), result.tables.end(), std::back_inserter(out.tables));
        std::move(result.failures.begin(), result.failures.end(),
                  std::back_inserter(out.failures));
    }
    return out;
}

} // namespace analysis
