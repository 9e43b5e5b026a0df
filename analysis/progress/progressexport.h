#pragma once

#include "analysis/export/xlsxexport.h"
#include "analysis/progress/progresstables.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace analysis {

// The comparison as an .xlsx workbook: sheets 匹配情况 (the counts, every
// conflict, 新增 and 缺少), 成绩变化 (进步 filled red, 退步 green, as Chinese
// reports colour them), 班级进退 (with a column chart of each class's
// counts), 历次成绩 with three or more exams, and 说明. The sheets listing
// students carry the teachers-only line above their frozen header.
XlsxWritten writeProgressXlsx(const ProgressTables &tables, QByteArray *bytes);

// The same tables as comma-separated values (UTF-8 with a byte-order mark),
// the teachers-only line first.
QByteArray progressCsv(const ProgressTables &tables);

// Writes the comparison to path as .xlsx or .csv through the safe writer,
// never over any of the source workbooks. Returns an empty text or the message.
QString exportProgressTables(const ProgressTables &tables, const QString &path,
                             const QStringList &sourceWorkbooks);

} // namespace analysis
