#include "app/filedialog.h"
#include "app/mainwindow.h"
#include "app/messagebox.h"
#include "app/scoregridview.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"

#include "app/captionframe.h"
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString Sample = QStringLiteral(SCORE_SAMPLES_DIR "/class.xls");

QPoint cellCenter(ScoreGridView *grid, int row, int column) {
    const int top = (row - grid->verticalScrollBar()->value()) * ScoreGridView::rowHeightPixels();
    return {column * ScoreGridView::columnWidthPixels() + ScoreGridView::columnWidthPixels() / 2,
            top + ScoreGridView::rowHeightPixels() / 2};
}

// Text outside Latin-1 can't go through keyClicks; send it key by key.
void typeText(QWidget *widget, const QString &text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QLabel *labelWithText(QWidget *window, const QString &text) {
    for (QLabel *label : window->findChildren<QLabel *>())
        if (label->text() == text) return label;
    return nullptr;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void freshWindow();
    void labelsShowTheirGlyphs();
    void tabOrder();
    void numericFields_data();
    void numericFields();
    void freeTextFields();

    void clickShowsBoxOverCell();
    void typedTextStaysInItsCell();
    void movingWithoutTypingChangesNothing();
    void typingOnTheGridChangesNothing();
    void enterInTheBoxDoesNothing();
    void boxLosingFocusStores();
    void boxFollowsItsCellWhenScrolling();

    void importThroughTheButton();
    void importReloadsTheBox();
    void importFailures_data();
    void importFailures();
    void statisticsThroughTheButton();
    void statisticsFailureKeepsFigures();
    void sortByEachColumn_data();
    void sortByEachColumn();

    void browse();
    void exitEndsTheProgram();
    void realMessageBox();

private:
    void showWindow();
    void clickCell(int row, int column);
    void import(const QString &path);

    std::unique_ptr<MainWindow> form;
    QStringList messages;
};

void TestMainWindow::initTestCase() {
    installSongFaceSubstitutes();
}

void TestMainWindow::init() {
    messages.clear();
    MessageBox::setRecorder([this](const QString &text) { messages.append(text); });
    form = std::make_unique<MainWindow>();
}

void TestMainWindow::cleanup() {
    form.reset();
    MessageBox::setRecorder({});
}

void TestMainWindow::showWindow() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void TestMainWindow::clickCell(int row, int column) {
    QTest::mouseClick(form->scoreGrid->viewport(), Qt::LeftButton, {},
                      cellCenter(form->scoreGrid, row, column));
}

void TestMainWindow::import(const QString &path) {
    form->workbookPathField->setText(path);
    QTest::mouseClick(form->importButton, Qt::LeftButton);
}

void TestMainWindow::freshWindow() {
    showWindow();
    QCOMPARE(form->windowTitle(), QString("墨序成绩统计软件"));
    QCOMPARE(form->size(), QSize(783, 535));
    QCOMPARE(QApplication::focusWidget(), form->scoreGrid);
    QCOMPARE(form->scoreGrid->geometry(), QRect(16, 56, 217, 425));
    QCOMPARE(form->scoreGrid->rowCount(), 100);
    QCOMPARE(form->scoreGrid->columnCount(), 3);

    const QStringList fields = {"sheetNameField",     "firstRowField",    "numberColumnField",
                                "nameColumnField",    "scoreColumnField", "excellentLowField",
                                "excellentHighField", "goodLowField",     "goodHighField",
                                "classSizeField",     "workbookPathField"};
    const QStringList defaults = {"Sheet1", "2", "1", "2", "3", "85", "100", "75", "85", "", ""};
    for (int i = 0; i < fields.size(); ++i)
        QCOMPARE(form->findChild<QLineEdit *>(fields[i])->text(), defaults[i]);
    for (QLabel *figure :
         {form->figureLabel(analysis::Figure::Total), form->figureLabel(analysis::Figure::Average),
          form->figureLabel(analysis::Figure::Failing),
          form->figureLabel(analysis::Figure::PassRate),
          form->figureLabel(analysis::Figure::ExcellentRate),
          form->figureLabel(analysis::Figure::Excellent), form->figureLabel(analysis::Figure::Good),
          form->figureLabel(analysis::Figure::Qualified),
          form->figureLabel(analysis::Figure::GoodRate)})
        QVERIFY(figure->text().isEmpty());
    QVERIFY(form->cellEditor->isHidden());

    const QStringList captions = {
        "退  出", "帮　　助", "降　序　排　列", "数　据　导　入", "成 绩  统 计 与 分 析", "浏览"};
    const SkinnedButton *buttons[] = {form->exitButton,       form->helpButton,
                                      form->sortButton,       form->importButton,
                                      form->statisticsButton, form->browseButton};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(buttons[i]->text(), captions[i]);
    QCOMPARE(form->resultsFrame->title(), QString("分 析 结 果"));
    QCOMPARE(form->importFrame->title(), QString("导 入 数 据"));
    QCOMPARE(labelWithText(form.get(), "  学号")->geometry(), QRect(24, 40, 49, 17));
    QCOMPARE(labelWithText(form.get(), " 成绩")->geometry(), QRect(152, 40, 41, 17));
    QCOMPARE(labelWithText(form.get(), "班级人数")->palette().color(QPalette::WindowText),
             QColor(255, 0, 0));
    QCOMPARE(form->figureLabel(analysis::Figure::Average)->palette().color(QPalette::WindowText),
             QColor(255, 255, 0));
    QCOMPARE(form->figureLabel(analysis::Figure::Average)->height(), 25);
    QCOMPARE(labelWithText(form.get(), "班级人数")->font().pointSizeF(), 10.5);
    // Positions inside the frames are relative to them.
    QCOMPARE(form->numberColumnField->geometry(), QRect(72, 24, 49, 18));
    QCOMPARE(form->importButton->geometry(), QRect(24, 256, 145, 25));
    QCOMPARE(form->cellEditor->geometry(), QRect(384, 16, 57, 13));
}

void TestMainWindow::labelsShowTheirGlyphs() {
    for (QLabel *label : form->findChildren<QLabel *>()) {
        const QFontMetrics metrics(label->font());
        for (QChar c : label->text())
            QVERIFY2(c.isSpace() || metrics.inFont(c),
                     qPrintable(label->objectName() + ": " + QString(c)));
    }
    for (SkinnedButton *button : form->findChildren<SkinnedButton *>()) {
        const QFontMetrics metrics(button->font());
        for (QChar c : button->text())
            QVERIFY2(c.isSpace() || metrics.inFont(c), qPrintable(button->objectName()));
    }
}

void TestMainWindow::tabOrder() {
    showWindow();
    const auto walk = [](int steps) {
        QStringList names;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            names.append(QApplication::focusWidget()->objectName());
        }
        return names;
    };
    const QStringList expected = {"classSizeField",  "excellentLowField", "excellentHighField",
                                  "goodLowField",    "goodHighField",     "workbookPathField",
                                  "sheetNameField",  "firstRowField",     "numberColumnField",
                                  "nameColumnField", "scoreColumnField",  "statisticsButton",
                                  "exitButton",      "helpButton",        "sortButton",
                                  "importButton",    "browseButton",      "scoreGrid"};
    QCOMPARE(walk(int(expected.size())), expected);

    // Once the box is shown over a cell it takes its place after the class size.
    clickCell(0, 0);
    clickCell(1, 0);
    QCOMPARE(walk(3), (QStringList{"classSizeField", "cellEditor", "excellentLowField"}));
}

