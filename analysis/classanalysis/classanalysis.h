#pragma once

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/bands.h"
#include "analysis/classanalysis/decimal.h"
#include "analysis/classanalysis/scorecell.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace analysis {

// One student's row as the analysis reads it; gridRow counts from 1.
struct StudentRow {
    int gridRow = 0;
    QString number, name, score;
};

struct AnalysisInput {
    std::vector<StudentRow> rows;
    QStringList notes; // how the rows were chosen, when the reader should know
};

struct RankedStudent {
    StudentRow student;
    Decimal score;
    int rank = 0;
};

// A row left out of every figure: absent, exempt or invalid.
struct UncountedRow {
    StudentRow student;
    ScoreCell::State state;
};

struct GradeCount {
    int count = 0;
    std::optional<double> rate; // count ÷ students who sat × 100; none without scores
};

// Every figure of the analysis (成绩质量分析), unrounded. A figure that needs
// a counted score is empty when there is none.
struct ClassAnalysis {
    AnalysisSettings settings;
    int expected = 0, sat = 0, absent = 0, exempt = 0, invalid = 0;
    std::vector<UncountedRow> uncounted; // in row order
    std::optional<Decimal> total, highest, lowest;
    std::vector<StudentRow> highestStudents, lowestStudents;
    std::optional<double> mean, median, standardDeviation, difficulty, discrimination;
    int discriminationGroup = 0; // k: the students in the top and in the bottom group
    GradeCount excellent, good, pass, fail, low, excellentOrGood;
    std::vector<ScoreBand> bands;       // from the top band down
    std::vector<RankedStudent> ranking; // in rank order, then row order
    QStringList notes;
};

ClassAnalysis analyseClass(AnalysisInput input, const AnalysisSettings &settings);

} // namespace analysis
