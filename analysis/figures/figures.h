#pragma once

#include "analysis/figures/statistics.h"

#include <QString>

#include <array>

namespace analysis {

// The nine figures of the statistics, in the order the results frame lists
// them. The main window shows each in its own label; score-report prints
// them under the same captions and names them in JSON by their keys.
enum class Figure {
    Total,
    Average,
    Excellent,
    Good,
    Qualified,
    Failing,
    ExcellentRate,
    PassRate,
    GoodRate,
};
constexpr int FigureCount = 9;

struct FigureInfo {
    Figure figure;
    const char *key;     // JSON key of score-report
    const char *caption; // UTF-8 caption of the results frame
    QString StatisticsFigures::*text;
    bool percent; // shown with a "%" after it
};

inline constexpr std::array<FigureInfo, FigureCount> Figures = {{
    {Figure::Total, "total", "总成绩", &StatisticsFigures::total, false},
    {Figure::Average, "average", "平均成绩", &StatisticsFigures::average, false},
    {Figure::Excellent, "excellent", "优秀人数", &StatisticsFigures::excellent, false},
    {Figure::Good, "good", "良好人数", &StatisticsFigures::good, false},
    {Figure::Qualified, "qualified", "合格人数", &StatisticsFigures::qualified, false},
    {Figure::Failing, "failing", "不及格人数", &StatisticsFigures::failing, false},
    {Figure::ExcellentRate, "excellentRate", "优秀率", &StatisticsFigures::excellentRate, true},
    {Figure::PassRate, "passRate", "及格率", &StatisticsFigures::passRate, true},
    {Figure::GoodRate, "goodRate", "良好率", &StatisticsFigures::goodRate, true},
}};

inline const FigureInfo &figureInfo(Figure figure) {
    return Figures[std::size_t(figure)];
}

} // namespace analysis
