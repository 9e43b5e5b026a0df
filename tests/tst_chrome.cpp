#include "app/mainwindow.h"
#include "skin/captionbutton.h"
#include "skin/colors.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "skin/windowshape.h"

#include "app/captionframe.h"
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

QColor bandColor(int band) {
    return QColor(128 - 2 * band, 128 - 2 * band, 255 - 2 * band);
}

} // namespace

// The main window's painted look, its outline, its close button and its
// drag-move, on the rendered window.
class TestChrome : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void gradientBands();
    void separatorRows();
    void embossedTitle();
    void frameTints();
    void buttonColours();
    void outline_data();
    void outline();
    void closeButtonHover();
    void closeButtonBorderIsOutside();
    void closeButtonEndsTheProgram();
    void dragOnlyFromTheBareSurface_data();
    void dragOnlyFromTheBareSurface();
    void windowFollowsThePointer();

private:
    QImage rendered() { return form->grab().toImage(); }
    std::unique_ptr<MainWindow> form;
    int dragsBegun = 0;
};

void TestChrome::initTestCase() {
    installSongFaceSubstitutes();
}

void TestChrome::init() {
    form = std::make_unique<MainWindow>();
    form->move(100, 100);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    dragsBegun = 0;
}

void TestChrome::cleanup() {
    setDragMoveObserver({});
    form.reset();
}

void TestChrome::gradientBands() {
    const QImage image = rendered();
    // Column 774 lies right of every control and left of the cut-off strip.
    const int x = 774;
    for (int band = 0; band < 63; ++band) {
        const int centre = qRound((band * 127 + 63.5) / 15.0);
        if (centre == 28 || centre == 29 || centre < 4)
            continue; // the separator rows and the cut-off top strip
        QCOMPARE(image.pixelColor(x, centre), bandColor(band));
    }
    // The 64th band reaches the bottom edge.
    QCOMPARE(image.pixelColor(x, 534), bandColor(63));
    QCOMPARE(bandColor(63), QColor(2, 2, 129));
}

void TestChrome::separatorRows() {
    const QImage image = rendered();
    for (int x = 0; x < image.width(); ++x) {
        QCOMPARE(image.pixelColor(x, 28), QColor(0, 0, 105));
        QCOMPARE(image.pixelColor(x, 29), QColor(255, 255, 255));
    }
}

void TestChrome::embossedTitle() {
    const QImage image = rendered();
    if (qEnvironmentVariableIsSet("SAVE_RENDER")) image.save("/tmp/render.png");
    const QColor black(0, 0, 0), light(238, 238, 238);
    int blacks = 0, lights = 0;
    // The title strip between the icon and the close button.
    for (int y = 0; y < 28; ++y) {
        for (int x = 29; x < 740; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == black) {
                ++blacks;
                QVERIFY(x >= 29 && y >= 13);
                const QColor below = image.pixelColor(x + 1, y + 1);
                QVERIFY2(below == black || below == light,
                         qPrintable(QString("%1,%2").arg(x).arg(y)));
            } else if (c == light) {
                ++lights;
                QVERIFY(x >= 30 && y >= 14);
                QCOMPARE(image.pixelColor(x - 1, y - 1), black);
            }
        }
    }
    QVERIFY(blacks > 100); // six characters of ink
    QVERIFY(lights > 20);
    // Nothing dark left of or above the title, beside the icon.
    for (int y = 0; y < 13; ++y)
        for (int x = 29; x < 740; ++x)
            QVERIFY(image.pixelColor(x, y) != black);
}

void TestChrome::frameTints() {
    QCOMPARE(form->resultsFrame->palette().color(QPalette::Window), QColor(118, 118, 245));
    QCOMPARE(form->importFrame->palette().color(QPalette::Window), QColor(78, 78, 205));
    QCOMPARE(form->columnsFrame->palette().color(QPalette::Window), QColor(78, 78, 205));
    const QImage image = rendered();
    QCOMPARE(image.pixelColor(form->resultsFrame->mapTo(form.get(), QPoint(300, 460))),
             QColor(118, 118, 245));
    QCOMPARE(image.pixelColor(form->importFrame->mapTo(form.get(), QPoint(6, 282))),
             QColor(78, 78, 205));
    QCOMPARE(image.pixelColor(form->columnsFrame->mapTo(form.get(), QPoint(150, 100))),
             QColor(78, 78, 205));
}

void TestChrome::buttonColours() {
    const QImage image = rendered();
    for (SkinnedButton *button : form->findChildren<SkinnedButton *>()) {
        QCOMPARE(button->faceColor(), QColor(234, 183, 110));
        // A face pixel left of the caption.
        QCOMPARE(image.pixelColor(button->mapTo(form.get(), QPoint(3, button->height() / 2))),
                 QColor(234, 183, 110));
    }
    QCOMPARE(form->exitButton->posx(), 1200);
    QCOMPARE(form->browseButton->posy(), 35);
}

void TestChrome::outline_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("shown");
    QTest::newRow("left strip") << QPoint(3, 200) << false;
    QTest::newRow("just within left") << QPoint(4, 200) << true;
    QTest::newRow("top strip") << QPoint(300, 3) << false;
    QTest::newRow("just within top") << QPoint(300, 4) << true;
    QTest::newRow("right strip") << QPoint(779, 200) << false;
    QTest::newRow("just within right") << QPoint(778, 200) << true;
    QTest::newRow("bottom strip") << QPoint(300, 531) << false;
    QTest::newRow("just within bottom") << QPoint(300, 530) << true;
    QTest::newRow("top left corner") << QPoint(5, 5) << false;
    QTest::newRow("top right corner") << QPoint(777, 5) << false;
    QTest::newRow("bottom left corner") << QPoint(5, 529) << false;
    QTest::newRow("bottom right corner") << QPoint(777, 529) << false;
    QTest::newRow("inside the corner curve") << QPoint(8, 8) << true;
}

