#pragma once

#include <QWidget>

#include <array>

class CaptionButton;
class CaptionFrame;
class FlexGrid;
class QLabel;
class QLineEdit;
class SkinnedButton;

// The main window: the import fields, the score grid with its cell editor
// box, the statistics fields and figures, and the six commands.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    // Controls keep the names the window was designed with.
    FlexGrid *MSFlexGrid1;
    QLineEdit *Text1;               // class size
    QLineEdit *Text2;               // the cell editor box
    QLineEdit *Text7;               // workbook path
    QLineEdit *Text8;               // sheet name
    QLineEdit *Text9;               // first data row
    QLineEdit *Text10;              // column of the student number
    QLineEdit *Text11;              // column of the name
    QLineEdit *Text12;              // column of the score
    std::array<QLineEdit *, 4> Txt; // excellent low/high, good low/high
    std::array<SkinnedButton *, 6> c1;
    CaptionFrame *Frame1;
    CaptionFrame *Frame3;
    CaptionFrame *Frame4;
    // The nine figure labels.
    QLabel *Label2;  // total
    QLabel *Label5;  // average
    QLabel *Label15; // excellent count
    QLabel *Label21; // good count
    QLabel *Label23; // qualified count
    QLabel *Label7;  // failing count
    QLabel *Label12; // excellent rate
    QLabel *Label9;  // pass rate
    QLabel *Label38; // good rate

    // The painted title strip: icon and close button.
    QLabel *Logo;
    CaptionButton *CP0;

    // One handler for the whole button array: 0 exit, 1 help, 2 sort,
    // 3 import, 4 statistics, 5 browse.
    void c1_Click(int index);

signals:
    // The program is to end: raised by the exit command and by every close.
    void programEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildTitleStrip();
    void applySkin();
    void setTabOrder();

    void browseCommand();
    void importCommand();
    void statisticsCommand();
    void sortCommand();

    void enterCell();
    void leaveCell();
    void placeEditor();
    void loadEditorFromCurrentCell();

    bool m_editorActive = false; // the box has been shown over a cell
};
