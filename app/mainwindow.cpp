#include "app/mainwindow.h"

#include "analysis/figures/statistics.h"
#include "analysis/grid/workbookimport.h"
#include "analysis/layout/filelayout.h"
#include "analysis/texts/messages.h"
#include "app/captionframe.h"
#include "app/desktop.h"
#include "app/numerickeyfilter.h"
#include "app/scoregridview.h"
#include "app/statisticsbar.h"
#include "skin/captionbutton.h"
#include "skin/colors.h"
#include "skin/linedlabel.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "skin/twips.h"
#include "skin/windowshape.h"
#include "windows/aboutpanel.h"
#include "windows/filedialog.h"
#include "windows/messagebox.h"
#include "windows/reportwindow.h"
#include "workbook/workbook.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace {

QLabel *makeLabel(QWidget *parent, const QString &text, QRect twips, QColor color = Qt::black,
                  bool song = false, QLabel *label = nullptr) {
    if (!label) label = new QLabel(parent);
    label->setText(text);
    label->setGeometry(twips);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    if (song) label->setFont(songFont(10.5));
    return label;
}

QLineEdit *makeField(QWidget *parent, const char *name, const QString &text, QRect twips) {
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(twips);
    // A file dropped on a field opens it like a drop anywhere on the window.
    field->setAcceptDrops(false);
    return field;
}

// A figure in the clearer Song face without antialiasing, so that every ink
// pixel shows the full text colour on the blue frame, on the baseline of the
// caption beside it.
QLabel *makeFigureLabel(QWidget *parent) {
    auto *label = new LinedLabel(parent, QFontMetrics(songFont(10.5)).ascent(), 0);
    QFont font = readingSongFont(10.5);
    font.setStyleStrategy(QFont::NoAntialias);
    label->setFont(font);
    return label;
}

CaptionFrame *makeFrame(QWidget *parent, const char *name, const QString &caption, QRect twips) {
    auto *frame = new CaptionFrame(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(twips);
    return frame;
}

} // namespace

MainWindow::MainWindow()
    : SkinnedWindow(
          {QStringLiteral("成绩分析软件"), QPoint(450, 210), QPoint(440, 200), skin::Base}, {}) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("墨序成绩统计软件"));
    setWindowIcon(skin::programIcon());
    setFixedSize(twipsToPixels(11745), twipsToPixels(8025));
    setFont(songFont(9));
    setAcceptDrops(true);

    buildGridAndBands();
    buildImportFrame();
    buildResultsFrame();
    buildClassSizeRow();
    addLogoAndCloseButton(QPoint(11280, 120));
    setTabOrder();
    applySkin();
    connectCommands();
    scoreGrid->setFocus();
}

