#include "analysis/progress/progressexport.h"

#include "analysis/exam/examtables.h"
#include "analysis/export/analysisexport.h"
#include "analysis/export/csvexport.h"
#include "analysis/export/xlsxbook.h"

namespace analysis {

namespace {

// Excel's own light red and light green fills with their dark text.
constexpr lxw_color_t UpFill = 0xFFC7CE, UpText = 0x9C0006;
constexpr lxw_color_t DownFill = 0xC6EFCE, DownText = 0x006100;

lxw_format *fillFormat(const XlsxApi &x, lxw_workbook *book, lxw_color_t fill, lxw_color_t text) {
    lxw_format *format = x.workbook_add_format(book);
    x.format_set_bg_color(format, fill);
    x.format_set_font_color(format, text);
    return format;
}

// A sheet that begins with a list of students: the title, the teachers-only
// line, then the header, frozen with the columns that name the student.
void studentSheet(const XlsxApi &x, SheetWriter &sheet, const Table &table, int nameColumns) {
    sheet.title(table.title);
    sheet.title(teachersOnlyLine());
    x.worksheet_freeze_panes(sheet.sheet(), 3, lxw_col_t(nameColumns));
    sheet.table(table, false);
}

void matchSheet(const XlsxApi &x, lxw_workbook *book, const ProgressTables &t) {
    SheetWriter sheet(x, book, "匹配情况");
    studentSheet(x, sheet, t.match, 0);
    for (const Table *table : {&t.conflicts, &t.onlyThis, &t.onlyLast}) {
        sheet.skip();
        sheet.table(*table, true);
        if (!table->rows.empty()) continue;
        sheet.text(0, QStringLiteral("无"));
        sheet.skip();
    }
    sheet.fitColumns();
}

void changeSheet(const XlsxApi &x, lxw_workbook *book, const ProgressTables &t) {
    SheetWriter sheet(x, book, "成绩变化");
    lxw_format *up = fillFormat(x, book, UpFill, UpText);
    lxw_format *down = fillFormat(x, book, DownFill, DownText);
    // The trend and every rank change read 进步… or 退步….
    sheet.setCellFormat([up, down](const TableCell &cell) -> lxw_format * {
        if (cell.number) return nullptr;
        if (cell.text.startsWith(QStringLiteral("进步"))) return up;
        return cell.text.startsWith(QStringLiteral("退步")) ? down : nullptr;
    });
    studentSheet(x, sheet, t.changes, 3);
    sheet.fitColumns();
}

// Each class's 进步, 退步 and 稳定 side by side, in the colours of the table.
void addClassChart(const XlsxApi &x, lxw_workbook *book, SheetWriter &sheet, const Table &classes) {
    const char *name = "班级进退";
    const lxw_row_t last = lxw_row_t(classes.rows.size());
    lxw_chart *chart = x.workbook_add_chart(book, LXW_CHART_COLUMN);
    const lxw_color_t colours[] = {0xE0463C, 0x3A9A4A, 0x9A9A9A};
    for (lxw_col_t c = 1; c <= 3; ++c) {
        lxw_chart_series *series = x.chart_add_series(chart, nullptr, nullptr);
        x.chart_series_set_categories(series, name, 1, 0, last, 0);
        x.chart_series_set_values(series, name, 1, c, last, c);
        x.chart_series_set_name(series, classes.header[c].toUtf8().constData());
        lxw_chart_fill fill{colours[c - 1], 0, 0};
        x.chart_series_set_fill(series, &fill);
    }
    x.chart_axis_set_min(chart->y_axis, 0);
    x.chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
    x.chart_title_set_name(chart, "各班进步、退步与稳定人数");
    x.chart_axis_set_name(chart->x_axis, "班级");
    x.chart_axis_set_name(chart->y_axis, "人数");
    x.worksheet_insert_chart(sheet.sheet(), sheet.row() + 1, 0, chart);
}

void classSheet(const XlsxApi &x, lxw_workbook *book, const ProgressTables &t) {
    SheetWriter sheet(x, book, "班级进退");
    sheet.table(t.classes, false);
    x.worksheet_freeze_panes(sheet.sheet(), 1, 1);
    if (!t.classes.rows.empty()) addClassChart(x, book, sheet, t.classes);
    sheet.fitColumns();
}

void writeSheets(const XlsxApi &x, lxw_workbook *book, const ProgressTables &t) {
    matchSheet(x, book, t);
    changeSheet(x, book, t);
    classSheet(x, book, t);
    if (!t.history.rows.empty()) {
        SheetWriter history(x, book, "历次成绩");
        studentSheet(x, history, t.history, 3);
        history.fitColumns();
    }
    SheetWriter notes(x, book, "说明");
    if (!t.notes.isEmpty()) {
        notes.lines(QStringLiteral("说明"), t.notes);
        notes.skip();
    }
    notes.lines(QStringLiteral("口径说明"), t.rules);
}

} // namespace

XlsxWritten writeProgressXlsx(const ProgressTables &tables, QByteArray *bytes) {
    return writeWorkbook(
        bytes, [&](const XlsxApi &x, lxw_workbook *book) { writeSheets(x, book, tables); }, true);
}

QByteArray progressCsv(const ProgressTables &t) {
    QByteArray bytes = tablesCsv(
        {&t.match, &t.conflicts, &t.onlyThis, &t.onlyLast, &t.changes, &t.classes, &t.history});
    bytes.insert(3, (teachersOnlyLine() + QStringLiteral("\r\n\r\n")).toUtf8());
    return bytes;
}

QString exportProgressTables(const ProgressTables &tables, const QString &path,
                             const QStringList &sourceWorkbooks) {
    return exportTables(
        path, sourceWorkbooks, [&](QByteArray *bytes) { return writeProgressXlsx(tables, bytes); },
        [&] { return progressCsv(tables); });
}

} // namespace analysis
