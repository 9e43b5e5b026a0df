#include "skin/chrome.h"
#include "skin/colors.h"
#include "skin/picturebox.h"
#include "skin/pointer.h"
#include "skin/skinnedbutton.h"
#include "skin/windowshape.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

class TestSkin : public QObject {
    Q_OBJECT
private slots:
    void shiftColor_data();
    void shiftColor();
    void shiftColorDropsTheHighestByte();
    void colorChannel();
    void bandHeight_data();
    void bandHeight();
    void inset_data();
    void inset();
    void roundRegion_data();
    void roundRegion();
    void pointerStrictlyInside_data();
    void pointerStrictlyInside();
    void closePicturesOnTheBase_data();
    void closePicturesOnTheBase();
    void skinnedButtonClicks();
    void skinnedButtonDrawsCaptionAtItsOffset();
};

void TestSkin::shiftColor_data() {
    QTest::addColumn<uint>("color");
    QTest::addColumn<int>("amount");
    QTest::addColumn<uint>("expected");
    QTest::newRow("base, 0") << RGB(128, 128, 255) << 0 << RGB(128, 128, 255);
    QTest::newRow("base, 2") << RGB(128, 128, 255) << 2 << RGB(126, 126, 253);
    QTest::newRow("base, 10") << RGB(128, 128, 255) << 10 << RGB(118, 118, 245);
    QTest::newRow("base, 50") << RGB(128, 128, 255) << 50 << RGB(78, 78, 205);
    QTest::newRow("base, 150 clamps at 0") << RGB(128, 128, 255) << 150 << RGB(0, 0, 105);
    QTest::newRow("base, -200 clamps at 255") << RGB(128, 128, 255) << -200 << RGB(255, 255, 255);
    QTest::newRow("magenta, 150") << RGB(255, 0, 255) << 150 << RGB(105, 0, 105);
    QTest::newRow("magenta, -200") << RGB(255, 0, 255) << -200 << RGB(255, 200, 255);
    QTest::newRow("extreme amount") << RGB(1, 2, 3) << -32768 << RGB(255, 255, 255);
}

void TestSkin::shiftColor() {
    QFETCH(uint, color);
    QFETCH(int, amount);
    QFETCH(uint, expected);
    QCOMPARE(ShiftColor(color, std::int16_t(amount)), expected);
}

void TestSkin::shiftColorDropsTheHighestByte() {
    QCOMPARE(ShiftColor(0xAB000000u | RGB(10, 20, 30), 0), RGB(10, 20, 30));
    QCOMPARE(RGB(1, 2, 3), 0x030201u);
}

void TestSkin::colorChannel() {
    const Rgb color = RGB(12, 34, 56);
    QCOMPARE(int(ColorChannel(color, 'r')), 12);
    QCOMPARE(int(ColorChannel(color, 'g')), 34);
    QCOMPARE(int(ColorChannel(color, 'b')), 56);
}

void TestSkin::bandHeight_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("band");
    QTest::newRow("main window") << 8025 << 127;
    QTest::newRow("smallest covered") << 2016 << 32;
    QTest::newRow("rounds down") << 6000 << 95;
    QTest::newRow("rounds up") << 6020 << 96;
}

void TestSkin::bandHeight() {
    QFETCH(int, height);
    QFETCH(int, band);
    QCOMPARE(GradientBandTwips(height), band);
    // 64 bands always reach the bottom edge.
    QVERIFY(64 * band >= height);
}

void TestSkin::inset_data() {
    QTest::addColumn<int>("corner");
    QTest::addColumn<int>("inset");
    QTest::newRow("15") << 15 << 2;
    QTest::newRow("16") << 16 << 4;
    QTest::newRow("20") << 20 << 4;
}

void TestSkin::inset() {
    QFETCH(int, corner);
    QFETCH(int, inset);
    QCOMPARE(RoundRegionInset(corner), inset);
}

void TestSkin::roundRegion_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("inside");
    // A 600 x 400 window with corner 20: from (4, 4) to (596, 396), right and
    // bottom edges excluded.
    QTest::newRow("top edge") << QPoint(300, 4) << true;
    QTest::newRow("above the top edge") << QPoint(300, 3) << false;
    QTest::newRow("left edge") << QPoint(4, 200) << true;
    QTest::newRow("left of the left edge") << QPoint(3, 200) << false;
    QTest::newRow("right edge") << QPoint(595, 200) << true;
    QTest::newRow("past the right edge") << QPoint(596, 200) << false;
    QTest::newRow("bottom edge") << QPoint(300, 395) << true;
    QTest::newRow("past the bottom edge") << QPoint(300, 396) << false;
    QTest::newRow("top left corner cut") << QPoint(5, 5) << false;
    QTest::newRow("bottom right corner cut") << QPoint(594, 394) << false;
    QTest::newRow("inside the corner ellipse") << QPoint(8, 8) << true;
    QTest::newRow("middle") << QPoint(300, 200) << true;
}

