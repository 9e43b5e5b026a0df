#pragma once

#include "analysis/figures/figures.h"
#include "skin/skinnedwindow.h"

#include <array>

class CaptionFrame;
class ScoreGridView;
class QLabel;
class QLineEdit;
class SkinnedButton;
class StatisticsBar;

// The main window: the import fields, the score grid with its cell editor
// box, the statistics fields and figures, and the six commands. Every widget
// carries an object name that says what it holds (classSizeField, the
// figures by their keys, …).
class MainWindow : public SkinnedWindow {
    Q_OBJECT

public:
    explicit MainWindow();

    // Puts the file's full path into the path field and imports it with the
    // fields as they stand: a workbook named on the command line or dropped.
    void openWorkbook(const QString &path);
    // From the desktop or the command line: the fields come from the header
    // found in the workbook when it names a number, a name and a score.
    void openFromDesktop(const QString &path);

signals:
    // The program is to end: raised by the exit command and by every close.
    void programEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Tests and the rest of the program reach these by their object names.
    ScoreGridView *scoreGrid;
    QLineEdit *cellEditor; // lies over the grid's current cell and edits it

    // The import fields.
    QLineEdit *workbookPathField;
    QLineEdit *sheetNameField;
    QLineEdit *firstRowField;
    QLineEdit *numberColumnField;
    QLineEdit *nameColumnField;
    QLineEdit *scoreColumnField;

    // The statistics fields.
    QLineEdit *classSizeField;
    QLineEdit *excellentLowField;
    QLineEdit *excellentHighField;
    QLineEdit *goodLowField;
    QLineEdit *goodHighField;

    SkinnedButton *exitButton;
    SkinnedButton *helpButton;
    SkinnedButton *sortButton;
    SkinnedButton *importButton;
    SkinnedButton *statisticsButton;
    SkinnedButton *browseButton;
    SkinnedButton *reportButton; // opens the report window

    CaptionFrame *resultsFrame;
    CaptionFrame *importFrame;
    CaptionFrame *columnsFrame; // inside the import frame

    // The labels the statistics write, one for each figure.
    std::array<QLabel *, analysis::FigureCount> figureLabels;
    // The head counts of the last statistics as one bar, below the figures.
    StatisticsBar *statisticsBar;

    void browse();
    bool importWorkbook();
    void computeStatistics();
    void sortGrid();
    void showReport();
    void buildGridAndBands();
    void buildImportFrame();
    void buildResultsFrame();
    void buildClassSizeRow();
    SkinnedButton *addButton(const char *name, const QString &caption, int posx, int posy,
                             QWidget *parent, QRect geometry);
    void connectCommands();
    void applySkin();
    void setTabOrder();

    void enterCell();
    void leaveCell();
    void placeEditor();
    void loadEditorFromCurrentCell();
    // Hands an open report window the grid and fields as they now stand.
    void updateReport();

    bool m_editorActive = false; // the box has been shown over a cell
};
