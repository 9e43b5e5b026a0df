#include "app/filedialog.h"
#include "app/scoregridview.h"
#include "skin/songfont.h"
#include "app/mainwindow.h"
#include "app/messagebox.h"
#include "skin/skinnedbutton.h"

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

QPoint cellCenter(FlexGrid *grid, int row, int column) {
    const int top = (row - grid->verticalScrollBar()->value()) * FlexGrid::rowHeightPixels();
    return {column * FlexGrid::columnWidthPixels() + FlexGrid::columnWidthPixels() / 2,
            top + FlexGrid::rowHeightPixels() / 2};
}

// Text outside Latin-1 can't go through keyClicks; send it key by key.
void typeText(QWidget *widget, const QString &text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class TestForm1 : public QObject {
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
    void showForm();
    void clickCell(int row, int column);
    void import(const QString &path);

    std::unique_ptr<Form1> form;
    QStringList messages;
};

void TestForm1::initTestCase() {
    installSongFaceSubstitutes();
}

void TestForm1::init() {
    messages.clear();
    MessageBox::setRecorder([this](const QString &text) { messages.append(text); });
    form = std::make_unique<Form1>();
}

void TestForm1::cleanup() {
    form.reset();
    MessageBox::setRecorder({});
}

void TestForm1::showForm() {
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void TestForm1::clickCell(int row, int column) {
    QTest::mouseClick(form->MSFlexGrid1->viewport(), Qt::LeftButton, {},
                      cellCenter(form->MSFlexGrid1, row, column));
}

void TestForm1::import(const QString &path) {
    form->Text7->setText(path);
    QTest::mouseClick(form->c1[3], Qt::LeftButton);
}

void TestForm1::freshWindow() {
    showForm();
    QCOMPARE(form->windowTitle(), QString("墨序成绩统计软件"));
    QCOMPARE(form->size(), QSize(783, 535));
    QCOMPARE(QApplication::focusWidget(), form->MSFlexGrid1);
    QCOMPARE(form->MSFlexGrid1->geometry(), QRect(16, 56, 217, 425));
    QCOMPARE(form->MSFlexGrid1->Rows(), 100);
    QCOMPARE(form->MSFlexGrid1->Cols(), 3);

    const QStringList fields = {"Text8",  "Text9",  "Text10", "Text11", "Text12", "Txt(0)",
                                "Txt(1)", "Txt(2)", "Txt(3)", "Text1",  "Text7"};
    const QStringList defaults = {"Sheet1", "2", "1", "2", "3", "85", "100", "75", "85", "", ""};
    for (int i = 0; i < fields.size(); ++i)
        QCOMPARE(form->findChild<QLineEdit *>(fields[i])->text(), defaults[i]);
    for (QLabel *figure : {form->Label2, form->Label5, form->Label7, form->Label9, form->Label12,
                           form->Label15, form->Label21, form->Label23, form->Label38})
        QVERIFY(figure->text().isEmpty());
    QVERIFY(form->Text2->isHidden());

    const QStringList captions = {
        "退  出", "帮　　助", "降　序　排　列", "数　据　导　入", "成 绩  统 计 与 分 析", "浏览"};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(form->c1[std::size_t(i)]->text(), captions[i]);
        QCOMPARE(form->c1[std::size_t(i)]->index(), i);
    }
    QCOMPARE(form->Frame1->title(), QString("分 析 结 果"));
    QCOMPARE(form->Frame3->title(), QString("导 入 数 据"));
    QCOMPARE(form->findChild<QLabel *>("Label34")->text(), QString("  学号"));
    QCOMPARE(form->findChild<QLabel *>("Label36")->text(), QString(" 成绩"));
    QCOMPARE(form->findChild<QLabel *>("Label1")->palette().color(QPalette::WindowText),
             QColor(255, 0, 0));
    QCOMPARE(form->Label5->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    QCOMPARE(form->Label5->height(), 25);
    QCOMPARE(form->findChild<QLabel *>("Label1")->font().pointSizeF(), 10.5);
    // Positions inside the frames are relative to them.
    QCOMPARE(form->Text10->geometry(), QRect(72, 24, 49, 18));
    QCOMPARE(form->c1[3]->geometry(), QRect(24, 256, 145, 25));
    QCOMPARE(form->Text2->geometry(), QRect(384, 16, 57, 13));
}

void TestForm1::labelsShowTheirGlyphs() {
    for (QLabel *label : form->findChildren<QLabel *>()) {
        const QFontMetrics metrics(label->font());
        for (QChar c : label->text())
            QVERIFY2(c.isSpace() || metrics.inFont(c),
                     qPrintable(label->objectName() + ": " + QString(c)));
    }
    for (SkinnedButton *button : form->c1) {
        const QFontMetrics metrics(button->font());
        for (QChar c : button->text())
            QVERIFY2(c.isSpace() || metrics.inFont(c), qPrintable(button->objectName()));
    }
}

void TestForm1::tabOrder() {
    showForm();
    const auto walk = [](int steps) {
        QStringList names;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            names.append(QApplication::focusWidget()->objectName());
        }
        return names;
    };
    const QStringList expected = {"Text1", "Txt(0)", "Txt(1)", "Txt(2)", "Txt(3)", "Text7",
                                  "Text8", "Text9",  "Text10", "Text11", "Text12", "c1(4)",
                                  "c1(0)", "c1(1)",  "c1(2)",  "c1(3)",  "c1(5)",  "MSFlexGrid1"};
    QCOMPARE(walk(int(expected.size())), expected);

    // Once the box is shown over a cell it takes its place after the class size.
    clickCell(0, 0);
    clickCell(1, 0);
    QCOMPARE(walk(3), (QStringList{"Text1", "Text2", "Txt(0)"}));
}

void TestForm1::numericFields_data() {
    QTest::addColumn<QString>("name");
    for (const char *name :
         {"Text1", "Text9", "Text10", "Text11", "Text12", "Txt(0)", "Txt(1)", "Txt(2)", "Txt(3)"})
        QTest::newRow(name) << name;
}

void TestForm1::numericFields() {
    QFETCH(QString, name);
    auto *field = form->findChild<QLineEdit *>(name);
    QVERIFY(field);
    field->clear();
    typeText(field, QStringLiteral("a1-, 2中.3/:"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QString("12.3"));
}

void TestForm1::freeTextFields() {
    showForm();
    clickCell(0, 0);
    clickCell(0, 1); // shows the box
    const QString everything = QStringLiteral("a1-, 2中.3/:");
    for (QLineEdit *field : {form->Text7, form->Text8, form->Text2}) {
        field->clear();
        typeText(field, everything);
        QCOMPARE(field->text(), everything);
    }
}

void TestForm1::clickShowsBoxOverCell() {
    showForm();
    form->MSFlexGrid1->setTextMatrix(2, 1, QStringLiteral("李四"));
    clickCell(2, 1);
    QVERIFY(form->Text2->isVisible());
    QCOMPARE(form->MSFlexGrid1->Row(), 2);
    QCOMPARE(form->MSFlexGrid1->Col(), 1);
    const QPoint cellOnWindow = form->MSFlexGrid1->viewport()->mapTo(
        form.get(), QPoint(FlexGrid::columnWidthPixels(), 2 * FlexGrid::rowHeightPixels()));
    QCOMPARE(form->Text2->geometry(),
             QRect(cellOnWindow, QSize(FlexGrid::columnWidthPixels(), 13)));
    QCOMPARE(form->Text2->text(), QString("李四"));
    QCOMPARE(QApplication::focusWidget(), form->MSFlexGrid1);
}

void TestForm1::typedTextStaysInItsCell() {
    showForm();
    form->MSFlexGrid1->setTextMatrix(1, 2, QStringLiteral("60"));
    clickCell(0, 2);
    QTest::mouseClick(form->Text2, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), form->Text2);
    QTest::keyClicks(form->Text2, "72");
    clickCell(1, 2);
    QCOMPARE(form->MSFlexGrid1->TextMatrix(0, 2), QString("72"));
    QCOMPARE(form->MSFlexGrid1->TextMatrix(1, 2), QString("60"));
    QCOMPARE(form->Text2->text(), QString("60"));
}

void TestForm1::movingWithoutTypingChangesNothing() {
    showForm();
    import(Sample);
    const analysis::ScoreGrid before = form->MSFlexGrid1->cells();
    clickCell(3, 1);
    clickCell(5, 2);
    QTest::keyClick(form->MSFlexGrid1, Qt::Key_Down);
    QTest::keyClick(form->MSFlexGrid1, Qt::Key_Left);
    clickCell(0, 0);
    QVERIFY(form->MSFlexGrid1->cells() == before);
}

void TestForm1::typingOnTheGridChangesNothing() {
    showForm();
    import(Sample);
    const analysis::ScoreGrid before = form->MSFlexGrid1->cells();
    clickCell(2, 2);
    QTest::keyClicks(form->MSFlexGrid1, "99");
    clickCell(3, 2);
    QVERIFY(form->MSFlexGrid1->cells() == before);
}

void TestForm1::enterInTheBoxDoesNothing() {
    showForm();
    form->MSFlexGrid1->setTextMatrix(0, 1, QStringLiteral("old"));
    clickCell(0, 1);
    QTest::mouseClick(form->Text2, Qt::LeftButton);
    form->Text2->selectAll();
    QTest::keyClicks(form->Text2, "new");
    QTest::keyClick(form->Text2, Qt::Key_Return);
    QCOMPARE(form->MSFlexGrid1->TextMatrix(0, 1), QString("old"));
    QCOMPARE(form->MSFlexGrid1->Row(), 0);
    QCOMPARE(QApplication::focusWidget(), form->Text2);
    QCOMPARE(form->Text2->text(), QString("new"));
}

void TestForm1::boxLosingFocusStores() {
    showForm();
    clickCell(4, 0);
    QTest::mouseClick(form->Text2, Qt::LeftButton);
    QTest::keyClicks(form->Text2, "1005");
    QTest::keyClick(form->Text2, Qt::Key_Tab);
    QCOMPARE(form->MSFlexGrid1->TextMatrix(4, 0), QString("1005"));
}

void TestForm1::boxFollowsItsCellWhenScrolling() {
    showForm();
    form->MSFlexGrid1->setTextMatrix(1, 2, QStringLiteral("88"));
    clickCell(1, 2);
    const QRect placed = form->Text2->geometry();
    form->MSFlexGrid1->verticalScrollBar()->setValue(40);
    QVERIFY(form->Text2->isHidden());
    form->MSFlexGrid1->verticalScrollBar()->setValue(1);
    QVERIFY(form->Text2->isVisible());
    QCOMPARE(form->Text2->geometry(), placed.translated(0, -FlexGrid::rowHeightPixels()));
    QCOMPARE(form->Text2->text(), QString("88"));
}

void TestForm1::importThroughTheButton() {
    showForm();
    form->MSFlexGrid1->setTextMatrix(60, 1, QStringLiteral("stale"));
    import(Sample);
    QVERIFY(messages.isEmpty());
    QCOMPARE(form->MSFlexGrid1->TextMatrix(0, 0), QString("20240101"));
    QCOMPARE(form->MSFlexGrid1->TextMatrix(0, 1), QString("张伟"));
    QCOMPARE(form->MSFlexGrid1->TextMatrix(29, 2), QString("82"));
    QVERIFY(form->MSFlexGrid1->TextMatrix(60, 1).isEmpty());
    QCOMPARE(form->Text2->text(), QString("20240101"));
}

void TestForm1::importReloadsTheBox() {
    showForm();
    import(Sample);
    clickCell(3, 1);
    QCOMPARE(form->Text2->text(), QString("刘洋"));
    // A second import from another first row moves the names under the box.
    form->Text9->setText(QStringLiteral("3"));
    import(Sample);
    QCOMPARE(form->Text2->text(), QString("陈静"));
    clickCell(4, 1);
    QCOMPARE(form->MSFlexGrid1->TextMatrix(3, 1), QString("陈静"));
}

void TestForm1::importFailures_data() {
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
    QTest::newRow("sheet missing") << Sample << "Text8"
                                   << "Sheet9"
                                   << "输入表格名称有误，无法打开表格，请重新输入！";
    QTest::newRow("column zero") << Sample << "Text12"
                                 << "0"
                                 << "输入表格列号超界，请重新输入！";
    QTest::newRow("column 257") << Sample << "Text10"
                                << "257"
                                << "输入表格列号超界，请重新输入！";
    QTest::newRow("rows past 32767") << Sample << "Text9"
                                     << "32700"
                                     << "未知错误，错误号： 6　请检查输入值！";
    QTest::newRow("first row zero") << Sample << "Text9"
                                    << "0"
                                    << "数据起始行输入有误，请输入1到32767之间的行号！";
}

void TestForm1::importFailures() {
    QFETCH(QString, path);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    showForm();
    if (!field.isEmpty()) form->findChild<QLineEdit *>(field)->setText(value);
    import(path);
    QCOMPARE(messages, QStringList{message});
    QCOMPARE(form->Text7->text(), path);
    if (!field.isEmpty()) QCOMPARE(form->findChild<QLineEdit *>(field)->text(), value);
}

void TestForm1::statisticsThroughTheButton() {
    showForm();
    import(Sample);
    QTest::keyClicks(form->Text1, "30");
    QTest::mouseClick(form->c1[4], Qt::LeftButton);
    QVERIFY(messages.isEmpty());
    const QStringList shown = {form->Label2->text(),  form->Label5->text(),  form->Label15->text(),
                               form->Label21->text(), form->Label23->text(), form->Label7->text(),
                               form->Label12->text(), form->Label9->text(),  form->Label38->text()};
    QCOMPARE(shown,
             (QStringList{"2337", "77.9", "9", "10", "8", "3", "30", "90", "33.3333333333333"}));
}

void TestForm1::statisticsFailureKeepsFigures() {
    showForm();
    import(Sample);
    form->Text1->setText(QStringLiteral("30"));
    QTest::mouseClick(form->c1[4], Qt::LeftButton);
    form->Text1->clear();
    QTest::mouseClick(form->c1[4], Qt::LeftButton);
    form->Text1->setText(QStringLiteral("0"));
    QTest::mouseClick(form->c1[4], Qt::LeftButton);
    QCOMPARE(messages,
             (QStringList{"您还没有输入班级人数", "班级人数输入有误，请输入1到100之间的人数！"}));
    QCOMPARE(form->Label2->text(), QString("2337"));
    QCOMPARE(form->Label38->text(), QString("33.3333333333333"));
}

void TestForm1::sortByEachColumn_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("firstRow");
    QTest::newRow("student number") << 0 << QStringList{"20240130", "曹阳", "82"};
    QTest::newRow("name, pinyin zhu before zheng") << 1 << QStringList{"20240114", "朱琳", "83"};
    QTest::newRow("score") << 2 << QStringList{"20240113", "马超", "100"};
}

