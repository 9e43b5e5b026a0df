// The windows at a scale factor of 2 (CTest runs this with QT_SCALE_FACTOR=2):
// twice as large, with the outline, the chrome and the pictures in device
// pixels.
#include "app/mainwindow.h"
#include "skin/captionbutton.h"
#include "skin/windowshape.h"
#include "windows/aboutpanel.h"
#include "windows/helpwindow.h"

#include <QLabel>
#include <QTest>

namespace {
QWidget *window(const QString &name) {
    if (name == u"about") return AboutPanel::showPanel();
    if (name == u"help") return HelpWindow::showWindow();
    static MainWindow *form = new MainWindow;
    form->show();
    return form;
}
} // namespace

class TestScale : public QObject {
    Q_OBJECT
private slots:
    void outlineInDevicePixels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("main window") << "main" << QRect(8, 8, 1550, 1054); // 783 × 535
        QTest::newRow("About panel") << "about" << QRect(8, 8, 734, 390);  // 375 × 203
        QTest::newRow("help window") << "help" << QRect(8, 8, 1320, 766);  // 668 × 391
    }

    // 8 device pixels in, corners of 40: the circle about (28, 28) of radius 20
    // reaches x 23.6 on row 8 and x 20.4 on row 9, a one-pixel step that a
    // logical outline scaled by 2 (rows in pairs) can't make.
    void outlineInDevicePixels() {
        QFETCH(QString, name);
        QFETCH(QRect, bounds);
        QWidget *w = window(name);
        const QRegion outline = RoundRegion(w->size(), 20, w->devicePixelRatioF());
        QCOMPARE(outline.boundingRect(), bounds);
        QVERIFY(!outline.contains(QPoint(22, 8)));
        QVERIFY(outline.contains(QPoint(22, 9)));
        QVERIFY(outline.contains(QPoint(8, 28)));
        QVERIFY(!outline.contains(QPoint(bounds.right() - 14, 8)));
        QVERIFY(outline.contains(QPoint(bounds.right() - 14, 9)));
    }

    void chromeInDevicePixels_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("color");
        // Bands of 127 twips: band 1 begins on logical row 8, device row 16.
        QTest::newRow("band 0") << QPoint(1400, 15) << QColor(128, 128, 255);
        QTest::newRow("band 1") << QPoint(1400, 16) << QColor(126, 126, 253);
        QTest::newRow("dark line") << QPoint(1400, 56) << QColor(0, 0, 105);
        QTest::newRow("dark line, second row") << QPoint(1400, 57) << QColor(0, 0, 105);
        QTest::newRow("light line") << QPoint(1400, 58) << QColor(255, 255, 255);
    }

    void chromeInDevicePixels() {
        QFETCH(QPoint, at);
        QFETCH(QColor, color);
        const QImage shot = window("main")->grab().toImage();
        QCOMPARE(shot.size(), QSize(1566, 1070));
        QCOMPARE(shot.pixelColor(at), color);
    }

    void pictures_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QSize>("size");
        auto *form = static_cast<MainWindow *>(window("main"));
        QTest::newRow("close button") << form->closeButton->composed() << QSize(40, 40);
        QTest::newRow("logo") << form->logo->pixmap().toImage() << QSize(40, 40);
        QTest::newRow("About picture")
            << AboutPanel::showPanel()->picture->pixmap().toImage() << QSize(200, 200);
    }

    void pictures() {
        QFETCH(QImage, picture);
        QFETCH(QSize, size);
        QCOMPARE(picture.size(), size);
        QCOMPARE(picture.devicePixelRatio(), 2.0);
    }
};

QTEST_MAIN(TestScale)

#include "tst_scale.moc"
