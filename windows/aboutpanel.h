#pragma once

#include "windows/singlewindow.h"

#include <QWidget>

#include <array>

class QLabel;
class SkinnedButton;

// The About panel: the product's name, a picture, the version and contact
// notice, and two buttons: one opens the help window, the other only closes
// the panel. Either closes the panel.
class Rightform : public QWidget {
    Q_OBJECT

public:
    // Shows the one About panel: created, loaded and centred if none is open,
    // brought forward otherwise.
    static Rightform *showPanel() { return SingleWindow<Rightform>::show(); }
    static Rightform *instance() { return SingleWindow<Rightform>::instance(); }

    QLabel *Image2;
    QLabel *Notice;
    std::array<SkinnedButton *, 2> Pic; // 0 help, 1 cancel

    void Pic_Click(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    friend class SingleWindow<Rightform>;
    Rightform();
};
