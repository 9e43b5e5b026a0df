#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "tests/support/fulldisk.h"
#include "windows/filedialog.h"
#include "windows/gradewindow.h"
#include "windows/messagebox.h"
#include "windows/printdialog.h"
#include "workbook/open/openworkbook.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPdfWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

const QString Fixtures = QStringLiteral(SCORE_FIXTURES_DIR "/");

static QString pdfText(const QString &path) {
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

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
        QTest::mouseClick(window()->findChild<SkinnedButton *>("addFilesButton"), Qt::LeftButton);
        FileDialog::setNextFileName(Fixtures + u"../support"_s);
        QTest::mouseClick(window()->findChild<SkinnedButton *>("addFolderButton"), Qt::LeftButton);
        window()->findChild<QListWidget *>("sourceList")->setCurrentRow(3);
        QTest::mouseClick(window()->findChild<SkinnedButton *>("removeButton"), Qt::LeftButton);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(Fixtures + u"grade/三班.xls"_s)});
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window()->windowHandle(), &enter);
        QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window()->windowHandle(), &drop);
        QSignalSpy done(window(), &GradeWindow::computed);
        QTest::mouseClick(window()->findChild<SkinnedButton *>("computeButton"), Qt::LeftButton);
        QTest::mouseClick(window()->findChild<SkinnedButton *>("computeButton"), Qt::LeftButton);
        return done.wait(20000) && done.count() == 1;
    }

