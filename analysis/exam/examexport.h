#pragma once

#include "analysis/exam/examtables.h"
#include "analysis/export/xlsxexport.h"

#include <QByteArray>

namespace analysis {

// The exam as an .xlsx workbook: sheets 成绩总表, 学科分析, 班级对比 (with a
// column chart of each class's 得分率 in every subject), 偏科与临界生 and 说明,
// each table under a frozen header; the tables of students carry the
// teachers-only line above their header.
XlsxWritten writeExamXlsx(const ExamTables &tables, QByteArray *bytes);

// The same tables as comma-separated values (UTF-8 with a byte-order mark).
QByteArray examCsv(const ExamTables &tables);

// Writes the exam to path as .xlsx or .csv through the safe writer, never
// over any of the source workbooks. Returns an empty text or the message.
QString exportExamTables(const ExamTables &tables, const QString &path,
                         const QStringList &sourceWorkbooks);

} // namespace analysis
