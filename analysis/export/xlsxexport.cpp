#include "analysis/export/xlsxexport.h"

#include "analysis/displaywidth.h"

#include <xlsxwriter.h>

#include <QFile>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace analysis {

namespace {

// libxlsxwriter brings zlib, minizip and libcrypto with it; it is loaded only
// when a workbook is written, so that no other run of the programs pays for
// loading them.
#define SCORE_XLSX_FUNCTIONS(X)                                                                    \
    X(workbook_new_opt)                                                                            \
    X(workbook_add_worksheet)                                                                      \
    X(workbook_add_format)                                                                         \
    X(workbook_add_chart)                                                                          \
    X(workbook_close)                                                                              \
    X(format_set_bold)                                                                             \
    X(format_set_num_format)                                                                       \
    X(worksheet_write_string)                                                                      \
    X(worksheet_write_number)                                                                      \
    X(worksheet_set_column)                                                                        \
    X(worksheet_freeze_panes)                                                                      \
    X(worksheet_insert_chart)                                                                      \
    X(chart_add_series)                                                                            \
    X(chart_series_set_categories)                                                                 \
    X(chart_series_set_values)                                                                     \
    X(chart_series_set_labels)                                                                     \
    X(chart_title_set_name)                                                                        \
    X(chart_axis_set_name)                                                                         \
    X(chart_axis_set_reverse)                                                                      \
    X(chart_axis_set_crossing_max)                                                                 \
    X(chart_legend_set_position)                                                                   \
    X(chart_series_set_name)                                                                       \
    X(chart_series_set_fill)                                                                       \
    X(chart_axis_set_min)

struct XlsxApi {
#define SCORE_DECLARE(name) decltype(&::name) name = nullptr;
    SCORE_XLSX_FUNCTIONS(SCORE_DECLARE)
#undef SCORE_DECLARE
};

const XlsxApi *loadXlsxApi() {
    static const XlsxApi *const api = []() -> const XlsxApi * {
        void *library = ::dlopen(SCORE_XLSXWRITER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static XlsxApi loaded;
        bool complete = true;
#define SCORE_RESOLVE(name)                                                                        \
    loaded.name = reinterpret_cast<decltype(&::name)>(::dlsym(library, #name));                    \
    complete = complete && loaded.name;
        SCORE_XLSX_FUNCTIONS(SCORE_RESOLVE)
#undef SCORE_RESOLVE
        return complete ? &loaded : nullptr;
    }();
    return api;
}

constexpr lxw_col_t ChartColumn = 5;

class SheetWriter {
public:
    SheetWriter(const XlsxApi &x, lxw_workbook *book, const char *name)
        : m_x(x), m_sheet(x.workbook_add_worksheet(book, name)) {
        m_bold = x.workbook_add_format(book);
        x.format_set_bold(m_bold);
        m_twoDecimals = x.workbook_add_format(book);
        x.format_set_num_format(m_twoDecimals, "0.00");
    }
    lxw_worksheet *sheet() const { return m_sheet; }
    lxw_row_t row() const { return m_row; }

    void text(lxw_col_t column, const QString &value, bool bold = false) {
        m_x.worksheet_write_string(m_sheet, m_row, column, value.toUtf8().constData(),
                                   bold ? m_bold : nullptr);
    }
    // A line of the table, whose width the column is fitted to.
    void line(const std::vector<TableCell> &cells, bool bold = false) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const TableCell &cell = cells[c];
            const lxw_col_t column = lxw_col_t(c);
            if (cell.number)
                m_x.worksheet_write_number(m_sheet, m_row, column, *cell.number,
                                           cell.twoDecimals ? m_twoDecimals : nullptr);
            else
                text(column, cell.text, bold);
            if (m_widths.size() <= c) m_widths.resize(c + 1, 0);
            m_widths[c] = std::max(m_widths[c], displayWidth(cell.text));
        }
        ++m_row;
    }
    void header(const QStringList &names) {
        std::vector<TableCell> cells;
        for (const QString &name : names)
            cells.push_back({name, std::nullopt});
        line(cells, true);
    }
    void table(const Table &table, bool titled) {
        if (titled) title(table.title);
        header(table.header);
        for (const std::vector<TableCell> &cells : table.rows)
            line(cells);
    }
    void title(const QString &value) {
        text(0, value, true);
        ++m_row;
    }
    void lines(const QString &heading, const QStringList &values) {
        title(heading);
        for (const QString &value : values) {
            text(0, value);
            ++m_row;
        }
    }
    void skip() { ++m_row; }
    // Column widths count characters of the default font's digit width; a
    // Chinese character is about two of them, a little more in most fonts.
    void fitColumns() {
        for (std::size_t c = 0; c < m_widths.size(); ++c)
            m_x.worksheet_set_column(m_sheet, lxw_col_t(c), lxw_col_t(c),
                                     std::ceil(m_widths[c] * 1.1) + 2, nullptr);
    }

private:
    const XlsxApi &m_x;
    lxw_worksheet *m_sheet;
    lxw_format *m_bold = nullptr, *m_twoDecimals = nullptr;
    lxw_row_t m_row = 0;
    std::vector<int> m_widths;
};

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

// Writes a workbook at path whose sheets `fill` adds.
XlsxWritten writeWorkbook(const QString &path,
                          const std::function<void(const XlsxApi &, lxw_workbook *)> &fill,
                          bool constantMemory = false) {
    const XlsxApi *x = loadXlsxApi();
    if (!x) return XlsxWritten::LibraryMissing;
    lxw_workbook_options options{};
    options.constant_memory = constantMemory;
    lxw_workbook *book = x->workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book) return XlsxWritten::Failed;
    fill(*x, book);
    return x->workbook_close(book) == LXW_NO_ERROR ? XlsxWritten::Written : XlsxWritten::Failed;
}

} // namespace

XlsxWritten writeGradeXlsx(const GradeTables &tables, const QString &path) {
    return writeWorkbook(
        path, [&](const XlsxApi &x, lxw_workbook *book) { writeGradeSheets(x, book, tables); },
        true);
}

XlsxWritten writeAnalysisXlsx(const AnalysisTables &tables, const QString &path) {
    return writeWorkbook(path, [&](const XlsxApi &x, lxw_workbook *book) {
        SheetWriter scores(x, book, "成绩");
        scores.table(tables.ranking, false);
        x.worksheet_freeze_panes(scores.sheet(), 1, 0);
        scores.fitColumns();
        writeAnalysisSheet(x, book, tables);
    });
}

} // namespace analysis