private slots:
    void init() {
        installSongFaceSubstitutes();
        MessageBox::setRecorder([this](const QString &text) { messages.append(text); });
        QVERIFY(QTest::qWaitForWindowExposed(GradeWindow::showWindow()));
    }

    void cleanup() { delete window(); }

    // 一班 90 80 缺考 70, 二班 90 60 abc, 三班 100 50 (blank row) 60 30:
    // grade mean 70; the damaged workbook is listed with its message.
    void classTableAndStates() {
        QVERIFY(computeThree());
        QStringList rows(window()->findChild<QTableWidget *>("classTable")->rowCount());
        for (int row = 0; row < rows.size(); ++row)
            for (int column = 0;
                 column < window()->findChild<QTableWidget *>("classTable")->columnCount();
                 ++column)
                rows[row] +=
                    window()->findChild<QTableWidget *>("classTable")->item(row, column)->text() +
                    u' ';
        QCOMPARE(rows,
                 (QStringList{u"一班 4 3 1 80.00 14.29 90 70 8.16 33.33 100.00 0.00 66.67 1 "_s,
                              u"二班 3 2 0 75.00 7.14 90 60 15.00 50.00 100.00 0.00 50.00 2 "_s,
                              u"三班 4 4 0 60.00 -14.29 100 30 25.50 25.00 50.00 25.00 25.00 3 "_s,
                              u"年级 11 9 1 70.00  100 30 21.08 33.33 77.78 11.11 44.44  "_s}));
        QCOMPARE(window()->findChild<QListWidget *>("sourceList")->item(2)->text(),
                 u"broken_truncated.xlsx　无法打开Excel文件，请检查后重新输入文件名及路径！"_s);
        QCOMPARE(window()->findChild<QListWidget *>("sourceList")->item(3)->text(),
                 u"三班.xls　已读取"_s);
    }

    // A failure is told on the row of its own source; a file that stands twice
    // is read once, and its second row says so.
    void failureOnItsOwnRow() {
        const QString broken = Fixtures + u"broken_truncated.xlsx"_s;
        FileDialog::setNextFileNames({broken, Fixtures + u"grade/一班.xlsx"_s, broken});
        QTest::mouseClick(window()->findChild<SkinnedButton *>("addFilesButton"), Qt::LeftButton);
        QSignalSpy done(window(), &GradeWindow::computed);
        QTest::mouseClick(window()->findChild<SkinnedButton *>("computeButton"), Qt::LeftButton);
        QVERIFY(done.wait(20000));
        const auto *list = window()->findChild<QListWidget *>("sourceList");
        const QString failed =
            u"broken_truncated.xlsx　无法打开Excel文件，请检查后重新输入文件名及路径！"_s;
        QCOMPARE(list->item(0)->text(), failed);
        QCOMPARE(list->item(1)->text(), u"一班.xlsx　已读取"_s);
        QCOMPARE(list->item(2)->text(), u"broken_truncated.xlsx　与来源"_s + broken +
                                            u"是同一个文件的同一个表，只计一次！"_s);
    }

    void fieldsFromHeader_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("typedField");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("fields"); // first row, number, name, score
        QTest::addColumn<QString>("expected");   // 应考 once computed; empty: not computed
        // Rows 3-12 hold the ten students, 13 平均分 and 14 制表人.
        const QString title = u"layout_title_openpyxl.xlsx"_s;
        QTest::newRow("title above the header")
            << title << QString() << QString() << QStringList{"3", "1", "2", "4"} << u"10"_s;
        QTest::newRow("a typed column is kept") << title << u"scoreColumnField"_s << u"5"_s
                                                << QStringList{"3", "1", "2", "5"} << u"10"_s;
        QTest::newRow("a typed first row reads to the end")
            << title << u"firstRowField"_s << u"7"_s << QStringList{"7", "1", "2", "4"} << u"8"_s;
        QTest::newRow("no header: the defaults")
            << u"layout_noheader_openpyxl.xlsx"_s << QString() << QString()
            << QStringList{"2", "1", "2", "3"} << QString();
    }

    // The first source's header row fills the data position the teacher has
    // not typed in, and the class ends at its last row found; a sheet without
    // a header leaves the fields as they were.
    void fieldsFromHeader() {
        QFETCH(QString, file);
        QFETCH(QString, typedField);
        QFETCH(QString, typed);
        QFETCH(QStringList, fields);
        QFETCH(QString, expected);
        if (!typedField.isEmpty()) {
            auto *field = window()->findChild<QLineEdit *>(typedField);
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, typed);
        }
        FileDialog::setNextFileNames({Fixtures + file});
        QTest::mouseClick(window()->findChild<SkinnedButton *>("addFilesButton"), Qt::LeftButton);
        QStringList shown;
        for (const char *name :
             {"firstRowField", "numberColumnField", "nameColumnField", "scoreColumnField"})
            shown << window()->findChild<QLineEdit *>(name)->text();
        QCOMPARE(shown, fields);
        if (expected.isEmpty()) return;
        QSignalSpy done(window(), &GradeWindow::computed);
        QTest::mouseClick(window()->findChild<SkinnedButton *>("computeButton"), Qt::LeftButton);
        QVERIFY(done.wait(20000));
        QCOMPARE(window()->findChild<QTableWidget *>("classTable")->item(0, 1)->text(), expected);
    }

    void fullDisk_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::newRow(".xlsx") << u"excelButton"_s << u"年级.xlsx"_s;
        QTest::newRow(".csv") << u"csvButton"_s << u"年级.csv"_s;
        QTest::newRow("PDF") << u"pdfButton"_s << u"年级.pdf"_s;
    }

    // A small file system of its own, full: the export fails with the
    // program's message and the old file stays as it was.
    void fullDisk() {
        QFETCH(QString, button);
        QFETCH(QString, target);
        FullDisk disk(target);
        if (!disk.unavailable().isEmpty()) QSKIP(qPrintable(disk.unavailable()));
        QVERIFY(disk.filled());
        const QString path = disk.path(target);
        QVERIFY(computeThree());
        messages.clear();
        FileDialog::setNextFileName(path);
        QTest::mouseClick(window()->findChild<SkinnedButton *>(button), Qt::LeftButton);
        QCOMPARE(messages, QStringList{u"磁盘已满，无法写入导出文件，请腾出空间后再试："_s + path});
        QCOMPARE(disk.contents(target), QByteArray("old"));
    }

    void exportsAndPrint() {
        QVERIFY(computeThree());
        FileDialog::setNextFileName(folder.filePath(u"年级.xlsx"_s));
        QTest::mouseClick(window()->findChild<SkinnedButton *>("excelButton"), Qt::LeftButton);
        FileDialog::setNextFileName(folder.filePath(u"年级"_s)); // the ending is added
        QTest::mouseClick(window()->findChild<SkinnedButton *>("csvButton"), Qt::LeftButton);
        FileDialog::setNextFileName(folder.filePath(u"年级"_s));
        QTest::mouseClick(window()->findChild<SkinnedButton *>("pdfButton"), Qt::LeftButton);
        int error = -1;
        const auto book = analysis::openWorkbook(folder.filePath(u"年级.xlsx"_s), &error);
        std::vector<analysis::SheetRow> rows;
        QCOMPARE(book ? book->readRows(0, 1, {1, 5, 6}, &rows) : error, 0);
        QCOMPARE(rows[3].texts, (QStringList{u"三班"_s, "60", "-14.29"}));
        QFile csv(folder.filePath(u"年级.csv"_s));
        QVERIFY(
            csv.open(QIODevice::ReadOnly) &&
            csv.readAll().contains(
                u"\r\n二班,3,2,0,75.00,7.14,90,60,15.00,50.00,100.00,0.00,50.00,2\r\n"_s.toUtf8()));
        const QString text = pdfText(folder.filePath(u"年级.pdf"_s));
        QVERIFY2(text.contains(u"年级平均分 70"_s) && text.contains(u"吴十"_s), qPrintable(text));
        PrintDialog::setRecorder([this](const PrintDialog::PaintPages &paint) {
            QPdfWriter writer(folder.filePath(u"printed.pdf"_s));
            paint(writer);
        });
        QTest::mouseClick(window()->findChild<SkinnedButton *>("printButton"), Qt::LeftButton);
        QCOMPARE(pdfText(folder.filePath(u"printed.pdf"_s)), text);
    }
};

QTEST_MAIN(TestGradeWindow)
#include "tst_gradewindow.moc"
