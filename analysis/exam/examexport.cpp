#include "analysis/exam/examexport.h"

#include "analysis/export/analysisexport.h"
#include "analysis/export/csvexport.h"
#include "analysis/export/xlsxbook.h"

namespace analysis {

namespace {

// A table of students: its title, the teachers-only line, then the header,
// frozen when the table starts the sheet.
void studentTable(const XlsxApi &x, SheetWriter &sheet, const Table &table, bool freeze) {
    sheet.title(table.title);
    sheet.title(teachersOnlyLine());
    if (freeze) x.worksheet_freeze_panes(sheet.sheet(), 3, 3);
    sheet.table(table, false);
}

// Each class's 得分率 in every subject and total, a cluster of columns a
// class (the grade's last), a series a subject.
void addRateChart(const XlsxApi &x, lxw_workbook *book, SheetWriter &sheet, const Table &rates) {
    const char *name = "班级对比";
    const lxw_row_t last = lxw_row_t(rates.rows.size());
    lxw_chart *chart = x.workbook_add_chart(book, LXW_CHART_COLUMN);
    for (qsizetype c = 1; c < rates.header.size(); ++c) {
        lxw_chart_series *series = x.chart_add_series(chart, nullptr, nullptr);
        x.chart_series_set_categories(series, name, 1, 0, last, 0);
        x.chart_series_set_values(series, name, 1, lxw_col_t(c), last, lxw_col_t(c));
        x.chart_series_set_name(series, rates.header[c].toUtf8().constData());
    }
    x.chart_axis_set_min(chart->y_axis, 0);
    x.chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
    x.chart_title_set_name(chart, "各班各学科得分率");
    x.chart_axis_set_name(chart->x_axis, "班级");
    x.chart_axis_set_name(chart->y_axis, "得分率（%）");
    x.worksheet_insert_chart(sheet.sheet(), sheet.row() + 1, 0, chart);
}

void writeSheets(const XlsxApi &x, lxw_workbook *book, const ExamTables &tables) {
    SheetWriter scores(x, book, "成绩总表");
    studentTable(x, scores, tables.scores, true);
    scores.fitColumns();
    SheetWriter subjects(x, book, "学科分析");
    subjects.table(tables.subjects, false);
    x.worksheet_freeze_panes(subjects.sheet(), 1, 1);
    subjects.fitColumns();
    SheetWriter classes(x, book, "班级对比");
    classes.table(tables.rates, false);
    x.worksheet_freeze_panes(classes.sheet(), 1, 1);
    classes.skip();
    classes.table(tables.classes, true);
    addRateChart(x, book, classes, tables.rates);
    classes.fitColumns();
    SheetWriter lists(x, book, "偏科与临界生");
    studentTable(x, lists, tables.weak, false);
    lists.skip();
    studentTable(x, lists, tables.borderline, false);
    lists.fitColumns();
    SheetWriter notes(x, book, "说明");
    if (!tables.failures.rows.empty()) {
        notes.table(tables.failures, true);
        notes.skip();
    }
    if (!tables.notes.isEmpty()) {
        notes.lines(QStringLiteral("说明"), tables.notes);
        notes.skip();
    }
    notes.lines(QStringLiteral("口径说明"), tables.rules);
}

QByteArray linesCsv(const QString &title, const QStringList &lines) {
    Table table{title, {}, {}};
    for (const QString &line : lines)
        table.rows.push_back({textCell(line)});
    QByteArray out = tablesCsv({&table});
    return out.replace("\r\n\r\n", "\r\n"); // no header line
}

} // namespace

XlsxWritten writeExamXlsx(const ExamTables &tables, QByteArray *bytes) {
    return writeWorkbook(
        bytes, [&](const XlsxApi &x, lxw_workbook *book) { writeSheets(x, book, tables); }, true);
}

QByteArray examCsv(const ExamTables &tables) {
    const QByteArray mark = QStringLiteral("\uFEFF").toUtf8();
    QByteArray out = mark;
    for (const Table *table : {&tables.scores, &tables.subjects, &tables.classes, &tables.rates,
                               &tables.weak, &tables.borderline, &tables.failures}) {
        QByteArray part = tablesCsv({table}).mid(mark.size());
        if (part.isEmpty()) continue;
        if (listsStudents(tables, *table))
            part.insert(part.indexOf("\r\n") + 2, teachersOnlyLine().toUtf8() + "\r\n");
        out += part;
    }
    if (!tables.notes.isEmpty())
        out += linesCsv(QStringLiteral("说明"), tables.notes).mid(mark.size()) + "\r\n";
    out += linesCsv(QStringLiteral("口径说明"), tables.rules).mid(mark.size());
    return out;
}

QString exportExamTables(const ExamTables &tables, const QString &path,
                         const QStringList &sourceWorkbooks) {
    return exportTables(
        path, sourceWorkbooks, [&](QByteArray *bytes) { return writeExamXlsx(tables, bytes); },
        [&] { return examCsv(tables); });
}

} // namespace analysis
