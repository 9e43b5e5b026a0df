#pragma once

#include <QString>

#include <vector>

class QFont;
class QPainter;
class QRectF;

namespace pages {

// One exam of a student's rank line.
struct TrendPoint {
    QString exam; // under the point
    int rank = 0; // 0: no rank in that exam, no point
};

struct TrendChart {
    QString title;
    std::vector<TrendPoint> points; // in time order, left to right
};

// Where the ranks from 1 to the deepest lie: rank 1 at the top (a better
// rank is drawn higher), the deepest marked rank at the bottom, marked in
// steps of 1, 2 or 5 times a power of ten.
struct RankAxis {
    int deepest = 1, step = 1;
};
RankAxis rankAxis(const TrendChart &chart);

// Paints the line through the ranks, each point labelled with its rank,
// into area, in the painter's units; a missing rank breaks the line.
void paintTrendChart(QPainter &painter, const QRectF &area, const TrendChart &chart,
                     const QFont &font);

} // namespace pages
