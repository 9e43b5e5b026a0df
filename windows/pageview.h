#pragma once

#include "pages/reportlayout.h"

#include <QAbstractScrollArea>

// The report's pages one below the other, as they print, each as wide as the
// view allows; scrolled vertically.
class PageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit PageView(QWidget *parent = nullptr);

    // Any document laid out over pages.
    void setPages(pages::ReportLayout layout);
    const pages::ReportLayout &document() const { return m_layout; }
    int pageCount() const { return int(m_layout.pages.size()); }
    // Where a page lies in the viewport, in pixels.
    QRectF pageRect(int page) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    double scale() const; // pixels per page unit
    void updateScrollBar();

    pages::ReportLayout m_layout;
};
