#pragma once

#include "skin/colors.h"

#include <QPoint>
#include <QString>

class QPainter;
class QWidget;

// Painted chrome of the skinned windows. Positions are twips from the top
// left corner of the window's surface; the window's size is its outer size.

// 64 bands of H / 63 twips (halves to even) from the start colour down, each
// band ShiftColor of the one before by the amount.
void PaintGradient(QWidget *window, QPainter &painter, Rgb start, std::int16_t amount);

// The band height in twips for a window of this height in twips.
int GradientBandTwips(int heightTwips);

// Draws the text once with its character cell's top left corner at (x, y)
// twips, in the painter's pen colour, with a 13-pixel cell of the default
// Song face, rotated by angle degrees; only the glyphs are painted.
void DrawCaptionText(QPainter &painter, int x, int y, const QString &text, int angle);

// The chrome sequence of every window: gradient, embossed title (highlight
// first, then black), then a dark and a light separator line on twips rows
// 420..425 and 430..435 across the full width.
struct ChromeLayout {
    QString title;
    QPoint highlightAt; // twips
    QPoint titleAt;     // twips
    Rgb separatorBase;
};
void PaintChrome(QWidget *window, QPainter &painter, const ChromeLayout &layout);

// The layout of a dialog's chrome: the About panel's positions.
ChromeLayout DialogChromeLayout(const QString &title);

// Fills the box between two corners given in twips, both corners included.
void FillTwipsBox(QPainter &painter, QPoint from, QPoint to, Rgb color);