void TestMainWindow::numericFields_data() {
    QTest::addColumn<QString>("name");
    for (const char *name : {"classSizeField", "firstRowField", "numberColumnField",
                             "nameColumnField", "scoreColumnField", "excellentLowField",
                             "excellentHighField", "goodLowField", "goodHighField"})
        QTest::newRow(name) << name;
}

void TestMainWindow::numericFields() {
    QFETCH(QString, name);
    auto *field = form->findChild<QLineEdit *>(name);
    QVERIFY(field);
    field->clear();
    typeText(field, QStringLiteral("a1-, 2中.3/:"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QString("12.3"));
}

void TestMainWindow::freeTextFields() {
    showWindow();
    clickCell(0, 0);
    clickCell(0, 1); // shows the box
    const QString everything = QStringLiteral("a1-, 2中.3/:");
    for (QLineEdit *field : {form->workbookPathField, form->sheetNameField, form->cellEditor}) {
        field->clear();
        typeText(field, everything);
        QCOMPARE(field->text(), everything);
    }
}

void TestMainWindow::clickShowsBoxOverCell() {
    showWindow();
    form->scoreGrid->setCellText(2, 1, QStringLiteral("李四"));
    clickCell(2, 1);
    QVERIFY(form->cellEditor->isVisible());
    QCOMPARE(form->scoreGrid->currentRow(), 2);
    QCOMPARE(form->scoreGrid->currentColumn(), 1);
    const QPoint cellOnWindow = form->scoreGrid->viewport()->mapTo(
        form.get(),
        QPoint(ScoreGridView::columnWidthPixels(), 2 * ScoreGridView::rowHeightPixels()));
    QCOMPARE(form->cellEditor->geometry(),
             QRect(cellOnWindow, QSize(ScoreGridView::columnWidthPixels(), 13)));
    QCOMPARE(form->cellEditor->text(), QString("李四"));
    QCOMPARE(QApplication::focusWidget(), form->scoreGrid);
}

void TestMainWindow::typedTextStaysInItsCell() {
    showWindow();
    form->scoreGrid->setCellText(1, 2, QStringLiteral("60"));
    clickCell(0, 2);
    QTest::mouseClick(form->cellEditor, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), form->cellEditor);
    QTest::keyClicks(form->cellEditor, "72");
    clickCell(1, 2);
    QCOMPARE(form->scoreGrid->cellText(0, 2), QString("72"));
    QCOMPARE(form->scoreGrid->cellText(1, 2), QString("60"));
    QCOMPARE(form->cellEditor->text(), QString("60"));
}

