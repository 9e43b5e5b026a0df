#pragma once

class QWidget;

// Places the window in the middle of the screen it will show on.
void CenterOnScreen(QWidget *window);
