#include "app/mainwindow.h"
#include "skin/captionbutton.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "skin/windowshape.h"
#include "windows/aboutpanel.h"
#include "windows/helpwindow.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

void writeHelpFile(const QByteArray &bytes) {
    QFile file(HelpWindow::helpFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QPoint centredTopLeft(QWidget *window) {
    const QRect screen = window->screen()->geometry();
    return {int(std::lround(screen.x() + (screen.width() - window->width()) / 2.0)),
            int(std::lround(screen.y() + (screen.height() - window->height()) / 2.0))};
}

void closeAndWait(QWidget *window) {
    QPointer<QWidget> watched(window);
    window->close();
    QTRY_VERIFY(watched.isNull());
}

} // namespace

// The About panel and the help window, opened through the main window's
// help command.
class TestWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void helpCommandOpensThePanel();
    void secondClickBringsTheSamePanel();
    void cancelOnlyClosesThePanel();
    void panelOpensAfreshCentred();
    void panelDragsOnlyWithTheLeftButton();
    void helpButtonOpensTheHelpWindow();
    void helpWindowOpenIsBroughtForward();
    void helpWindowChrome();
    void helpWindowWithoutFile();
    void helpWindowWithEmptyFile();
    void helpCloseButtonClosesOnlyIt();
    void panelChrome();

private:
    void clickHelpCommand() { QTest::mouseClick(form->helpButton, Qt::LeftButton); }
    std::unique_ptr<MainWindow> form;
    int drags = 0;
};

void TestWindows::initTestCase() {
    installSongFaceSubstitutes();
}