void TestMainWindow::movingWithoutTypingChangesNothing() {
    showWindow();
    import(Sample);
    const analysis::ScoreGrid before = form->scoreGrid->cells();
    clickCell(3, 1);
    clickCell(5, 2);
    QTest::keyClick(form->scoreGrid, Qt::Key_Down);
    QTest::keyClick(form->scoreGrid, Qt::Key_Left);
    clickCell(0, 0);
    QVERIFY(form->scoreGrid->cells() == before);
}

void TestMainWindow::typingOnTheGridChangesNothing() {
    showWindow();
    import(Sample);
    const analysis::ScoreGrid before = form->scoreGrid->cells();
    clickCell(2, 2);
    QTest::keyClicks(form->scoreGrid, "99");
    clickCell(3, 2);
    QVERIFY(form->scoreGrid->cells() == before);
}

void TestMainWindow::enterInTheBoxDoesNothing() {
    showWindow();
    form->scoreGrid->setCellText(0, 1, QStringLiteral("old"));
    clickCell(0, 1);
    QTest::mouseClick(form->cellEditor, Qt::LeftButton);
    form->cellEditor->selectAll();
    QTest::keyClicks(form->cellEditor, "new");
    QTest::keyClick(form->cellEditor, Qt::Key_Return);
    QCOMPARE(form->scoreGrid->cellText(0, 1), QString("old"));
    QCOMPARE(form->scoreGrid->currentRow(), 0);
    QCOMPARE(QApplication::focusWidget(), form->cellEditor);
    QCOMPARE(form->cellEditor->text(), QString("new"));
}

void TestMainWindow::boxLosingFocusStores() {
    showWindow();
    clickCell(4, 0);
    QTest::mouseClick(form->cellEditor, Qt::LeftButton);
    QTest::keyClicks(form->cellEditor, "1005");
    QTest::keyClick(form->cellEditor, Qt::Key_Tab);
    QCOMPARE(form->scoreGrid->cellText(4, 0), QString("1005"));
}

void TestMainWindow::boxFollowsItsCellWhenScrolling() {
    showWindow();
    form->scoreGrid->setCellText(1, 2, QStringLiteral("88"));
    clickCell(1, 2);
    const QRect placed = form->cellEditor->geometry();
    form->scoreGrid->verticalScrollBar()->setValue(40);
    QVERIFY(form->cellEditor->isHidden());
    form->scoreGrid->verticalScrollBar()->setValue(1);
    QVERIFY(form->cellEditor->isVisible());
    QCOMPARE(form->cellEditor->geometry(), placed.translated(0, -ScoreGridView::rowHeightPixels()));
    QCOMPARE(form->cellEditor->text(), QString("88"));
}