void TestForm1::sortByEachColumn() {
    QFETCH(int, column);
    QFETCH(QStringList, firstRow);
    showForm();
    import(Sample);
    clickCell(0, column);
    QTest::mouseClick(form->c1[2], Qt::LeftButton);
    FlexGrid *grid = form->MSFlexGrid1;
    QCOMPARE((QStringList{grid->TextMatrix(0, 0), grid->TextMatrix(0, 1), grid->TextMatrix(0, 2)}),
             firstRow);
    QVERIFY(grid->cells().isRowBlank(30));
    // The box holds what now stands in its cell, so leaving it stores nothing stale.
    QCOMPARE(form->Text2->text(), firstRow[column]);
    clickCell(5, column);
    QCOMPARE(grid->TextMatrix(0, column), firstRow[column]);
}

void TestForm1::browse() {
    showForm();
    QTest::keyClicks(form->Text7, "typed.xls");
    FileDialog::setNextCancel();
    QTest::mouseClick(form->c1[5], Qt::LeftButton);
    QCOMPARE(form->Text7->text(), QString("typed.xls"));
    FileDialog::setNextFileName(Sample);
    QTest::mouseClick(form->c1[5], Qt::LeftButton);
    QCOMPARE(form->Text7->text(), Sample);
    FileDialog::setNextCancel();
    QTest::mouseClick(form->c1[5], Qt::LeftButton);
    QCOMPARE(form->Text7->text(), Sample);
    // The first entry offers every kind of workbook the program reads.
    const QStringList entries = FileDialog::lastFilter().split(QStringLiteral(";;"));
    QCOMPARE(entries.size(), 4);
    for (const char *pattern : {"*.xls", "*.xlsx", "*.xlsm", "*.ods"})
        QVERIFY(entries[0].contains(QLatin1String(pattern)));
}

void TestForm1::exitEndsTheProgram() {
    showForm();
    QSignalSpy ended(form.get(), &Form1::programEnded);
    QTest::mouseClick(form->c1[0], Qt::LeftButton);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!form->isVisible());
    QVERIFY(messages.isEmpty());
}

void TestForm1::realMessageBox() {
    MessageBox::setRecorder({});
    showForm();
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

QTEST_MAIN(TestForm1)
#include "tst_mainwindow.moc"
