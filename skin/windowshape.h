#pragma once

#include <QRegion>
#include <QSize>

#include <functional>

class QWidget;

// The inset of the rounded outline from the window's edge: 2 pixels for
// corners of 15 or less, 4 for larger ones.
int RoundRegionInset(int cornerSize);

// The rounded rectangle from (inset, inset) to (w - inset, h - inset), right
// and bottom edges excluded, with corner ellipses of cornerSize pixels.
// With a device pixel ratio the same outline in device pixels: the size, the
// inset and the corner scaled, so that the corners step by one device pixel.
QRegion RoundRegion(QSize windowPixels, int cornerSize, qreal ratio = 1);

// Cuts the window to its rounded outline: only the region is drawn and takes
// the mouse. The widget's mask is in logical pixels; on X11 at a device pixel
// ratio above 1 the window's shape is set again in device pixels, which Qt's
// mask (scaled up from logical pixels) can't express.
void ApplyRoundRegion(QWidget *window, int cornerSize);

// Moves the window with the pointer while the left button stays down; any
// other button does nothing. Called from the window's press on its bare
// surface. On Wayland the compositor moves the window; elsewhere the window
// follows the pointer itself, since the system move of X11 can lose the
// button release and leave the window stuck to the pointer.
// globalPress is where the button went down, in screen pixels.
void BeginDragMove(QWidget *window, Qt::MouseButton button, QPoint globalPress);

// Tests watch moves begin through this hook instead of a real move.
using DragMoveObserver = std::function<void(QWidget *window)>;
void setDragMoveObserver(DragMoveObserver observer);
