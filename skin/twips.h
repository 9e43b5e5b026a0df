#pragma once

#include <QPoint>
#include <QRect>

#include <cmath>

// Positions and sizes of the windows are laid out in twips; the screen shows
// 15 twips to a logical pixel. Halves go to the even neighbour.
constexpr int TwipsPerPixel = 15;

inline int twipsToPixels(double twips) {
    return static_cast<int>(std::nearbyint(twips / TwipsPerPixel));
}

inline int pixelsToTwips(int pixels) {
    return pixels * TwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}