void TestMainWindow::importThroughTheButton() {
    showWindow();
    form->scoreGrid->setCellText(60, 1, QStringLiteral("stale"));
    import(Sample);
    QVERIFY(messages.isEmpty());
    QCOMPARE(form->scoreGrid->cellText(0, 0), QString("20240101"));
    QCOMPARE(form->scoreGrid->cellText(0, 1), QString("张伟"));
    QCOMPARE(form->scoreGrid->cellText(29, 2), QString("82"));
    QVERIFY(form->scoreGrid->cellText(60, 1).isEmpty());
    QCOMPARE(form->cellEditor->text(), QString("20240101"));
}

void TestMainWindow::importReloadsTheBox() {
    showWindow();
    import(Sample);
    clickCell(3, 1);
    QCOMPARE(form->cellEditor->text(), QString("刘洋"));
    // A second import from another first row moves the names under the box.
    form->firstRowField->setText(QStringLiteral("3"));
    import(Sample);
    QCOMPARE(form->cellEditor->text(), QString("陈静"));
    clickCell(4, 1);
    QCOMPARE(form->scoreGrid->cellText(3, 1), QString("陈静"));
}

void TestMainWindow::importFailures_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");

    QTest::newRow("no path") << ""
                             << ""
                             << ""
                             << "无法打开Excel文件，请检查后重新输入文件名及路径！";
    QTest::newRow("missing file") << "/nonexistent/class.xls"
                                  << ""
                                  << ""
                                  << "无法打开Excel文件，请检查后重新输入文件名及路径！";
    QTest::newRow("directory") << SCORE_SAMPLES_DIR << ""
                               << ""
                               << "无法打开Excel文件，请检查后重新输入文件名及路径！";
    QTest::newRow("not a workbook") << SCORE_SAMPLES_DIR "/make_sample.py"
                                    << ""
                                    << ""
                                    << "文件类型不对，请选择Excel文档！";
    QTest::newRow("sheet missing") << Sample << "sheetNameField"
                                   << "Sheet9"
                                   << "输入表格名称有误，无法打开表格，请重新输入！";
    QTest::newRow("column zero") << Sample << "scoreColumnField"
                                 << "0"
                                 << "输入表格列号超界，请重新输入！";
    QTest::newRow("column 257") << Sample << "numberColumnField"
                                << "257"
                                << "输入表格列号超界，请重新输入！";
    QTest::newRow("rows past 32767") << Sample << "firstRowField"
                                     << "32700"
                                     << "未知错误，错误号： 6　请检查输入值！";
    QTest::newRow("first row zero") << Sample << "firstRowField"
                                    << "0"
                                    << "数据起始行输入有误，请输入1到32668之间的行号！";
}

void TestMainWindow::importFailures() {
    QFETCH(QString, path);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    showWindow();
    if (!field.isEmpty()) form->findChild<QLineEdit *>(field)->setText(value);
    import(path);
    QCOMPARE(messages, QStringList{message});
    QCOMPARE(form->workbookPathField->text(), path);
    if (!field.isEmpty()) QCOMPARE(form->findChild<QLineEdit *>(field)->text(), value);
}

void TestMainWindow::statisticsThroughTheButton() {
    showWindow();
    import(Sample);
    QTest::keyClicks(form->classSizeField, "30");
    QTest::mouseClick(form->statisticsButton, Qt::LeftButton);
    QVERIFY(messages.isEmpty());
    const QStringList shown = {form->figureLabel(analysis::Figure::Total)->text(),
                               form->figureLabel(analysis::Figure::Average)->text(),
                               form->figureLabel(analysis::Figure::Excellent)->text(),
                               form->figureLabel(analysis::Figure::Good)->text(),
                               form->figureLabel(analysis::Figure::Qualified)->text(),
                               form->figureLabel(analysis::Figure::Failing)->text(),
                               form->figureLabel(analysis::Figure::ExcellentRate)->text(),
                               form->figureLabel(analysis::Figure::PassRate)->text(),
                               form->figureLabel(analysis::Figure::GoodRate)->text()};
    QCOMPARE(shown,
             (QStringList{"2337", "77.9", "9", "10", "8", "3", "30", "90", "33.3333333333333"}));
}

