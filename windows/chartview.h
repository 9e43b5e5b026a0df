#pragma once

#include "pages/barchart.h"

#include <QWidget>

#include <optional>

// A bar chart on screen, painted by the pages' own chart code so that the
// window shows what prints; white and empty without a chart.
class ChartView : public QWidget {
public:
    using QWidget::QWidget;

    void setChart(std::optional<pages::BarChart> chart);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<pages::BarChart> m_chart;
};
