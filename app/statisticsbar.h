#pragma once

#include <QWidget>

#include <array>

// A compact picture of the last statistics: one bar split into the excellent,
// good, qualified and failing head counts, each part as long as its share of
// the four and in its figure label's colour, with the count written on it.
// Empty until the first statistics.
class StatisticsBar : public QWidget {
    Q_OBJECT

public:
    explicit StatisticsBar(QWidget *parent = nullptr);

    // The counts in the order excellent, good, qualified, failing.
    void setCounts(const std::array<int, 4> &counts);

    // Where the part of each count lies in the widget, in pixels; empty for a
    // count of 0.
    QRect partRect(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect barRect() const;

    std::array<int, 4> m_counts{};
    bool m_shown = false;
};