SkinnedButton *MainWindow::addButton(const char *name, const QString &caption, int posx, int posy,
                                     QWidget *parent, QRect geometry) {
    auto *button = new SkinnedButton(caption, posx, posy, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

void MainWindow::buildGridAndBands() {
    scoreGrid = new ScoreGridView(this);
    scoreGrid->setObjectName(QStringLiteral("scoreGrid"));
    scoreGrid->setGeometry(twipsRect(240, 840, 3255, 6375));

    makeLabel(this, QStringLiteral("  学号"), twipsRect(360, 600, 735, 255));
    makeLabel(this, QStringLiteral("  姓名"), twipsRect(1320, 600, 735, 255));
    makeLabel(this, QStringLiteral(" 成绩"), twipsRect(2280, 600, 615, 255));

    const QColor magenta(255, 0, 255);
    makeLabel(this, QStringLiteral("优秀分数段"), twipsRect(3840, 600, 1095, 255), magenta);
    excellentLowField =
        makeField(this, "excellentLowField", QStringLiteral("85"), twipsRect(3720, 840, 495, 270));
    makeLabel(this, QStringLiteral("到"), twipsRect(4215, 885, 255, 255));
    excellentHighField = makeField(this, "excellentHighField", QStringLiteral("100"),
                                   twipsRect(4440, 840, 495, 270));
    makeLabel(this, QStringLiteral("良好分数段"), twipsRect(5400, 600, 975, 255), magenta);
    goodLowField =
        makeField(this, "goodLowField", QStringLiteral("75"), twipsRect(5160, 840, 495, 270));
    makeLabel(this, QStringLiteral("到"), twipsRect(5760, 885, 255, 255));
    goodHighField =
        makeField(this, "goodHighField", QStringLiteral("85"), twipsRect(6000, 840, 495, 270));

    statisticsButton = addButton("statisticsButton", QStringLiteral("成 绩  统 计 与 分 析"), 600,
                                 80, this, twipsRect(3720, 1440, 2775, 375));
    helpButton = addButton("helpButton", QStringLiteral("帮　　助"), 1050, 80, this,
                           twipsRect(3720, 2160, 2775, 375));
    exitButton = addButton("exitButton", QStringLiteral("退  出"), 1200, 80, this,
                           twipsRect(3720, 2880, 2775, 375));
}

void MainWindow::buildImportFrame() {
    importFrame = makeFrame(this, "importFrame", QStringLiteral("导 入 数 据"),
                            twipsRect(3720, 3480, 2775, 4335));
    makeLabel(importFrame, QStringLiteral("文件路径"), twipsRect(140, 580, 735, 255));
    workbookPathField =
        makeField(importFrame, "workbookPathField", QString(), twipsRect(840, 480, 1215, 270));
    browseButton = addButton("browseButton", QStringLiteral("浏览"), 90, 35, importFrame,
                             twipsRect(2070, 480, 560, 280));
    makeLabel(importFrame, QStringLiteral("表格名称"), twipsRect(140, 1060, 735, 255));
    sheetNameField = makeField(importFrame, "sheetNameField", QStringLiteral("Sheet1"),
                               twipsRect(1080, 960, 1575, 270));
    makeLabel(importFrame, QStringLiteral("数据起始行"), twipsRect(140, 1420, 1095, 255));
    firstRowField = makeField(importFrame, "firstRowField", QStringLiteral("2"),
                              twipsRect(1080, 1320, 1575, 270));

    columnsFrame = makeFrame(importFrame, "columnsFrame", QStringLiteral("数据对应关系"),
                             twipsRect(120, 1800, 2535, 1815));
    // Each row reads as a sentence: the student number is in column 1.
    const auto columnRow = [this](int top, const QString &caption, int captionWidth,
                                  const char *name, const QString &column) {
        makeLabel(columnsFrame, caption, twipsRect(120, top, captionWidth, 255));
        QLineEdit *field = makeField(columnsFrame, name, column, twipsRect(1080, top, 735, 270));
        makeLabel(columnsFrame, QStringLiteral("列"), twipsRect(1920, top, 375, 255));
        return field;
    };
    numberColumnField =
        columnRow(360, QStringLiteral("学号在"), 735, "numberColumnField", QStringLiteral("1"));
    nameColumnField =
        columnRow(840, QStringLiteral("姓名在"), 615, "nameColumnField", QStringLiteral("2"));
    scoreColumnField =
        columnRow(1320, QStringLiteral("成绩在"), 735, "scoreColumnField", QStringLiteral("3"));

    importButton = addButton("importButton", QStringLiteral("数　据　导　入"), 450, 80, importFrame,
                             twipsRect(360, 3840, 2175, 375));
}

void MainWindow::buildResultsFrame() {
    using analysis::Figure;
    resultsFrame = makeFrame(this, "resultsFrame", QStringLiteral("分 析 结 果"),
                             twipsRect(6720, 840, 4815, 6975));
    // Caption at left 120, figure at 2160 and, for rates, "%" at 2880.
    struct Row {
        Figure figure;
        int top;
        int captionWidth;
        int figureWidth;
        QColor color;
        int unitWidth; // 0: no unit label
    };
    const Row rows[] = {
        {Figure::Total, 600, 975, 1095, QColor(255, 128, 0), 0},
        {Figure::Average, 1200, 855, 855, QColor(255, 255, 0), 0},
        {Figure::Excellent, 1800, 1095, 615, QColor(255, 0, 0), 0},
        {Figure::Good, 2400, 1095, 735, QColor(255, 0, 255), 0},
        {Figure::Qualified, 3120, 855, 975, QColor(255, 0, 255), 0},
        {Figure::Failing, 3840, 1095, 1095, QColor(255, 0, 0), 0},
        {Figure::ExcellentRate, 4560, 735, 615, QColor(255, 0, 0), 495},
        {Figure::PassRate, 5280, 735, 615, QColor(255, 128, 0), 495},
        {Figure::GoodRate, 6000, 855, 615, QColor(255, 0, 255), 375},
    };
    for (const Row &row : rows) {
        const analysis::FigureInfo &info = analysis::figureInfo(row.figure);
        makeLabel(resultsFrame, QString::fromUtf8(info.caption),
                  twipsRect(120, row.top, row.captionWidth, 255), Qt::black, true);
        const int height = row.figure == Figure::Average ? 375 : 255;
        QLabel *label =
            makeLabel(resultsFrame, QString(), twipsRect(2160, row.top, row.figureWidth, height),
                      row.color, false, makeFigureLabel(resultsFrame));
        label->setObjectName(QLatin1String(info.key));
        figureLabels[std::size_t(row.figure)] = label;
        if (info.percent)
            makeLabel(resultsFrame, QStringLiteral("%"),
                      twipsRect(2880, row.top, row.unitWidth, 255), Qt::black, true);
    }
    // In the strip the rows leave free at the frame's foot.
    statisticsBar = new StatisticsBar(resultsFrame);
    statisticsBar->setObjectName(QStringLiteral("statisticsBar"));
    statisticsBar->setGeometry(twipsRect(120, 6360, 4575, 540));
    // Right of the figures' "%" column, which the rows leave free.
    reportButton = addButton("reportButton", QStringLiteral("分析报告"), 200, 80, resultsFrame,
                             twipsRect(3480, 600, 1215, 375));
}

void MainWindow::buildClassSizeRow() {
    makeLabel(this, QStringLiteral("班级人数"), twipsRect(240, 7540, 855, 255), QColor(255, 0, 0),
              true);
    classSizeField = makeField(this, "classSizeField", QString(), twipsRect(1080, 7500, 495, 270));
    sortButton = addButton("sortButton", QStringLiteral("降　序　排　列"), 300, 80, this,
                           twipsRect(1680, 7440, 1815, 375));

    cellEditor = makeField(this, "cellEditor", QString(), twipsRect(5760, 240, 855, 200));
    cellEditor->setFrame(false);
    cellEditor->hide();
    cellEditor->raise();
}

void MainWindow::connectCommands() {
    for (QLineEdit *field :
         {classSizeField, firstRowField, numberColumnField, nameColumnField, scoreColumnField,
          excellentLowField, excellentHighField, goodLowField, goodHighField})
        NumericKeyFilter::install(field);
    connect(exitButton, &SkinnedButton::clicked, this, &QWidget::close);
    connect(helpButton, &SkinnedButton::clicked, this, [] { AboutPanel::showPanel(); });
    connect(sortButton, &SkinnedButton::clicked, this, &MainWindow::sortGrid);
    connect(importButton, &SkinnedButton::clicked, this, &MainWindow::importWorkbook);
    connect(statisticsButton, &SkinnedButton::clicked, this, &MainWindow::computeStatistics);
    connect(browseButton, &SkinnedButton::clicked, this, &MainWindow::browse);
    connect(reportButton, &SkinnedButton::clicked, this, &MainWindow::showReport);
    // An open report follows every field it reads.
    for (QLineEdit *field : {classSizeField, excellentLowField, goodLowField, workbookPathField})
        connect(field, &QLineEdit::textChanged, this, &MainWindow::updateReport);
    connect(scoreGrid, &ScoreGridView::leavingCell, this, &MainWindow::leaveCell);
    connect(scoreGrid, &ScoreGridView::cellEntered, this, &MainWindow::enterCell);
    connect(scoreGrid, &ScoreGridView::scrolled, this, &MainWindow::placeEditor);
    cellEditor->installEventFilter(this);
}

// The colours and the outline set when the window loads.
void MainWindow::applySkin() {
    for (SkinnedButton *button : {exitButton, helpButton, sortButton, importButton,
                                  statisticsButton, browseButton, reportButton})
        button->setFaceColor(toQColor(skin::ButtonColor));
    closeButton->setBackgroundColor(toQColor(skin::Base));
    const auto tint = [](CaptionFrame *frame, std::int16_t amount) {
        QPalette palette = frame->palette();
        palette.setColor(QPalette::Window, toQColor(ShiftColor(skin::Base, amount)));
        frame->setPalette(palette);
    };
    tint(resultsFrame, 10);
    tint(columnsFrame, 50);
    tint(importFrame, 50);
    ApplyRoundRegion(this, 20);
}

void MainWindow::setTabOrder() {
    const QList<QWidget *> order = {
        scoreGrid,          classSizeField,   cellEditor,        excellentLowField,
        excellentHighField, goodLowField,     goodHighField,     workbookPathField,
        sheetNameField,     firstRowField,    numberColumnField, nameColumnField,
        scoreColumnField,   statisticsButton, exitButton,        helpButton,
        sortButton,         importButton,     browseButton,      reportButton};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MainWindow::closeEvent(QCloseEvent *event) {
    event->accept();
    emit programEnded();
}

void MainWindow::browse() {
    // A cancelled dialog leaves the path field as it was, typed text included.
    const std::optional<QString> path =
        FileDialog::getOpenFileName(this,
                                    QStringLiteral("所有工作簿 (%1);;"
                                                   "Excel 97-2003 工作簿 (*.xls);;"
                                                   "Excel 工作簿 (*.xlsx *.xlsm);;"
                                                   "OpenDocument 电子表格 (*.ods);;"
                                                   "WPS 表格 (*.et *.ett);;"
                                                   "文本文件 (*.csv *.txt)")
                                        .arg(analysis::workbookPatterns()),
                                    workbookPathField->text());
    if (path) workbookPathField->setText(*path);
}

bool MainWindow::importWorkbook() {
    const analysis::ImportFields fields{workbookPathField->text(), sheetNameField->text(),
                                        firstRowField->text(),     numberColumnField->text(),
                                        nameColumnField->text(),   scoreColumnField->text()};
    const analysis::ImportOutcome outcome = analysis::importWorkbook(fields, scoreGrid->cells());
    scoreGrid->refresh();
    scoreGrid->showFirstRow();
    // The grid changed under the box: reload it, or the next leave would
    // write stale text into the current cell.
    loadEditorFromCurrentCell();
    updateReport();
    if (!outcome.ok()) MessageBox::show(this, outcome.message);
    return outcome.ok();
}

void MainWindow::computeStatistics() {
    const analysis::StatisticsFields fields{classSizeField->text(), excellentLowField->text(),
                                            excellentHighField->text(), goodLowField->text(),
                                            goodHighField->text()};
    const analysis::StatisticsOutcome outcome =
        analysis::computeStatistics(fields, scoreGrid->cells());
    if (!outcome.ok) {
        MessageBox::show(this, outcome.message);
        return;
    }
    for (const analysis::FigureInfo &info : analysis::Figures) {
        QLabel *label = figureLabels[std::size_t(info.figure)];
        label->setText(outcome.figures.*info.text);
        // A rate's fifteen digits may be wider than its label: the tip shows them whole.
        label->setToolTip(label->text());
    }
    statisticsBar->setCounts(outcome.counts);
}

void MainWindow::openWorkbook(const QString &path) {
    workbookPathField->setText(QFileInfo(path).absoluteFilePath());
    importWorkbook();
}

void MainWindow::openFromDesktop(const QString &path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const analysis::SheetLayout layout = analysis::detectFileLayout(absolute, std::nullopt);
    // Columns guessed from content alone are not used: only a header names them.
    const std::optional<analysis::ImportFields> found =
        layout.headerRow > 0 ? analysis::layoutImportFields(layout, absolute) : std::nullopt;
    if (found) {
        sheetNameField->setText(found->sheet);
        firstRowField->setText(found->firstRow);
        numberColumnField->setText(found->numberColumn);
        nameColumnField->setText(found->nameColumn);
        scoreColumnField->setText(found->scoreColumn);
    }
    // Where filled fields came from is said on them, not left to be guessed.
    const QString origin =
        found ? analysis::messages::fieldsFromHeader(found->sheet, layout.headerRow) : QString();
    for (QLineEdit *field :
         {sheetNameField, firstRowField, numberColumnField, nameColumnField, scoreColumnField})
        field->setToolTip(origin);
    workbookPathField->setText(absolute);
    // A long table mixes every subject in its score column: no one subject to import.
    if (layout.course.found()) {
        MessageBox::show(
            this, analysis::messages::longTableElsewhere(layout.sheetName, layout.course.column));
        return;
    }
    const int rows = found ? analysis::dataRowCount(layout) : 0;
    if (importWorkbook() && rows > 0) {
        scoreGrid->cells().clearRowsFrom(rows);
        scoreGrid->refresh();
        loadEditorFromCurrentCell();
        updateReport();
    }
}

void MainWindow::sortGrid() {
    scoreGrid->sortDescending();
    scoreGrid->showFirstRow();
    loadEditorFromCurrentCell();
    updateReport();
}

void MainWindow::showReport() {
    ReportWindow::showWindow();
    updateReport();
}

void MainWindow::updateReport() {
    if (ReportWindow *report = ReportWindow::instance())
        report->setSource({scoreGrid->cells(), classSizeField->text(), excellentLowField->text(),
                           goodLowField->text(), workbookPathField->text()});
}

void MainWindow::enterCell() {
    m_editorActive = true;
    placeEditor();
    loadEditorFromCurrentCell();
}

void MainWindow::leaveCell() {
    scoreGrid->setCellText(scoreGrid->currentRow(), scoreGrid->currentColumn(), cellEditor->text());
    updateReport();
}

// Lays the box over the current cell, or hides it while the cell is scrolled
// out of view, so that what is typed lands in the cell under the box.
void MainWindow::placeEditor() {
    if (!m_editorActive) return;
    if (!scoreGrid->isCurrentCellVisible()) {
        cellEditor->hide();
        return;
    }
    cellEditor->setGeometry(
        twipsToPixels(scoreGrid->leftTwips() + scoreGrid->currentCellLeftTwips()),
        twipsToPixels(scoreGrid->topTwips() + scoreGrid->currentCellTopTwips()),
        twipsToPixels(scoreGrid->currentCellWidthTwips()), cellEditor->height());
    cellEditor->show();
}

void MainWindow::loadEditorFromCurrentCell() {
    cellEditor->setText(scoreGrid->cellText(scoreGrid->currentRow(), scoreGrid->currentColumn()));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == cellEditor && event->type() == QEvent::FocusOut)
        leaveCell(); // stores the box's text into the current cell
    return SkinnedWindow::eventFilter(watched, event);
}

// Only a workbook file is taken; anything else is refused and changes nothing.
void MainWindow::dragEnterEvent(QDragEnterEvent *event) {
    if (!desktop::droppedWorkbook(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event) {
    const QString path = desktop::droppedWorkbook(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    openWorkbook(path);
}
