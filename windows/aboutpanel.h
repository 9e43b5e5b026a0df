#pragma once

#include "skin/skinnedwindow.h"
#include "windows/singlewindow.h"

class QLabel;
class SkinnedButton;

// The About panel: the product's name, a picture, the version and contact
// notice, and two buttons: one opens the help window, the other only closes
// the panel. Either closes the panel.
class AboutPanel : public SkinnedWindow {
    Q_OBJECT

public:
    // Shows the one About panel: created, loaded and centred if none is open,
    // brought forward otherwise.
    static AboutPanel *showPanel() { return SingleWindow<AboutPanel>::show(); }
    static AboutPanel *instance() { return SingleWindow<AboutPanel>::instance(); }

    QLabel *picture;
    QLabel *notice;
    SkinnedButton *helpButton;
    SkinnedButton *cancelButton;

private:
    friend class SingleWindow<AboutPanel>;
    AboutPanel();
    SkinnedButton *addButton(const QString &caption, int left);
    QLabel *makeNotice();
    void showHelp();
};