void TestWindows::init() {
    writeHelpFile("line one\r\n\xB0\xEF\xD6\xFA\r\n");
    form = std::make_unique<MainWindow>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestWindows::cleanup() {
    setDragMoveObserver({});
    if (AboutPanel::instance()) closeAndWait(AboutPanel::instance());
    if (HelpWindow::instance()) closeAndWait(HelpWindow::instance());
    form.reset();
    QFile::remove(HelpWindow::helpFilePath());
}

void TestWindows::helpCommandOpensThePanel() {
    clickHelpCommand();
    AboutPanel *panel = AboutPanel::instance();
    QVERIFY(panel);
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    QCOMPARE(panel->windowTitle(), QString("　版权说明"));
    QCOMPARE(panel->size(), QSize(375, 203));
    QCOMPARE(panel->pos(), centredTopLeft(panel));
    QVERIFY(panel->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(panel->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!panel->parentWidget());
    QCOMPARE(panel->mask(), RoundRegion(panel->size(), 20));
    QCOMPARE(panel->helpButton->text(), QString("帮　　 助"));
    QCOMPARE(panel->cancelButton->text(), QString("取　　 消"));
    for (SkinnedButton *button : {panel->helpButton, panel->cancelButton}) {
        QCOMPARE(button->text().size(), 5);
        QCOMPARE(button->captionColor(), QColor(0, 0, 0));
        QCOMPARE(button->faceColor(), QColor(128, 128, 255));
        QCOMPARE(button->size(), QSize(89, 30));
    }
    QCOMPARE(panel->picture->pixmap().size(), QSize(100, 100));
    QVERIFY(panel->notice->text().contains(QStringLiteral(SCORE_VERSION)));
    QVERIFY(!HelpWindow::instance());
}

void TestWindows::secondClickBringsTheSamePanel() {
    clickHelpCommand();
    AboutPanel *first = AboutPanel::instance();
    first->move(10, 10);
    clickHelpCommand();
    QCOMPARE(AboutPanel::instance(), first);
    QCOMPARE(first->pos(), QPoint(10, 10));
}

void TestWindows::cancelOnlyClosesThePanel() {
    clickHelpCommand();
    QTest::mouseClick(AboutPanel::instance()->cancelButton, Qt::LeftButton);
    QTRY_VERIFY(!AboutPanel::instance());
    QVERIFY(!HelpWindow::instance());
    QVERIFY(form->isVisible());
}

void TestWindows::panelOpensAfreshCentred() {
    clickHelpCommand();
    AboutPanel::instance()->move(5, 5);
    QTest::mouseClick(AboutPanel::instance()->cancelButton, Qt::LeftButton);
    QTRY_VERIFY(!AboutPanel::instance());
    clickHelpCommand();
    QCOMPARE(AboutPanel::instance()->pos(), centredTopLeft(AboutPanel::instance()));
}

void TestWindows::panelDragsOnlyWithTheLeftButton() {
    setDragMoveObserver([this](QWidget *) { ++drags; });
    clickHelpCommand();
    AboutPanel *panel = AboutPanel::instance();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    const QPoint bare(200, 20);
    QVERIFY(!panel->childAt(bare));
    QTest::mousePress(panel, Qt::RightButton, {}, bare);
    QTest::mouseRelease(panel, Qt::RightButton, {}, bare);
    QCOMPARE(drags, 0);
    QTest::mousePress(panel, Qt::LeftButton, {}, bare);
    QTest::mouseRelease(panel, Qt::LeftButton, {}, bare);
    QCOMPARE(drags, 1);
}

void TestWindows::helpButtonOpensTheHelpWindow() {
    clickHelpCommand();
    QTest::mouseClick(AboutPanel::instance()->helpButton, Qt::LeftButton);
    QTRY_VERIFY(!AboutPanel::instance());
    HelpWindow *help = HelpWindow::instance();
    QVERIFY(help);
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QCOMPARE(help->windowTitle(), QString("　帮助"));
    QCOMPARE(help->size(), QSize(668, 391));
    QCOMPARE(help->pos(), centredTopLeft(help));
    QVERIFY(help->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(help->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!help->parentWidget());
    QCOMPARE(help->mask(), RoundRegion(help->size(), 20));
    QCOMPARE(help->text(), QStringLiteral("line one\r\n帮助\r\n"));
    QCOMPARE(help->textBox->toPlainText(), QStringLiteral("line one\n帮助"));
    QVERIFY(help->textBox->isReadOnly());
    QCOMPARE(help->textBox->font().pointSizeF(), 10.5);
}

void TestWindows::helpWindowOpenIsBroughtForward() {
    clickHelpCommand();
    QTest::mouseClick(AboutPanel::instance()->helpButton, Qt::LeftButton);
    HelpWindow *help = HelpWindow::instance();
    QVERIFY(help);
    writeHelpFile("changed\r\n");
    clickHelpCommand();
    QTest::mouseClick(AboutPanel::instance()->helpButton, Qt::LeftButton);
    QTRY_VERIFY(!AboutPanel::instance());
    QCOMPARE(HelpWindow::instance(), help);
    QCOMPARE(help->text(), QStringLiteral("line one\r\n帮助\r\n")); // not read again
    // Closed and opened again, it reads the file afresh.
    closeAndWait(help);
    HelpWindow::showWindow();
    QCOMPARE(HelpWindow::instance()->text(), QString("changed\r\n"));
}

void TestWindows::helpWindowChrome() {
    HelpWindow *help = HelpWindow::showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(help));
    const QImage image = help->grab().toImage();
    for (int x = 0; x < image.width(); ++x) {
        QCOMPARE(image.pixelColor(x, 28), QColor(105, 0, 105));
        QCOMPARE(image.pixelColor(x, 29), QColor(255, 200, 255));
    }
    // Bands of 5865 / 63 = 93 twips: pixel row 20 (300 twips) lies in band 3.
    QCOMPARE(image.pixelColor(400, 20), QColor(122, 122, 249));
    // The black title begins at (40, 13), its highlight one pixel down and right.
    int blacks = 0;
    for (int y = 0; y < 28; ++y)
        for (int x = 30; x < 600; ++x)
            if (image.pixelColor(x, y) == QColor(0, 0, 0)) {
                ++blacks;
                QVERIFY(x >= 40 && y >= 13);
            }
    QVERIFY(blacks > 30);
    QCOMPARE(help->closeButton->geometry(), QRect(637, 7, 20, 20));
}

void TestWindows::helpWindowWithoutFile() {
    QFile::remove(HelpWindow::helpFilePath());
    HelpWindow *help = HelpWindow::showWindow();
    QCOMPARE(help->textBox->toPlainText(), QString("无法打开帮助文件！"));
    // Still fully usable: it closes.
    closeAndWait(help);
}

void TestWindows::helpWindowWithEmptyFile() {
    writeHelpFile("");
    HelpWindow *help = HelpWindow::showWindow();
    QCOMPARE(help->textBox->toPlainText(), QString());
    QCOMPARE(help->text(), QString());
}

void TestWindows::helpCloseButtonClosesOnlyIt() {
    QSignalSpy ended(form.get(), &MainWindow::programEnded);
    HelpWindow *help = HelpWindow::showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QTest::mouseClick(help->closeButton, Qt::LeftButton, {}, QPoint(10, 10));
    QTRY_VERIFY(!HelpWindow::instance());
    QVERIFY(form->isVisible());
    QCOMPARE(ended.count(), 0);
}

void TestWindows::panelChrome() {
    clickHelpCommand();
    AboutPanel *panel = AboutPanel::instance();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    const QImage image = panel->grab().toImage();
    QCOMPARE(image.pixelColor(200, 28), QColor(0, 0, 105));
    QCOMPARE(image.pixelColor(200, 29), QColor(255, 255, 255));
    // Title at (27, 11) with its highlight only one pixel below it.
    int blacks = 0;
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(0, 0, 0)) {
                ++blacks;
                QVERIFY(x >= 27 && y >= 11);
                const QColor below = image.pixelColor(x, y + 1);
                QVERIFY(below == QColor(0, 0, 0) || below == QColor(238, 238, 238));
            }
    QVERIFY(blacks > 50);
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