void TestMainWindow::statisticsFailureKeepsFigures() {
    showWindow();
    import(Sample);
    form->classSizeField->setText(QStringLiteral("30"));
    QTest::mouseClick(form->statisticsButton, Qt::LeftButton);
    form->classSizeField->clear();
    QTest::mouseClick(form->statisticsButton, Qt::LeftButton);
    form->classSizeField->setText(QStringLiteral("0"));
    QTest::mouseClick(form->statisticsButton, Qt::LeftButton);
    QCOMPARE(messages,
             (QStringList{"您还没有输入班级人数", "班级人数输入有误，请输入1到100之间的人数！"}));
    QCOMPARE(form->figureLabel(analysis::Figure::Total)->text(), QString("2337"));
    QCOMPARE(form->figureLabel(analysis::Figure::GoodRate)->text(), QString("33.3333333333333"));
}

void TestMainWindow::sortByEachColumn_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("firstRow");
    QTest::newRow("student number") << 0 << QStringList{"20240130", "曹阳", "82"};
    QTest::newRow("name, pinyin zhu before zheng") << 1 << QStringList{"20240114", "朱琳", "83"};
    QTest::newRow("score") << 2 << QStringList{"20240113", "马超", "100"};
}

void TestMainWindow::sortByEachColumn() {
    QFETCH(int, column);
    QFETCH(QStringList, firstRow);
    showWindow();
    import(Sample);
    clickCell(0, column);
    QTest::mouseClick(form->sortButton, Qt::LeftButton);
    ScoreGridView *grid = form->scoreGrid;
    QCOMPARE((QStringList{grid->cellText(0, 0), grid->cellText(0, 1), grid->cellText(0, 2)}),
             firstRow);
    QVERIFY(grid->cells().isRowBlank(30));
    // The box holds what now stands in its cell, so leaving it stores nothing stale.
    QCOMPARE(form->cellEditor->text(), firstRow[column]);
    clickCell(5, column);
    QCOMPARE(grid->cellText(0, column), firstRow[column]);
}

void TestMainWindow::browse() {
    showWindow();
    QTest::keyClicks(form->workbookPathField, "typed.xls");
    FileDialog::setNextCancel();
    QTest::mouseClick(form->browseButton, Qt::LeftButton);
    QCOMPARE(form->workbookPathField->text(), QString("typed.xls"));
    FileDialog::setNextFileName(Sample);
    QTest::mouseClick(form->browseButton, Qt::LeftButton);
    QCOMPARE(form->workbookPathField->text(), Sample);
    FileDialog::setNextCancel();
    QTest::mouseClick(form->browseButton, Qt::LeftButton);
    QCOMPARE(form->workbookPathField->text(), Sample);
    // The first entry offers every kind of workbook the program reads.
    const QStringList entries = FileDialog::lastFilter().split(QStringLiteral(";;"));
    QCOMPARE(entries.size(), 4);
    for (const char *pattern : {"*.xls", "*.xlsx", "*.xlsm", "*.ods"})
        QVERIFY(entries[0].contains(QLatin1String(pattern)));
}

void TestMainWindow::exitEndsTheProgram() {
    showWindow();
    QSignalSpy ended(form.get(), &MainWindow::programEnded);
    QTest::mouseClick(form->exitButton, Qt::LeftButton);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!form->isVisible());
    QVERIFY(messages.isEmpty());
}

void TestMainWindow::realMessageBox() {
    MessageBox::setRecorder({});
    showWindow();
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QList<QAbstractButton *> buttons;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) return;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons();
        modal = box->isModal();
        if (!buttons.isEmpty()) QCOMPARE(buttons[0]->text(), QString("确定"));
        box->accept();
    });
    MessageBox::show(form.get(), QStringLiteral("您还没有输入班级人数"));
    QCOMPARE(title, QString("墨序成绩分析软件"));
    QCOMPARE(text, QString("您还没有输入班级人数"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons.size(), 1);
    QVERIFY(modal);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
