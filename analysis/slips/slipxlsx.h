#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/slips/slipinput.h"
#include "analysis/slips/slipitems.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace analysis {

// Writes the slips as an .xlsx workbook in the 工资条 layout, so that it prints
// as strips from any spreadsheet program: sheet 成绩条 holds for each student
// the header row, the student's row and an empty row; sheet 说明 the exam, the
// preset, the 等级 cut-offs and the rank bands. Written safely, never over any
// of protectedPaths. Returns an empty text or the message of the failure.
QString writeSlipsXlsx(const SlipExam &exam, const std::vector<SlipStudent> &students,
                       const SlipOptions &options, const AnalysisSettings &settings,
                       const QString &path, const QStringList &protectedPaths);

} // namespace analysis
