#pragma once

// The .xlsx writer every export uses: libxlsxwriter resolved at run time, a
// sheet that is written row by row with its columns fitted to their text,
// and one call that writes a whole workbook.

#include "analysis/export/analysistables.h"
#include "analysis/export/xlsxexport.h"
#include "analysis/texts/displaywidth.h"

#include <xlsxwriter.h>

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace analysis {

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
    X(format_set_bg_color)                                                                         \
    X(format_set_font_color)                                                                       \
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

// The functions, or null where the library is missing or incomplete.
const XlsxApi *loadXlsxApi();

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

    void text(lxw_col_t column, const QString &value, bool bold = false);
    // A line of the table, whose width the column is fitted to.
    void line(const std::vector<TableCell> &cells, bool bold = false) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const TableCell &cell = cells[c];
            const lxw_col_t column = lxw_col_t(c);
            lxw_format *own = m_cellFormat && !bold ? m_cellFormat(cell) : nullptr;
            if (cell.number)
                m_x.worksheet_write_number(m_sheet, m_row, column, *cell.number,
                                           own                ? own
                                           : cell.twoDecimals ? m_twoDecimals
                                                              : nullptr);
            else if (own)
                m_x.worksheet_write_string(m_sheet, m_row, column, cell.text.toUtf8().constData(),
                                           own);
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
    // A format of the table's cells chosen by their content, or null for the plain one.
    void setCellFormat(std::function<lxw_format *(const TableCell &)> choose) {
        m_cellFormat = std::move(choose);
    }
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
    std::function<lxw_format *(const TableCell &)> m_cellFormat;
};

// Writes a workbook whose sheets `fill` adds into bytes, through a file in
// memory, so that every byte that reaches the disk is written by
// writeFileSafely, which checks each write; with constantMemory, rows go to
// the library's temporary files as they are written and must come in order.
// The library's own messages (English, on stderr) are held back: a failure
// is told by the caller's message.
XlsxWritten writeWorkbook(QByteArray *bytes,
                          const std::function<void(const XlsxApi &, lxw_workbook *)> &fill,
                          bool constantMemory = false);

} // namespace analysis