void TestSkin::roundRegion() {
    QFETCH(QPoint, point);
    QFETCH(bool, inside);
    QCOMPARE(RoundRegion(QSize(600, 400), 20).contains(point), inside);
}

void TestSkin::pointerStrictlyInside_data() {
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<bool>("inside");
    // The control covers the screen pixels from (110, 120) to (130, 140).
    QTest::newRow("centre") << QPoint(120, 130) << true;
    QTest::newRow("on the left border") << QPoint(110, 130) << false;
    QTest::newRow("just inside left") << QPoint(111, 130) << true;
    QTest::newRow("on the right border") << QPoint(130, 130) << false;
    QTest::newRow("just inside right") << QPoint(129, 130) << true;
    QTest::newRow("on the top border") << QPoint(120, 120) << false;
    QTest::newRow("just inside top") << QPoint(120, 121) << true;
    QTest::newRow("on the bottom border") << QPoint(120, 140) << false;
    QTest::newRow("just inside bottom") << QPoint(120, 139) << true;
    QTest::newRow("far away") << QPoint(0, 0) << false;
}

void TestSkin::pointerStrictlyInside() {
    QFETCH(QPoint, pointer);
    QFETCH(bool, inside);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(100, 100, 200, 200);
    QWidget control(&window);
    control.setGeometry(10, 20, 20, 20);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(IsPointerOverControl(&window, &control, pointer), inside);
    // After a move the test follows the window.
    window.move(300, 300);
    QCOMPARE(IsPointerOverControl(&window, &control, pointer + QPoint(200, 200)), inside);
}

void TestSkin::closePicturesOnTheBase_data() {
    QTest::addColumn<bool>("hover");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("rest ground") << false << QPoint(0, 0) << QColor(128, 128, 255);
    QTest::newRow("rest square") << false << QPoint(9, 4) << QColor(128, 0, 102);
    QTest::newRow("rest cross") << false << QPoint(9, 9) << QColor(128, 128, 255);
    QTest::newRow("hover ground") << true << QPoint(19, 19) << QColor(128, 128, 255);
    QTest::newRow("hover square") << true << QPoint(8, 3) << QColor(128, 0, 94);
    QTest::newRow("hover shadow") << true << QPoint(16, 10) << QColor(128, 128, 199);
}

void TestSkin::closePicturesOnTheBase() {
    QFETCH(bool, hover);
    QFETCH(QPoint, at);
    QFETCH(QColor, expected);
    PictureBox box;
    box.resize(20, 20);
    box.setBackgroundColor(toQColor(skin::Base));
    const QImage picture = hover ? skin::closeHoverPicture() : skin::closeRestPicture();
    QCOMPARE(picture.size(), QSize(20, 21));
    box.setPicture(picture);
    QCOMPARE(box.composed().pixelColor(at), expected);
}

void TestSkin::skinnedButtonClicks() {
    SkinnedButton button(QStringLiteral("数　据　导　入"), 450, 80);
    button.resize(145, 25);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QSignalSpy clicks(&button, &SkinnedButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    button.setFocus();
    QTest::keyClick(&button, Qt::Key_Space);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(button.focusPolicy(), Qt::StrongFocus);
}

void TestSkin::skinnedButtonDrawsCaptionAtItsOffset() {
    SkinnedButton button(QStringLiteral("退  出"), 1200, 80);
    button.resize(185, 25);
    button.setFaceColor(QColor(234, 183, 110));
    button.setCaptionColor(QColor(0, 0, 0));
    const QImage image = button.grab().toImage();
    // The caption starts 1200 / 15 = 80 pixels in and 80 / 15 = 5 pixels down.
    int leftmost = image.width(), topmost = image.height(), inked = 0;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            if (image.pixelColor(x, y).lightness() < 80) { // caption ink
                leftmost = std::min(leftmost, x);
                topmost = std::min(topmost, y);
                ++inked;
            }
    QVERIFY(inked > 20);
    QVERIFY(leftmost >= 80 && leftmost <= 84);
    QVERIFY(topmost >= 5 && topmost <= 9);
    QCOMPARE(image.pixelColor(3, 12), QColor(234, 183, 110));
}

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
