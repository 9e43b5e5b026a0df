#include "analysis/grade/gradexlsx.h"

#include "analysis/export/xlsxbook.h"

namespace analysis {

namespace {

// The class means as columns, each beside a column of the grade mean, from 0
// up: this libxlsxwriter can't lay a line over columns, and a trend line of
// a hidden series, which would draw one, is not drawn by every spreadsheet
// program.
void addMeanChart(const XlsxApi &x, lxw_workbook *book, SheetWriter &sheet, lxw_row_t last,
                  lxw_col_t meanColumn, lxw_col_t gradeColumn) {
    const char *name = "班级对比";
    lxw_chart *chart = x.workbook_add_chart(book, LXW_CHART_COLUMN);
    lxw_chart_series *means = x.chart_add_series(chart, nullptr, nullptr);
    x.chart_series_set_categories(means, name, 1, 0, last, 0);
    x.chart_series_set_values(means, name, 1, meanColumn, last, meanColumn);
    x.chart_series_set_name(means, "平均分");
    x.chart_series_set_labels(means);
    lxw_chart_series *grade = x.chart_add_series(chart, nullptr, nullptr);
    x.chart_series_set_categories(grade, name, 1, 0, last, 0);
    x.chart_series_set_values(grade, name, 1, gradeColumn, last, gradeColumn);
    x.chart_series_set_name(grade, "年级平均分");
    lxw_chart_fill grey{};
    grey.color = 0xBFBFBF;
    x.chart_series_set_fill(grade, &grey);
    x.chart_axis_set_min(chart->y_axis, 0);
    x.chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
    x.chart_title_set_name(chart, "各班平均分与年级平均分");
    x.chart_axis_set_name(chart->x_axis, "班级");
    x.chart_axis_set_name(chart->y_axis, "平均分");
    x.worksheet_insert_chart(sheet.sheet(), sheet.row() + 1, 0, chart);
}

// Sheet 班级对比: the class table with the grade mean beside each class for
// the chart, the band counts, the failures and the chart; sheet 年级名次表:
// the rank list under a frozen header.
void writeGradeSheets(const XlsxApi &x, lxw_workbook *book, const GradeTables &tables) {
    SheetWriter sheet(x, book, "班级对比");
    Table classes = tables.classes;
    classes.header << QStringLiteral("年级平均分");
    const std::size_t classCount = classes.rows.size() - 1; // the last row is the grade's
    const TableCell gradeMean = classes.rows.back()[GradeTables::MeanColumn];
    for (std::size_t r = 0; r < classCount; ++r)
        classes.rows[r].push_back(gradeMean);
    sheet.table(classes, false);
    sheet.skip();
    sheet.table(tables.bands, true);
    if (!tables.failures.rows.empty()) {
        sheet.skip();
        sheet.table(tables.failures, true);
    }
    if (classCount > 0)
        addMeanChart(x, book, sheet, lxw_row_t(classCount), GradeTables::MeanColumn,
                     lxw_col_t(classes.header.size() - 1));
    sheet.fitColumns();
    SheetWriter students(x, book, "年级名次表");
    students.table(tables.students, false);
    x.worksheet_freeze_panes(students.sheet(), 1, 0);
    students.fitColumns();
}

} // namespace

XlsxWritten writeGradeXlsx(const GradeTables &tables, QByteArray *bytes) {
    return writeWorkbook(
        bytes, [&](const XlsxApi &x, lxw_workbook *book) { writeGradeSheets(x, book, tables); },
        true);
}

} // namespace analysis
