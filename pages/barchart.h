#pragma once

#include "analysis/classanalysis/classanalysis.h"

#include <QString>

#include <optional>
#include <vector>

class QFont;
class QPainter;
class QRectF;

namespace pages {

struct ChartBar {
    QString label; // under the bar
    double value = 0;
    QString caption; // above the bar
};

// A line across the chart: at a place along the categories, in bars from the
// left edge of the first (2.5 is the middle of the third bar), or at a value.
struct ChartReference {
    enum class Axis { Category, Value } axis = Axis::Category;
    double position = 0;
    QString label;
};

struct BarChart {
    std::vector<ChartBar> bars; // from left to right
    QString categoryTitle, valueTitle;
    std::optional<ChartReference> reference;
};

// The band counts, lowest band on the left, each labelled with its count and
// percentage, with the pass line marked.
BarChart bandChart(const analysis::ClassAnalysis &analysis);

// The value axis is marked in steps of 1, 2 or 5 times a power of ten, the
// smallest that reach the largest value in at most 5 steps, and ends at the
// first mark not below it: 10 for 9 or 10, 3 for 3, 50 for 41.
struct ValueAxis {
    double end, step;
};
ValueAxis valueAxis(double largest);

// Paints the chart as vectors into area, in the painter's units. The plot
// lies 140 units from the left edge, 40 from the right, 100 from the top and
// 120 from the bottom, so a bar's height is value ÷ axis end × (area's height
// − 220).
void paintBarChart(QPainter &painter, const QRectF &area, const BarChart &chart, const QFont &font);

} // namespace pages
