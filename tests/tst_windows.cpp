#include "analysis/texts/helpfile.h"
#include "app/mainwindow.h"
#include "app/scoregridview.h"
#include "app/statisticsbar.h"
#include "skin/captionbutton.h"
#include "skin/chrome.h"
#include "skin/colors.h"
#include "skin/pointer.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "skin/windowshape.h"
#include "windows/aboutpanel.h"
#include "windows/filedialog.h"
#include "windows/helpwindow.h"
#include "windows/messagebox.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

const QString Sample = QStringLiteral(SCORE_SAMPLES_DIR "/class.xls");

// Text outside Latin-1 can't go through keyClicks; send it key by key.
void typeText(QWidget *widget, const QString &text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

bool writeHelpFile(const QByteArray &bytes) {
    QFile file(HelpWindow::helpFilePath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QPoint centred(const QWidget *window) {
    const QRect screen = window->screen()->geometry();
    return {int(std::lround(screen.x() + (screen.width() - window->width()) / 2.0)),
            int(std::lround(screen.y() + (screen.height() - window->height()) / 2.0))};
}

// The bounds of the black title ink in the strip, in the window's coordinates; an
// empty rectangle when a black pixel has neither black nor the highlight at the offset.
QRect titleInk(QWidget *window, QRect strip, QPoint offset) {
    const QImage image = window->grab().toImage();
    const int scale = qRound(image.devicePixelRatio());
    QRect bounds;
    for (int y = strip.top() * scale; y < (strip.bottom() + 1) * scale; ++y)
        for (int x = strip.left() * scale; x < (strip.right() + 1) * scale; ++x) {
            if (image.pixelColor(x, y) != Qt::black) continue;
            const QColor next = image.pixelColor(QPoint(x, y) + offset * scale);
            if (next != Qt::black && next != QColor(238, 238, 238)) return {};
            bounds |= QRect(x / scale, y / scale, 1, 1);
        }
    return bounds;
}

} // namespace

// The main window, the About panel and the help window, driven offscreen with
// clicks and key presses; message boxes and the file dialog answer through
// their seams.
class TestWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> form;
    QStringList messages;

    // Cells are 64 × 16 pixels.
    void clickCell(int row, int column, Qt::KeyboardModifiers modifiers = {}) {
        const int top =
            row - form->findChild<ScoreGridView *>("scoreGrid")->verticalScrollBar()->value();
        QTest::mouseClick(form->findChild<ScoreGridView *>("scoreGrid")->viewport(), Qt::LeftButton,
                          modifiers, QPoint(column * 64 + 32, top * 16 + 8));
    }
    QString cellText(int row, int column) const {
        return form->findChild<ScoreGridView *>("scoreGrid")->cellText(row, column);
    }
    void click(QWidget *button) { QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10)); }
    void import(const QString &path) {
        form->findChild<QLineEdit *>("workbookPathField")->setText(path);
        click(form->findChild<SkinnedButton *>("importButton"));
    }

    QWidget *open(const QString &name) {
        QWidget *window = form.get();
        if (name == "about"_L1) window = AboutPanel::showPanel();
        if (name == "help"_L1) window = HelpWindow::showWindow();
        return QTest::qWaitForWindowExposed(window) ? window : nullptr;
    }

