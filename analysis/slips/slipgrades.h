#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/decimal.h"

#include <QString>

#include <optional>
#include <vector>

namespace analysis {

// One 等级 line of a subject: its share of full marks, exactly, and the
// score it comes to for the subject's full marks.
struct GradeLine {
    QChar grade;                    // the grade from this line up: A, B, C or D
    std::int64_t share = 0, of = 1; // the line's share of full marks: share ÷ of
    Decimal cutOff;                 // the score, rounded up to four decimals where it has more
};

// The lines of the analysis settings as shares of fullMarks, from A down:
// A ≥ excellent, B ≥ good, C ≥ pass, and with five grades D ≥ low.
std::vector<GradeLine> gradeLines(const AnalysisSettings &settings, const Decimal &fullMarks,
                                  bool fiveGrades);

// The grade of a score: the first line it reaches, else D (E with five grades).
QChar gradeOf(const Decimal &score, const Decimal &fullMarks, const std::vector<GradeLine> &lines,
              bool fiveGrades);

// The line's share as printed: "85 %".
QString shareText(const GradeLine &line);

} // namespace analysis
