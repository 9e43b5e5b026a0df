#include "analysis/export/xlsxexport.h"

#include "analysis/export/xlsxbook.h"

namespace analysis {

namespace {

constexpr lxw_col_t ChartColumn = 5;

// A column chart of the band counts, lowest band on the left, beside the
// figures at the top of the sheet.
void addBandChart(const XlsxApi &x, lxw_workbook *book, SheetWriter &sheet, lxw_row_t first,
                  lxw_row_t last) {
    lxw_chart *chart = x.workbook_add_chart(book, LXW_CHART_COLUMN);
    lxw_chart_series *series = x.chart_add_series(chart, nullptr, nullptr);
    x.chart_series_set_categories(series, "分析", first, 0, last, 0);
    x.chart_series_set_values(series, "分析", first, 1, last, 1);
    x.chart_series_set_labels(series);
    x.chart_title_set_name(chart, "分数段人数");
    x.chart_axis_set_name(chart->x_axis, "分数段");
    x.chart_axis_set_name(chart->y_axis, "人数");
    x.chart_axis_set_reverse(chart->x_axis);
    x.chart_axis_set_crossing_max(chart->x_axis);
    x.chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    x.worksheet_insert_chart(sheet.sheet(), 0, ChartColumn, chart);
}

void writeAnalysisSheet(const XlsxApi &x, lxw_workbook *book, const AnalysisTables &tables) {
    SheetWriter sheet(x, book, "分析");
    sheet.table(tables.figures, true);
    sheet.skip();
    sheet.table(tables.grades, true);
    sheet.skip();
    sheet.table(tables.bands, true);
    const lxw_row_t bandsEnd = sheet.row();
    addBandChart(x, book, sheet, bandsEnd - lxw_row_t(tables.bands.rows.size()), bandsEnd - 1);
    sheet.fitColumns();
    sheet.skip();
    if (!tables.notes.isEmpty()) {
        sheet.lines(QStringLiteral("说明"), tables.notes);
        sheet.skip();
    }
    sheet.lines(QStringLiteral("口径说明"), tables.rules);
}

} // namespace

XlsxWritten writeAnalysisXlsx(const AnalysisTables &tables, QByteArray *bytes) {
    return writeWorkbook(bytes, [&](const XlsxApi &x, lxw_workbook *book) {
        SheetWriter scores(x, book, "成绩");
        scores.table(tables.ranking, false);
        x.worksheet_freeze_panes(scores.sheet(), 1, 0);
        scores.fitColumns();
        writeAnalysisSheet(x, book, tables);
    });
}

} // namespace analysis
