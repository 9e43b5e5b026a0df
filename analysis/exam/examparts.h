#pragma once

// The steps of the exam analysis, each in a file of its own.

#include "analysis/exam/examanalysis.h"
#include "analysis/exam/examtable.h"

namespace analysis {

// Exact sums and differences of scores, kept in units of 10^-9 at most.
Decimal decimalSum(const std::vector<const Decimal *> &values);
Decimal decimalDifference(const Decimal &larger, const Decimal &smaller);
// A share of full marks: percent (two decimals) × full marks (two decimals) ÷ 100.
Decimal shareOf(const Decimal &fullMarks, const Decimal &percent);

// The settings for one subject or total: its full marks, each line its share.
AnalysisSettings settingsFor(const AnalysisSettings &given, const Decimal &fullMarks);

// Subjects (matched by header text), classes and students from the tables,
// each mark's state read with its subject's full marks; returns each
// subject's texts by student.
std::vector<std::vector<QString>> gatherExam(const ExamSheets &tables, const ExamRequest &request,
                                             ExamAnalysis &exam);

// The figures of one subject or total over the students in `rows` (indices
// into exam.students; texts by student): the grade's and each class's, and
// each student's ranks (0 where not counted).
struct RankedFigures {
    ClassAnalysis grade; // ranking and lists of students left empty
    std::vector<ExamClassFigures> classes;
    std::vector<int> gradeRanks, classRanks; // by student
};
RankedFigures rankedFigures(const ExamAnalysis &exam, const std::vector<int> &rows,
                            const std::vector<QString> &texts, const AnalysisSettings &settings);

// Each subject's figures, ranks, Z and T scores.
void subjectFigures(ExamAnalysis &exam, const std::vector<std::vector<QString>> &texts);

// The totals: each student's value, the figures, ranks and T scores.
// Returns the message of a total that names a subject not found.
QString totalFigures(ExamAnalysis &exam, const std::vector<TotalRequest> &totals);

// The order of the students, 偏科 and 临界生 over the first total.
void studentLists(ExamAnalysis &exam, const ScoreLine &margin);

} // namespace analysis
