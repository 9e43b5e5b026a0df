#pragma once

class QWidget;

// Places the window in the middle of the screen it will show on.
void CenterOnScreen(QWidget *window);

// The report, grade comparison and exam windows share one size.
constexpr int DocumentWindowWidthTwips = 16200, DocumentWindowHeightTwips = 10800;
