#include "analysis/workbook.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "windows/filedialog.h"
#include "windows/gradewindow.h"
#include "windows/messagebox.h"
#include "windows/printdialog.h"

#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPdfWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Fixtures = QStringLiteral(SCORE_FIXTURES_DIR "/");

void click(QWidget *button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
}

QString pdfText(const QString &path) {
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// The window driven as a grade leader would: browse, add a folder, drop,
// remove, compute, export.
class TestGradeWindow : public QObject {
    Q_OBJECT

    QStringList messages;
    QTemporaryDir folder;

    GradeWindow *window() const { return GradeWindow::instance(); }

    // 一班, 二班 and a damaged workbook browsed at once, a folder without
    // workbooks added and removed again, 三班 dropped, computed (twice clicked).
    bool computeThree() {
        FileDialog::setNextFileNames({Fixtures + u"grade/一班.xlsx"_s,
                                      Fixtures + u"grade/二班.ods"_s,
                                      Fixtures + u"broken_truncated.xlsx"_s});
        click(window()->addFilesButton);
        FileDialog::setNextFileName(Fixtures + u"../support"_s);
        click(window()->addFolderButton);
        window()->sourceList->setCurrentRow(3);
        click(window()->removeButton);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(Fixtures + u"grade/三班.xls"_s)});
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window()->windowHandle(), &enter);
        QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window()->windowHandle(), &drop);
        QSignalSpy done(window(), &GradeWindow::computed);
        click(window()->computeButton);
        click(window()->computeButton);
        return done.wait(20000) && done.count() == 1;
    }

    QStringList tableRow(int row) const {
        QStringList texts;
        for (int column = 0; column < window()->classTable->columnCount(); ++column)
            texts << window()->classTable->item(row, column)->text();
        return texts;
    }

private slots:
    void initTestCase() {
        installSongFaceSubstitutes();
        MessageBox::setRecorder([this](const QString &text) { messages.append(text); });
    }

    void init() {
        messages.clear();
        QVERIFY(QTest::qWaitForWindowExposed(GradeWindow::showWindow()));
    }

    void cleanup() { delete window(); }

    // 一班 90 80 缺考 70, 二班 90 60 abc, 三班 100 50 (blank row) 60 30: grade mean 70.
    void classTable_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("figures");
        QTest::newRow("一班") << 0
                              << u"一班 4 3 1 80.00 14.29 90 70 8.16 33.33 100.00 0.00 66.67 1"_s;
        QTest::newRow("二班") << 1
                              << u"二班 3 2 0 75.00 7.14 90 60 15.00 50.00 100.00 0.00 50.00 2"_s;
        QTest::newRow("三班")
            << 2 << u"三班 4 4 0 60.00 -14.29 100 30 25.50 25.00 50.00 25.00 25.00 3"_s;
        QTest::newRow("年级") << 3 << u"年级 11 9 1 70.00  100 30 21.08 33.33 77.78 11.11 44.44 "_s;
    }

    void classTable() {
        QFETCH(int, row);
        QFETCH(QString, figures);
        QVERIFY(computeThree());
        QCOMPARE(window()->classTable->rowCount(), 4);
        QCOMPARE(tableRow(row).join(u' '), figures);
    }

    void failureInTheList() {
        QVERIFY(computeThree());
        QStringList items;
        for (int row = 0; row < window()->sourceList->count(); ++row)
            items << window()->sourceList->item(row)->text();
        QCOMPARE(items,
                 (QStringList{
                     u"一班.xlsx　已读取"_s, u"二班.ods　已读取"_s,
                     u"broken_truncated.xlsx　无法打开Excel文件，请检查后重新输入文件名及路径！"_s,
                     u"三班.xls　已读取"_s}));
    }

    void exportsAndPrint() {
        QVERIFY(computeThree());
        FileDialog::setNextFileName(folder.filePath(u"年级.xlsx"_s));
        click(window()->excelButton);
        FileDialog::setNextFileName(folder.filePath(u"年级"_s)); // the ending is added
        click(window()->csvButton);
        FileDialog::setNextFileName(folder.filePath(u"年级"_s));
        click(window()->pdfButton);
        QCOMPARE(messages, QStringList());
        int error = -1;
        const std::unique_ptr<analysis::Workbook> book =
            analysis::openWorkbook(folder.filePath(u"年级.xlsx"_s), &error);
        QVERIFY(book);
        std::vector<analysis::SheetRow> rows;
        QCOMPARE(book->readRows(0, 1, {1, 5, 6}, &rows), 0);
        QCOMPARE(rows[3].texts, (QStringList{u"三班"_s, "60", "-14.29"}));
        QFile csv(folder.filePath(u"年级.csv"_s));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readAll().contains(
            u"\r\n二班,3,2,0,75.00,7.14,90,60,15.00,50.00,100.00,0.00,50.00,2\r\n"_s.toUtf8()));
        const QString text = pdfText(folder.filePath(u"年级.pdf"_s));
        QVERIFY2(text.contains(u"年级平均分 70"_s) && text.contains(u"吴十"_s), qPrintable(text));
        const QString printed = folder.filePath(u"printed.pdf"_s);
        PrintDialog::setRecorder([&printed](const PrintDialog::PaintPages &paint) {
            QPdfWriter writer(printed);
            paint(writer);
        });
        click(window()->printButton);
        PrintDialog::setRecorder({});
        QCOMPARE(pdfText(printed), text);
    }
};

QTEST_MAIN(TestGradeWindow)
#include "tst_gradewindow.moc"
