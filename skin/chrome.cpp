#include "skin/chrome.h"

#include "skin/twips.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <cmath>

int GradientBandTwips(int heightTwips) {
    return static_cast<std::int16_t>(std::nearbyint(heightTwips / 63.0));
}

void FillTwipsBox(QPainter &painter, QPoint from, QPoint to, Rgb color) {
    const int left = twipsToPixels(std::min(from.x(), to.x()));
    const int right = twipsToPixels(std::max(from.x(), to.x()));
    const int top = twipsToPixels(std::min(from.y(), to.y()));
    const int bottom = twipsToPixels(std::max(from.y(), to.y()));
    painter.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), toQColor(color));
}

void PaintGradient(QWidget *window, QPainter &painter, Rgb start, std::int16_t amount) {
    const int height = pixelsToTwips(window->height());
    const int width = pixelsToTwips(window->width());
    const int band = GradientBandTwips(height);
    Rgb color = ShiftColor(start, 0);
    int y = 0;
    for (int i = 0; i < 64; ++i) {
        FillTwipsBox(painter, QPoint(0, y), QPoint(width, y + band), color);
        color = ShiftColor(color, amount);
        y += band;
    }
}

void DrawCaptionText(QPainter &painter, int x, int y, const QString &text, int angle) {
    // The font is made for this call alone: a character cell 13 pixels high.
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(13);
    // Solid glyph pixels only, as the system's text output draws them.
    font.setStyleStrategy(QFont::NoAntialias);
    for (int size = 13; size > 6 && QFontMetrics(font).height() > 13; --size)
        font.setPixelSize(size - 1);
    painter.save();
    painter.setFont(font);
    painter.translate(twipsToPixels(x), twipsToPixels(y));
    painter.rotate(-angle);
    painter.drawText(QPoint(0, QFontMetrics(font).ascent()), text);
    painter.restore();
}

void PaintChrome(QWidget *window, QPainter &painter, const ChromeLayout &layout) {
    PaintGradient(window, painter, skin::Base, 2);
    painter.setPen(toQColor(skin::TitleHighlight));
    DrawCaptionText(painter, layout.highlightAt.x(), layout.highlightAt.y(), layout.title, 0);
    painter.setPen(toQColor(skin::Title));
    DrawCaptionText(painter, layout.titleAt.x(), layout.titleAt.y(), layout.title, 0);
    const int width = pixelsToTwips(window->width());
    FillTwipsBox(painter, QPoint(0, 420), QPoint(width, 425),
                 ShiftColor(layout.separatorBase, 150));
    FillTwipsBox(painter, QPoint(0, 430), QPoint(width, 435),
                 ShiftColor(layout.separatorBase, -200));
}

ChromeLayout DialogChromeLayout(const QString &title) {
    return {title, QPoint(410, 180), QPoint(400, 170), skin::Base};
}
