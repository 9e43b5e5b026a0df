#pragma once

#include "skin/skinnedwindow.h"
#include "windows/singlewindow.h"

class QPlainTextEdit;

// The help window: the whole help file in a read-only scrolling box, under a
// painted title strip with its own close button. It stays above the other
// windows and lives on its own until it is closed.
class HelpWindow : public SkinnedWindow {
    Q_OBJECT

public:
    // Shows the one help window: created and loaded if none is open, brought
    // forward otherwise.
    static HelpWindow *showWindow() { return SingleWindow<HelpWindow>::show(); }
    static HelpWindow *instance() { return SingleWindow<HelpWindow>::instance(); }

    // The help file beside the running program.
    static QString helpFilePath();

    QString text() const { return m_text; } // lines each ended by CR LF

    QPlainTextEdit *textBox;

private:
    friend class SingleWindow<HelpWindow>;
    HelpWindow();
    void load();

    QString m_text;
};
