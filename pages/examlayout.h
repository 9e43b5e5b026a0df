#pragma once

#include "analysis/exam/examanalysis.h"
#include "pages/reportlayout.h"

namespace pages {

// The grade's 得分率 chart: every subject.
Block examGradeChart(const analysis::ExamAnalysis &exam);
// A class's 得分率 chart: the subjects it took.
Block examClassChart(const analysis::ExamAnalysis &exam, const analysis::ExamClass &c);

// The exam as printed: every table of the exports, those listing students
// headed as teachers' documents, the 得分率 chart, the notes and the rules.
ReportLayout layoutExam(const analysis::ExamAnalysis &exam, const analysis::ReportHeader &header);

} // namespace pages
