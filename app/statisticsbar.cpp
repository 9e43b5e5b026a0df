#include "app/statisticsbar.h"

#include <QPainter>

#include <numeric>

namespace {

// The colours of the figure labels 优秀人数, 良好人数, 合格人数, 不及格人数.
const QColor PartColors[] = {QColor(255, 0, 0), QColor(255, 0, 255), QColor(255, 0, 255),
                             QColor(255, 0, 0)};
const char *const Captions[] = {"优秀", "良好", "合格", "不及格"};
constexpr int BarHeight = 16;

} // namespace

StatisticsBar::StatisticsBar(QWidget *parent) : QWidget(parent) {}

void StatisticsBar::setCounts(const std::array<int, 4> &counts) {
    m_counts = counts;
    m_shown = true;
    update();
}

QRect StatisticsBar::barRect() const {
    return QRect(0, 0, width(), BarHeight);
}

// The parts share the bar's width by their counts; rounding the running sum
// makes them meet without gaps and end at the bar's end.
QRect StatisticsBar::partRect(int index) const {
    const int total = std::accumulate(m_counts.begin(), m_counts.end(), 0);
    if (!m_shown || total <= 0 || m_counts[std::size_t(index)] <= 0) return {};
    const QRect bar = barRect();
    const auto edge = [&](int parts) {
        const int before = std::accumulate(m_counts.begin(), m_counts.begin() + parts, 0);
        return bar.left() + int(std::lround(double(before) * bar.width() / total));
    };
    return QRect(QPoint(edge(index), bar.top()), QPoint(edge(index + 1) - 1, bar.bottom()));
}

void StatisticsBar::paintEvent(QPaintEvent *) {
    if (!m_shown) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect bar = barRect();
    painter.fillRect(bar, Qt::white);
    QFont font = this->font();
    font.setPixelSize(11);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int legendX = 0;
    for (int i = 0; i < 4; ++i) {
        const QRect part = partRect(i);
        if (!part.isEmpty()) {
            painter.fillRect(part, PartColors[i]);
            // A white line parts two neighbours of the same colour.
            painter.setPen(Qt::white);
            if (part.left() > bar.left()) painter.drawLine(part.topLeft(), part.bottomLeft());
            const QString count = QString::number(m_counts[std::size_t(i)]);
            if (metrics.horizontalAdvance(count) + 2 <= part.width())
                painter.drawText(part, Qt::AlignCenter, count);
        }
        // The legend below the bar: a swatch, the caption and the count.
        const QString legend =
            QString::fromUtf8(Captions[i]) + QString::number(m_counts[std::size_t(i)]);
        painter.fillRect(QRect(legendX, BarHeight + 4, 8, 8), PartColors[i]);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(legendX + 10, BarHeight + 4 + metrics.ascent() - 2), legend);
        legendX += 10 + metrics.horizontalAdvance(legend) + 8;
    }
    painter.setPen(Qt::black);
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
}