private slots:
    void initTestCase() { installSongFaceSubstitutes(); }

    void init() {
        QVERIFY(writeHelpFile("line one\r\n\xB0\xEF\xD6\xFA\r\n"));
        messages.clear();
        MessageBox::setRecorder([this](const QString &text) { messages.append(text); });
        form = std::make_unique<MainWindow>();
        form->move(100, 100);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup() {
        setDragMoveObserver({});
        MessageBox::setRecorder({});
        if (AboutPanel::instance()) AboutPanel::instance()->close();
        if (HelpWindow::instance()) HelpWindow::instance()->close();
        QTRY_VERIFY(!AboutPanel::instance() && !HelpWindow::instance());
        form.reset();
        QFile::remove(HelpWindow::helpFilePath());
    }

    // The real dialog, closed by the test once it lists the folder: a folder's
    // type and every date in the program's words, not the system locale's.
    void fileDialogColumns() {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(u"一班"_s));
        QFile file(folder.filePath(u"成绩.xlsx"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4)),
                                 QFileDevice::FileModificationTime));
        file.close();
        QMap<QString, QString> rows; // name: type and date
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            auto *view = dialog ? dialog->findChild<QTreeView *>("treeView") : nullptr;
            if (!view || view->model()->rowCount(view->rootIndex()) < 2) return;
            for (int row = 0; row < 2; ++row) {
                const QModelIndex name = view->model()->index(row, 0, view->rootIndex());
                rows[name.data().toString()] = name.siblingAtColumn(2).data().toString() + u' ' +
                                               name.siblingAtColumn(3).data().toString();
            }
            dialog->reject();
        });
        poll.start(50);
        QTimer::singleShot(10000, [] {
            if (QWidget *dialog = QApplication::activeModalWidget()) dialog->close();
        });
        FileDialog::getOpenFileName(form.get(), u"工作簿 (*.xlsx)"_s, file.fileName());
        QVERIFY(rows.value(u"一班"_s).startsWith(u"文件夹 "_s));
        QCOMPARE(rows.value(u"成绩.xlsx"_s), u"XLSX 文件 2026/1/2 03:04"_s);
    }

    void freshWindow() {
        QCOMPARE(form->size(), QSize(783, 535));
        QStringList texts, unfiltered;
        for (QLineEdit *field : form->findChildren<QLineEdit *>()) {
            texts.append(field->objectName() + u'=' + field->text());
            field->clear();
            typeText(field, u"a1-中.5"_s);
            if (field->text() != "1.5"_L1) unfiltered.append(field->objectName());
        }
        QCOMPARE(texts.join(u' '), "excellentLowField=85 excellentHighField=100 goodLowField=75 "
                                   "goodHighField=85 workbookPathField= sheetNameField=Sheet1 "
                                   "firstRowField=2 numberColumnField=1 nameColumnField=2 "
                                   "scoreColumnField=3 classSizeField= cellEditor="_L1);
        // Only the nine numeric fields drop the letter, the minus and the Chinese character.
        QCOMPARE(unfiltered.join(u' '), "workbookPathField sheetNameField cellEditor"_L1);
        // Tab passes the filter and moves on to the excellent band.
        form->findChild<QLineEdit *>("classSizeField")->setFocus();
        QTest::keyClick(form->findChild<QLineEdit *>("classSizeField"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form->findChild<QLineEdit *>("excellentLowField"));
    }

    void numericKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // "|" marks the cursor
        QTest::newRow("digit 0") << int(Qt::Key_0) << u"0"_s << u"10|2"_s;
        QTest::newRow("digit 9") << int(Qt::Key_9) << u"9"_s << u"19|2"_s;
        QTest::newRow("full stop") << int(Qt::Key_Period) << u"."_s << u"1.|2"_s;
        QTest::newRow("slash, below 0") << int(Qt::Key_Slash) << u"/"_s << u"1|2"_s;
        QTest::newRow("colon, above 9") << int(Qt::Key_Colon) << u":"_s << u"1|2"_s;
        QTest::newRow("full-width digit, a negative code") << 0 << u"７"_s << u"1|2"_s;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << u"\b"_s << u"|2"_s;
        QTest::newRow("delete") << int(Qt::Key_Delete) << u"\x7f"_s << u"1|"_s;
        QTest::newRow("end, no text") << int(Qt::Key_End) << QString() << u"12|"_s;
    }

    void numericKeys() {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QLineEdit *field = form->findChild<QLineEdit *>("classSizeField");
        field->setText(u"12"_s);
        field->setCursorPosition(1);
        QTest::sendKeyEvent(QTest::Press, field, Qt::Key(key), text, Qt::NoModifier);
        QCOMPARE(field->text().insert(field->cursorPosition(), u'|'), expected);
    }

    void cellEditor() {
        ScoreGridView *grid = form->findChild<ScoreGridView *>("scoreGrid");
        grid->setCellText(2, 1, u"李四"_s);
        grid->setCellText(3, 1, u"60"_s);
        // The box lies over the clicked cell with its text; the grid keeps the focus.
        clickCell(2, 1);
        QCOMPARE(form->findChild<QLineEdit *>("cellEditor")->geometry(), QRect(81, 89, 64, 13));
        QCOMPARE(form->findChild<QLineEdit *>("cellEditor")->text(), u"李四"_s);
        QCOMPARE(QApplication::focusWidget(), grid);
        // Enter in the box stores nothing.
        QTest::mouseClick(form->findChild<QLineEdit *>("cellEditor"), Qt::LeftButton);
        form->findChild<QLineEdit *>("cellEditor")->selectAll();
        typeText(form->findChild<QLineEdit *>("cellEditor"), u"王五"_s);
        QTest::keyClick(form->findChild<QLineEdit *>("cellEditor"), Qt::Key_Return);
        QCOMPARE(cellText(2, 1), u"李四"_s);
        // Clicking another cell stores the box's text and loads the new cell's ("60").
        clickCell(3, 1);
        QCOMPARE(cellText(2, 1), u"王五"_s);
        // Typing on the grid itself changes nothing; the box losing the focus stores its text.
        QTest::keyClicks(grid, "99");
        QCOMPARE(cellText(3, 1), u"60"_s);
        QTest::mouseClick(form->findChild<QLineEdit *>("cellEditor"), Qt::LeftButton);
        QTest::keyClicks(form->findChild<QLineEdit *>("cellEditor"), "5");
        QTest::keyClick(form->findChild<QLineEdit *>("cellEditor"), Qt::Key_Tab);
        QCOMPARE(cellText(3, 1), u"605"_s);
        // The box follows its cell while the grid scrolls, and hides when it leaves the view.
        grid->verticalScrollBar()->setValue(2);
        QCOMPARE(form->findChild<QLineEdit *>("cellEditor")->geometry(), QRect(81, 73, 64, 13));
        grid->verticalScrollBar()->setValue(4);
        QVERIFY(form->findChild<QLineEdit *>("cellEditor")->isHidden());
        grid->verticalScrollBar()->setValue(0);
        QCOMPARE(form->findChild<QLineEdit *>("cellEditor")->geometry(), QRect(81, 105, 64, 13));
    }

    void importAndStatistics() {
        form->findChild<ScoreGridView *>("scoreGrid")->setCellText(60, 1, u"stale"_s);
        clickCell(3, 1);
        import(Sample);
        QCOMPARE((QStringList{cellText(0, 0), cellText(0, 1), cellText(0, 2), cellText(29, 2),
                              cellText(60, 1)}),
                 (QStringList{"20240101", "张伟", "85", "82", ""}));
        // The box is reloaded, so that leaving it stores nothing stale.
        QCOMPARE(form->findChild<QLineEdit *>("cellEditor")->text(), u"刘洋"_s);
        clickCell(4, 1);
        QCOMPARE(cellText(3, 1), u"刘洋"_s);
        QTest::keyClicks(form->findChild<QLineEdit *>("classSizeField"), "30");
        click(form->findChild<SkinnedButton *>("statisticsButton"));
        QCOMPARE(messages, QStringList());
        QStringList figures;
        for (const char *name : {"total", "average", "excellent", "good", "qualified", "failing",
                                 "excellentRate", "passRate", "goodRate"})
            figures.append(form->findChild<QLabel *>(name)->text());
        QCOMPARE(figures, (QStringList{"2337", "77.9", "9", "10", "8", "3", "30", "90",
                                       "33.3333333333333"}));
        // A rate wider than its label shows whole in the tool tip.
        QCOMPARE(form->findChild<QLabel *>("goodRate")->toolTip(), u"33.3333333333333"_s);
        // The bar's 305 pixels shared 9 : 10 : 8 : 3.
        QStringList widths;
        for (int part = 0; part < 4; ++part)
            widths << QString::number(
                form->findChild<StatisticsBar *>("statisticsBar")->partRect(part).width());
        QCOMPARE(widths.join(u' '), u"92 101 82 30"_s);
    }

    void sort_data() {
        QTest::addColumn<QPoint>("rows"); // clicked, then shift-clicked when another
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("names"); // rows 0 to 6 after the sort
        QTest::addColumn<QString>("box");
        QTest::newRow("student number")
            << QPoint(0, 0) << 0 << u"曹阳 邓洁 冯凯 韩雪 许鹏 唐颖 宋涛"_s << u"20240130"_s;
        QTest::newRow("name, pinyin")
            << QPoint(0, 0) << 1 << u"朱琳 周杰 郑华 赵敏 张伟 杨磊 许鹏"_s << u"朱琳"_s;
        QTest::newRow("score") << QPoint(0, 0) << 2 << u"马超 宋涛 黄勇 王芳 郭婷 冯凯 赵敏"_s
                               << u"100"_s;
        QTest::newRow("selected rows")
            << QPoint(3, 6) << 2 << u"张伟 王芳 李娜 赵敏 杨磊 刘洋 陈静"_s << u"88"_s;
    }

    void sort() {
        QFETCH(QPoint, rows);
        QFETCH(int, column);
        QFETCH(QString, names);
        QFETCH(QString, box);
        import(Sample);
        clickCell(rows.x(), column);
        if (rows.y() != rows.x()) clickCell(rows.y(), column, Qt::ShiftModifier);
        click(form->findChild<SkinnedButton *>("sortButton"));
        QStringList shown;
        for (int row = 0; row < 7; ++row)
            shown.append(cellText(row, 1));
        QCOMPARE(shown.join(u' '), names);
        // The box holds what now stands in its cell.
        QCOMPARE(form->findChild<QLineEdit *>("cellEditor")->text(), box);
    }

    void failures_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("no path") << "workbookPathField" << QString()
                                 << u"无法打开Excel文件，请检查后重新输入文件名及路径！"_s;
        QTest::newRow("not a workbook")
            << "workbookPathField" << QStringLiteral(SCORE_FIXTURES_DIR "/letter_libreoffice.doc")
            << u"文件类型不对，请选择Excel文档！"_s;
        QTest::newRow("sheet missing")
            << "sheetNameField" << u"Sheet9"_s << u"输入表格名称有误，无法打开表格，请重新输入！"_s;
        QTest::newRow("column 0") << "scoreColumnField" << u"0"_s
                                  << u"输入表格列号超界，请重新输入！"_s;
        QTest::newRow("rows past 32767")
            << "firstRowField" << u"32700"_s << u"未知错误，错误号： 6　请检查输入值！"_s;
        QTest::newRow("first row 0")
            << "firstRowField" << u"0"_s << u"数据起始行输入有误，请输入1到32668之间的行号！"_s;
        QTest::newRow("class size 0")
            << "classSizeField" << u"0"_s << u"班级人数输入有误，请输入1到100之间的人数！"_s;
    }

    void failures() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        import(Sample);
        form->findChild<QLineEdit *>("classSizeField")->setText(u"30"_s);
        click(form->findChild<SkinnedButton *>("statisticsButton"));
        form->findChild<QLineEdit *>(field)->setText(value);
        click(field == "classSizeField"_L1 ? form->findChild<SkinnedButton *>("statisticsButton")
                                           : form->findChild<SkinnedButton *>("importButton"));
        QCOMPARE(messages, QStringList{message});
        // The fields keep what was typed, the figures stay.
        QCOMPARE(form->findChild<QLineEdit *>(field)->text(), value);
        QCOMPARE(form->findChild<QLabel *>("total")->text(), u"2337"_s);
    }

    void browse() {
        QTest::keyClicks(form->findChild<QLineEdit *>("workbookPathField"), "typed.xls");
        FileDialog::setNextCancel();
        click(form->findChild<SkinnedButton *>("browseButton"));
        QCOMPARE(form->findChild<QLineEdit *>("workbookPathField")->text(), u"typed.xls"_s);
        FileDialog::setNextFileName(Sample);
        click(form->findChild<SkinnedButton *>("browseButton"));
        QCOMPARE(form->findChild<QLineEdit *>("workbookPathField")->text(), Sample);
    }

    void programEnds_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("exit button") << u"exitButton"_s;
        QTest::newRow("close button") << u"closeButton"_s;
    }

    void programEnds() {
        QFETCH(QString, control);
        QSignalSpy ended(form.get(), &MainWindow::programEnded);
        click(form->findChild<QWidget *>(control));
        QCOMPARE(ended.count(), 1);
        QVERIFY(!form->isVisible());
    }

    void realMessageBox() {
        MessageBox::setRecorder({});
        QString seen;
        QTimer::singleShot(0, [&seen] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) return;
            QStringList parts{box->windowTitle(), box->text(), QString::number(box->icon())};
            for (const QAbstractButton *button : box->buttons())
                parts.append(button->text());
            seen = parts.join(u'/');
            box->accept();
        });
        MessageBox::show(form.get(), u"您还没有输入班级人数"_s);
        QCOMPARE(seen, u"墨序成绩分析软件/您还没有输入班级人数/0/确定"_s);
    }
    void shiftColorClampsEachChannel() {
        QCOMPARE(ShiftColor(RGB(12, 34, 56), 20), RGB(0, 14, 36));
        QCOMPARE(ShiftColor(RGB(255, 0, 255), -200), RGB(255, 200, 255));
        QCOMPARE(ShiftColor(0xAB000000u | RGB(1, 2, 3), -32768), RGB(255, 255, 255));
    }

    void pixels_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("color");
        QTest::newRow("band 35") << u"main"_s << QPoint(774, 300) << QColor(58, 58, 185);
        QTest::newRow("band 63 at the bottom")
            << u"main"_s << QPoint(774, 534) << QColor(2, 2, 129);
        QTest::newRow("dark separator") << u"main"_s << QPoint(0, 28) << QColor(0, 0, 105);
        QTest::newRow("light separator") << u"main"_s << QPoint(782, 29) << QColor(255, 255, 255);
        QTest::newRow("results frame") << u"main"_s << QPoint(748, 516) << QColor(118, 118, 245);
        QTest::newRow("grid line, crisp") << u"main"_s << QPoint(80, 300) << QColor(192, 192, 192);
        QTest::newRow("results frame's etched right edge")
            << u"main"_s << QPoint(767, 256) << QColor(128, 128, 128);
        QTest::newRow("import frame") << u"main"_s << QPoint(254, 514) << QColor(78, 78, 205);
        QTest::newRow("button face") << u"main"_s << QPoint(251, 204) << QColor(234, 183, 110);
        QTest::newRow("panel button face")
            << u"about"_s << QPoint(147, 167) << QColor(128, 128, 255);
        QTest::newRow("help band 3") << u"help"_s << QPoint(400, 20) << QColor(122, 122, 249);
        QTest::newRow("help dark separator") << u"help"_s << QPoint(0, 28) << QColor(105, 0, 105);
        QTest::newRow("help light separator")
            << u"help"_s << QPoint(667, 29) << QColor(255, 200, 255);
    }

    void pixels() {
        QFETCH(QString, window);
        QFETCH(QPoint, at);
        QFETCH(QColor, color);
        const QImage image = open(window)->grab().toImage();
        QCOMPARE(image.pixelColor(at * image.devicePixelRatio()), color);
    }

    void title() {
        // Six 13-pixel cells from (29, 13), the highlight one pixel down and right.
        const QRect ink = titleInk(form.get(), QRect(28, 0, 118, 28), QPoint(1, 1));
        QVERIFY(QRect(29, 13, 78, 13).contains(ink) && ink.width() >= 76);
    }

    void shape_data() {
        QTest::addColumn<QString>("window"); // or a corner size for a 100 × 60 region
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        QTest::newRow("left edge, beside the corner") << u"main"_s << QPoint(4, 20) << true;
        QTest::newRow("right of the right edge") << u"main"_s << QPoint(779, 200) << false;
        QTest::newRow("below the bottom edge") << u"main"_s << QPoint(300, 531) << false;
        QTest::newRow("top right corner cut") << u"main"_s << QPoint(776, 6) << false;
        QTest::newRow("top right corner curve") << u"main"_s << QPoint(775, 7) << true;
        QTest::newRow("bottom left corner cut") << u"main"_s << QPoint(6, 528) << false;
        QTest::newRow("bottom left corner curve") << u"main"_s << QPoint(7, 527) << true;
        QTest::newRow("bottom right corner cut") << u"main"_s << QPoint(776, 528) << false;
        QTest::newRow("bottom right corner curve") << u"main"_s << QPoint(775, 527) << true;
        QTest::newRow("corner 15: inset 2") << u"15"_s << QPoint(2, 30) << true;
        QTest::newRow("corner 16: inset 4") << u"16"_s << QPoint(3, 30) << false;
    }

    void shape() {
        QFETCH(QString, window);
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        const QRegion region =
            window.toInt() ? RoundRegion(QSize(100, 60), window.toInt()) : open(window)->mask();
        QCOMPARE(region.contains(point), inside);
    }

    void pointerStrictlyInside_data() {
        // The control covers the screen pixels from (110, 120) to (130, 140); a
        // pointer on its border is outside, one pixel further in it is inside.
        QTest::addColumn<QPoint>("border");
        QTest::addColumn<QPoint>("inward");
        QTest::newRow("left") << QPoint(110, 130) << QPoint(1, 0);
        QTest::newRow("right") << QPoint(130, 130) << QPoint(-1, 0);
        QTest::newRow("top") << QPoint(120, 120) << QPoint(0, 1);
        QTest::newRow("bottom") << QPoint(120, 140) << QPoint(0, -1);
    }

    void pointerStrictlyInside() {
        QFETCH(QPoint, border);
        QFETCH(QPoint, inward);
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.setGeometry(100, 100, 200, 200);
        QWidget control(&window);
        control.setGeometry(10, 20, 20, 20);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!IsPointerOverControl(&window, &control, border));
        QVERIFY(IsPointerOverControl(&window, &control, border + inward));
    }

    void closeButtonHover() {
        form->move(-600, 50); // the button on the screen at any scale
        CaptionButton *button = form->closeButton;
        const QPoint centre = button->mapToGlobal(QPoint(10, 10));
        const qreal ratio = button->composed().devicePixelRatio();
        QCOMPARE(button->composed().pixelColor(QPoint(9, 4) * ratio), QColor(128, 0, 102));
        QCursor::setPos(centre);
        QTest::mouseMove(button, QPoint(10, 10));
        QCOMPARE(button->composed().pixelColor(QPoint(8, 3) * ratio), QColor(128, 0, 94));
        // Ticks while the pointer rests on the button change nothing.
        QTest::qWait(120);
        QVERIFY(!button->isAtRest());
        // Off the button, the next tick brings the rest picture back.
        QCursor::setPos(centre + QPoint(100, 100));
        QTRY_VERIFY_WITH_TIMEOUT(button->isAtRest(), 1000);
        QCOMPARE(button->composed().pixelColor(QPoint(9, 4) * ratio), QColor(128, 0, 102));
    }

    void dragOnlyFromTheBareSurface_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("drags");
        QTest::newRow("left on the gradient") << QPoint(600, 40) << int(Qt::LeftButton) << 1;
        QTest::newRow("right on the gradient") << QPoint(600, 40) << int(Qt::RightButton) << 0;
        QTest::newRow("left on the logo") << QPoint(10, 10) << int(Qt::LeftButton) << 0;
    }

    void dragOnlyFromTheBareSurface() {
        QFETCH(QPoint, at);
        QFETCH(int, button);
        QFETCH(int, drags);
        int begun = 0;
        setDragMoveObserver([&begun](QWidget *) { ++begun; });
        QWidget *target = form->childAt(at) ? form->childAt(at) : form.get();
        QTest::mousePress(target, Qt::MouseButton(button), {}, target->mapFrom(form.get(), at));
        QTest::mouseRelease(target, Qt::MouseButton(button), {}, target->mapFrom(form.get(), at));
        QCOMPARE(begun, drags);
    }

    void windowFollowsThePointer() {
        QTest::mousePress(form.get(), Qt::LeftButton, {}, QPoint(600, 40));
        QTest::mouseMove(form.get(), QPoint(650, 70));
        QTest::mouseRelease(form.get(), Qt::LeftButton, {}, QPoint(650, 70));
        QTRY_COMPARE(form->pos(), QPoint(150, 130));
        QTest::mouseMove(form.get(), QPoint(700, 100)); // released: the window stays
        QTest::qWait(20);
        QCOMPARE(form->pos(), QPoint(150, 130));
    }

    void aboutPanel() {
        QTest::mouseClick(form->findChild<SkinnedButton *>("helpButton"), Qt::LeftButton);
        AboutPanel *panel = AboutPanel::instance();
        QVERIFY(panel && !HelpWindow::instance());
        QCOMPARE(panel->pos(), centred(panel));
        QVERIFY(!(panel->windowFlags() & Qt::WindowStaysOnTopHint));
        // A second click brings the same panel, where it was.
        panel->move(10, 10);
        QTest::mouseClick(form->findChild<SkinnedButton *>("helpButton"), Qt::LeftButton);
        QCOMPARE(AboutPanel::instance(), panel);
        QCOMPARE(panel->pos(), QPoint(10, 10));
        // Cancel closes the panel alone; the next one opens centred.
        QTest::mouseClick(panel->cancelButton, Qt::LeftButton);
        QTRY_VERIFY(!AboutPanel::instance());
        QVERIFY(form->isVisible() && !HelpWindow::instance());
        QTest::mouseClick(form->findChild<SkinnedButton *>("helpButton"), Qt::LeftButton);
        QCOMPARE(AboutPanel::instance()->pos(), centred(AboutPanel::instance()));
    }

    void helpWindow() {
        QSignalSpy ended(form.get(), &MainWindow::programEnded);
        QTest::mouseClick(form->findChild<SkinnedButton *>("helpButton"), Qt::LeftButton);
        QTest::mouseClick(AboutPanel::instance()->helpButton, Qt::LeftButton);
        QTRY_VERIFY(!AboutPanel::instance());
        HelpWindow *help = HelpWindow::instance();
        QVERIFY(help && help->textBox->isReadOnly());
        QCOMPARE(help->pos(), centred(help));
        QVERIFY(help->windowFlags() & Qt::WindowStaysOnTopHint);
        // While it is open it is brought forward, not read again.
        QVERIFY(writeHelpFile("changed\r\n"));
        QCOMPARE(HelpWindow::showWindow(), help);
        QCOMPARE(help->textBox->toPlainText(), u"line one\n帮助"_s);
        // Its close button closes it alone; opened again, it reads the file afresh.
        QTest::mouseClick(help->closeButton, Qt::LeftButton, {}, QPoint(10, 10));
        QTRY_VERIFY(!HelpWindow::instance());
        QVERIFY(form->isVisible() && ended.isEmpty());
        QCOMPARE(HelpWindow::showWindow()->textBox->toPlainText(), u"changed"_s);
    }

    void helpText_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no help file
        QTest::addColumn<QString>("text");     // each line ended by CR LF
        QTest::addColumn<QString>("shown");
        const QString failure = u"无法打开帮助文件！"_s;
        QTest::newRow("GBK, CR LF")
            << QByteArray("\xB0\xEF\xD6\xFA\r\nb\r\n") << u"帮助\r\nb\r\n"_s << u"帮助\nb"_s;
        QTest::newRow("CR only") << QByteArray("a\r\rb") << u"a\r\n\r\nb\r\n"_s << u"a\n\nb"_s;
        QTest::newRow("lone LF stays in its line")
            << QByteArray("a\nb\n") << u"a\nb\n\r\n"_s << u"a\nb\n"_s;
        QTest::newRow("only a line end") << QByteArray("\r\n") << u"\r\n"_s << QString();
        QTest::newRow("empty file") << QByteArray("") << QString() << QString();
        QTest::newRow("no file") << QByteArray() << failure << failure;
        QTest::newRow("bad GBK bytes, the last one cut off")
            << QByteArray("a\xB0\r\xFF\xB0\xEF\xFF\xB0") << u"a\uFFFD\r\n\uFFFD帮\uFFFD\uFFFD\r\n"_s
            << u"a\uFFFD\n\uFFFD帮\uFFFD\uFFFD"_s;
        QTest::newRow("larger than the decoding buffer")
            << QByteArray("\xB3\xC9\xBC\xA8\r\n").repeated(20000) << u"成绩\r\n"_s.repeated(20000)
            << u"成绩\n"_s.repeated(19999) + u"成绩"_s;
    }

    void helpText() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QVERIFY(bytes.isNull() ? QFile::remove(HelpWindow::helpFilePath()) : writeHelpFile(bytes));
        QCOMPARE(analysis::readHelpFile(HelpWindow::helpFilePath()).ok, !bytes.isNull());
        HelpWindow *help = HelpWindow::showWindow();
        QCOMPARE(help->text(), text);
        QCOMPARE(help->textBox->toPlainText(), shown);
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
