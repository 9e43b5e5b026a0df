#pragma once

#include "skin/skinnedwindow.h"

class QLayout;

// The frame of the report, the grade comparison and the exam windows: one
// size, a column of fields on the left, the document on the right and the
// command buttons below both, the logo and close button, centred on the
// screen with rounded corners.
class DocumentWindow : public SkinnedWindow {
    Q_OBJECT

protected:
    DocumentWindow(const QString &title, const QString &objectName);

    // Puts the parts in place; the constructor calls it once they are built.
    void layOut(QWidget *fields, QWidget *document, QLayout *commands, int spacing);
};
