#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/decimal.h"

#include <QString>

#include <optional>
#include <vector>

namespace analysis {

// The exam a slip is about, as printed at its top.
struct SlipExam {
    QString school, className, exam, date;
};

// One student's result in one subject or total, all of it the student's own
// except the class mean, a figure about the class.
struct SlipFigure {
    QString subject; // a subject's or a total's name
    Decimal fullMarks;
    std::optional<Decimal> score; // none when not counted
    QString uncounted;            // why not (缺考, 免考, 无效, 未考) when there is no score
    int classRank = 0, gradeRank = 0;     // 0: not ranked
    int classRanked = 0, gradeRanked = 0; // the students ranked in the class, in the grade
    std::optional<double> classMean;
    // Since the last exam: this score − last score, and last grade rank − this
    // grade rank (above 0 is 进步); none without a last result.
    std::optional<double> scoreChange;
    std::optional<int> rankChange;
};

struct SlipStudent {
    QString number, name;
    QString className;               // empty: the exam's class
    QString remark;                  // the teacher's, optional
    std::vector<SlipFigure> figures; // subjects, then totals
};

} // namespace analysis
