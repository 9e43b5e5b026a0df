#pragma once

#include "windows/singlewindow.h"

#include <QWidget>

class CaptionButton;
class QLabel;
class QPlainTextEdit;

// The help window: the whole help file in a read-only scrolling box, under a
// painted title strip with its own close button. It stays above the other
// windows and lives on its own until it is closed.
class Help : public QWidget {
    Q_OBJECT

public:
    // Shows the one help window: created and loaded if none is open, brought
    // forward otherwise.
    static Help *showWindow() { return SingleWindow<Help>::show(); }
    static Help *instance() { return SingleWindow<Help>::instance(); }

    // The help file beside the running program.
    static QString helpFilePath();

    QString text() const { return m_text; } // lines each ended by CR LF

    QPlainTextEdit *Txt;
    QLabel *Logo;
    CaptionButton *CP0;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    friend class SingleWindow<Help>;
    Help();
    void load();

    QString m_text;
};
