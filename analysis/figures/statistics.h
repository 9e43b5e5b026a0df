#pragma once

#include "analysis/grid/scoregrid.h"

#include <QString>

#include <array>

namespace analysis {

// The texts of the fields the statistics read, exactly as typed.
struct StatisticsFields {
    QString classSize;
    QString excellentLow = QStringLiteral("85");
    QString excellentHigh = QStringLiteral("100");
    QString goodLow = QStringLiteral("75");
    QString goodHigh = QStringLiteral("85");
};

// The nine figures, each the text its result label shows.
struct StatisticsFigures {
    QString total;
    QString average;
    QString excellent;
    QString good;
    QString qualified;
    QString failing;
    QString excellentRate;
    QString passRate;
    QString goodRate;

    friend bool operator==(const StatisticsFigures &, const StatisticsFigures &) = default;
};

// The four head counts as numbers: excellent, good, qualified, failing.
using HeadCounts = std::array<int, 4>;

struct StatisticsOutcome {
    bool ok = false;
    QString message; // the first failed check's message when !ok
    StatisticsFigures figures;
    HeadCounts counts{};
};

// Checks the class size and the bands, then evaluates the score column of the
// first class-size grid rows. "合格" is always 60 up to but not including 75.
StatisticsOutcome computeStatistics(const StatisticsFields &fields, const ScoreGrid &grid);

} // namespace analysis