void TestChrome::outline() {
    QFETCH(QPoint, point);
    QFETCH(bool, shown);
    QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(form->mask().contains(point), shown);
}

void TestChrome::closeButtonHover() {
    CaptionButton *button = form->closeButton;
    const QPoint centre = button->mapToGlobal(QPoint(10, 10));
    QVERIFY(form->closeButton->isAtRest());
    QCOMPARE(button->composed().pixelColor(9, 4), QColor(128, 0, 102));

    QCursor::setPos(centre);
    QTest::mouseMove(button, QPoint(10, 10));
    QVERIFY(!form->closeButton->isAtRest());
    QCOMPARE(button->composed().pixelColor(8, 3), QColor(128, 0, 94));
    // Ticks while the pointer rests on the button change nothing.
    QTest::qWait(120);
    QVERIFY(!form->closeButton->isAtRest());

    // Off the button, the next tick brings the rest picture back.
    QCursor::setPos(centre + QPoint(100, 100));
    QTRY_VERIFY_WITH_TIMEOUT(form->closeButton->isAtRest(), 1000);
    QCOMPARE(button->composed().pixelColor(9, 4), QColor(128, 0, 102));
}

void TestChrome::closeButtonBorderIsOutside() {
    CaptionButton *button = form->closeButton;
    QCursor::setPos(button->mapToGlobal(QPoint(10, 10)));
    QTest::mouseMove(button, QPoint(10, 10));
    QVERIFY(!form->closeButton->isAtRest());
    // The button's left border line, as the screen rectangle counts it.
    QCursor::setPos(form->frameGeometry().topLeft() + button->mapTo(form.get(), QPoint(0, 10)));
    QTRY_VERIFY_WITH_TIMEOUT(form->closeButton->isAtRest(), 1000);
}

void TestChrome::closeButtonEndsTheProgram() {
    QSignalSpy ended(form.get(), &MainWindow::programEnded);
    QTest::mouseClick(form->closeButton, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(ended.count(), 1);
    QVERIFY(!form->isVisible());
}

void TestChrome::dragOnlyFromTheBareSurface_data() {
    QTest::addColumn<QString>("target"); // empty: the window's bare surface
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("moves");
    QTest::newRow("left on the gradient") << "" << QPoint(600, 40) << int(Qt::LeftButton) << true;
    QTest::newRow("left on the title") << "" << QPoint(40, 20) << int(Qt::LeftButton) << true;
    QTest::newRow("right on the gradient")
        << "" << QPoint(600, 40) << int(Qt::RightButton) << false;
    QTest::newRow("middle on the gradient")
        << "" << QPoint(600, 40) << int(Qt::MiddleButton) << false;
    QTest::newRow("left on the icon") << "logo" << QPoint(10, 10) << int(Qt::LeftButton) << false;
    QTest::newRow("left on a label")
        << "unit label" << QPoint(5, 5) << int(Qt::LeftButton) << false;
    QTest::newRow("left on a frame")
        << "resultsFrame" << QPoint(300, 460) << int(Qt::LeftButton) << false;
    QTest::newRow("left on a figure label")
        << "total" << QPoint(3, 3) << int(Qt::LeftButton) << false;
    QTest::newRow("left on a field")
        << "sheetNameField" << QPoint(5, 5) << int(Qt::LeftButton) << false;
    QTest::newRow("left on a button")
        << "sortButton" << QPoint(5, 5) << int(Qt::LeftButton) << false;
}

void TestChrome::dragOnlyFromTheBareSurface() {
    QFETCH(QString, target);
    QFETCH(QPoint, at);
    QFETCH(int, button);
    QFETCH(bool, moves);
    setDragMoveObserver([this](QWidget *) { ++dragsBegun; });
    QWidget *widget = target.isEmpty() ? form.get() : form->findChild<QWidget *>(target);
    if (target == "unit label") widget = form->childAt(QPoint(264, 48)); // "优秀分数段"
    QVERIFY(widget);
    QVERIFY(!target.isEmpty() || form->childAt(at) == nullptr);
    QTest::mousePress(widget, Qt::MouseButton(button), {}, at);
    QTest::mouseRelease(widget, Qt::MouseButton(button), {}, at);
    QCOMPARE(dragsBegun, moves ? 1 : 0);
}

void TestChrome::windowFollowsThePointer() {
    const QPoint start = form->pos();
    QTest::mousePress(form.get(), Qt::LeftButton, {}, QPoint(600, 40));
    QTest::mouseMove(form.get(), QPoint(650, 70));
    QTest::mouseRelease(form.get(), Qt::LeftButton, {}, QPoint(650, 70));
    QTRY_COMPARE(form->pos(), start + QPoint(50, 30));
    // After the release the window stays put.
    QTest::mouseMove(form.get(), QPoint(700, 100));
    QTest::qWait(20);
    QCOMPARE(form->pos(), start + QPoint(50, 30));
}

QTEST_MAIN(TestChrome)
#include "tst_chrome.moc"
