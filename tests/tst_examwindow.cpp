#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "tests/support/fulldisk.h"
#include "windows/examwindow.h"
#include "windows/filedialog.h"
#include "windows/messagebox.h"
#include "windows/printdialog.h"
#include "windows/reportwindow.h"
#include "workbook/open/openworkbook.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The hand-worked exam of tests/fixtures/make_exam.py in one sheet: 一班
// A1-A4 and 二班 B1-B3; 语文 (150 marks: 120, 100, 100, 免考 | 90, 130, 50),
// 数学 (90, 缺考, 60, 75 | 160, 60, 95), 英语 (80 for 一班; 二班 did not take it).
const QString Fixture = QStringLiteral(SCORE_FIXTURES_DIR "/exam/one_sheet.xlsx");

// Typed key by key; keyClicks takes Latin-1 alone.
static void type(QWidget *widget, const QString &text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

static QString pdfText(const QString &path) {
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The window driven as a grade leader would: add the sheet, give 数学 200
// marks, add the total 语数, compute, export.
class TestExamWindow : public QObject {
    Q_OBJECT

    QStringList messages;
    QTemporaryDir folder;
    QString source; // a copy of the fixture, which no export may touch

    ExamWindow *window() const { return ExamWindow::instance(); }
    template <class T> T *child(const char *name) const { return window()->findChild<T *>(name); }
    void click(const char *button) {
        QTest::mouseClick(child<SkinnedButton>(button), Qt::LeftButton);
    }

    QString row(const char *table, int r, int columns) const {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            if (const QTableWidgetItem *item = child<QTableWidget>(table)->item(r, c))
                cells << item->text();
        return cells.join(u' ');
    }

    void typeFullMarks(int subject, const QString &marks) {
        auto *table = child<QTableWidget>("examSubjectTable");
        table->setFocus();
        table->setCurrentCell(subject, 2);
        QTest::keyClick(table, Qt::Key_F2);
        auto *editor = table->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        type(editor, marks);
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::qWait(0); // the closed editor goes before the next key
    }

    bool compute() {
        QSignalSpy done(window(), &ExamWindow::examAnalysed);
        click("computeButton");
        click("computeButton"); // a second press while it runs is ignored
        return done.wait(20000) && done.count() == 1;
    }

    bool computeEdited() {
        FileDialog::setNextFileNames({source});
        click("addFilesButton");
        typeFullMarks(1, u"200"_s);
        type(child<QLineEdit>("totalsField"), u"语数=语文+数学"_s);
        return compute();
    }

private slots:
    void initTestCase() {
        source = folder.filePath(u"成绩.xlsx"_s);
        QVERIFY(QFile::copy(Fixture, source));
    }

    void init() {
        installSongFaceSubstitutes();
        messages.clear();
        MessageBox::setRecorder([this](const QString &text) { messages.append(text); });
        QVERIFY(QTest::qWaitForWindowExposed(ExamWindow::showWindow()));
    }

    void cleanup() { delete window(); }

    void openedFromTheReport() {
        delete window();
        ReportWindow *report = ReportWindow::showWindow();
        QTest::mouseClick(report->findChild<SkinnedButton *>("examButton"), Qt::LeftButton);
        QVERIFY(window() && window()->isVisible());
        delete report;
    }

    // The header of the first source fills the columns; the subjects lie in 总分.
    void detected() {
        FileDialog::setNextFileNames({source});
        click("addFilesButton");
        QCOMPARE(child<QLineEdit>("classColumnField")->text(), u"A"_s);
        QCOMPARE(child<QLineEdit>("numberColumnField")->text(), u"B"_s);
        QCOMPARE(row("examSubjectTable", 0, 4), u"语文 D  总分"_s);
        QCOMPARE(row("examSubjectTable", 2, 4), u"英语 F  总分"_s);
        type(child<QLineEdit>("totalsField"), u"语数=语文+数学"_s);
        QCOMPARE(row("examSubjectTable", 1, 4), u"数学 E  总分、语数"_s);
    }

    // One row per student and subject: the subjects come from the 科目 column,
    // the score from 成绩, and 总分 is over every subject read.
    void longTable() {
        const QString longSource = folder.filePath(u"成绩明细.xlsx"_s);
        QVERIFY(
            QFile::copy(QStringLiteral(SCORE_FIXTURES_DIR "/exam/long_table.xlsx"), longSource));
        FileDialog::setNextFileNames({longSource});
        click("addFilesButton");
        QCOMPARE(child<QLineEdit>("subjectColumnField")->text(), u"D"_s);
        QCOMPARE(child<QLineEdit>("firstRowField")->text(), u"3"_s);
        QCOMPARE(row("examSubjectTable", 0, 4), u"语文 E  总分"_s);
        QCOMPARE(row("examSubjectTable", 2, 4), u"英语 E  总分"_s);
        QVERIFY(compute());
        QCOMPARE(row("scoresTable", 0, 3), u"一班 A1 张一"_s);
        // Sat: A1, A3; absent: A2 (数学), A4 (语文 免考); 二班 took no 英语.
        QCOMPARE(row("figuresTable", 3, 4), u"总分 350 2 2"_s);
        QVERIFY(messages.isEmpty());
    }

    // A 教师评语 column found in the header reaches the slips' remark table.
    void remarkColumn() {
        const QString remarked = folder.filePath(u"评语.xlsx"_s);
        QVERIFY(QFile::copy(QStringLiteral(SCORE_FIXTURES_DIR "/slips/本次.xlsx"), remarked));
        FileDialog::setNextFileNames({remarked});
        click("addFilesButton");
        QCOMPARE(child<QLineEdit>("remarkColumnField")->text(), u"F"_s);
        QVERIFY(compute());
        auto *remarks = child<QWidget>("slipsPanel")->findChild<QTableWidget *>("slipRemarks");
        QCOMPARE(remarks->item(2, 2)->text(), u"字迹工整，继续保持"_s);
        QCOMPARE(remarks->item(0, 2)->text(), QString());
    }

    // 数学 over 200: 160 counts; 语数 of A1 210, A3 160, B1 250, B2 190, B3 145.
    void tables() {
        QVERIFY(computeEdited());
        QCOMPARE(row("figuresTable", 1, 10), u"数学 200 6 1 90.00 45.00 160 60 82.50 34.03"_s);
        QCOMPARE(row("figuresTable", 4, 9), u"语数 350 5 2 191.00 54.57 250 145 190.00"_s);
        QCOMPARE(row("scoresTable", 0, 25),
                 u"一班 A1 张一 120 2 1 58.52 90 3 1 50.00 80 1 1  290 1 1 108.52 1 210 2 1"_s
                 u" 108.52 2"_s);
        QCOMPARE(row("scoresTable", 4, 8), u"二班 B1 李一 90 5 2 46.72 160"_s);
        // 二班 has neither 英语 nor 总分: its rows are 语文, 数学, 语数.
        QCOMPARE(row("classesTable", 4, 9), u"一班 语数 2 185.00 52.86 -3.14 0.00 50.00 2"_s);
        QCOMPARE(row("classesTable", 7, 9), u"二班 语数 3 195.00 55.71 2.09 0.00 33.33 1"_s);
        QCOMPARE(window()->findChildren<QWidget *>("rateChart").size(), 3); // grade, two classes
        QVERIFY(messages.isEmpty());
    }

    void exports_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::newRow(".xlsx") << u"excelButton"_s << u"考试.xlsx"_s;
        QTest::newRow(".csv") << u"csvButton"_s << u"考试"_s; // the ending is added
    }

    // Read back: the sheet 学科分析's 数学 row, or the same row of the text.
    void exports() {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QVERIFY(computeEdited());
        FileDialog::setNextFileName(folder.filePath(name));
        click(qPrintable(button));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
        if (button == u"csvButton") {
            QFile csv(folder.filePath(u"考试.csv"_s));
            QVERIFY(csv.open(QIODevice::ReadOnly));
            QVERIFY(
                csv.readAll().contains(u"\r\n数学,200,6,1,90.00,45.00,160,60,82.50,"_s.toUtf8()));
            return;
        }
        int error = -1;
        const auto book = analysis::openWorkbook(folder.filePath(name), &error);
        QVERIFY(book);
        std::vector<analysis::SheetRow> rows;
        QCOMPARE(book->readRows(book->sheetIndex(u"学科分析"_s), 1, {1, 2, 5, 6}, &rows), 0);
        QCOMPARE(rows[2].texts, (QStringList{u"数学"_s, "200", "90", "45"}));
    }

    void pdfAndPrint() {
        QVERIFY(computeEdited());
        FileDialog::setNextFileName(folder.filePath(u"考试.pdf"_s));
        click("pdfButton");
        const QString text = pdfText(folder.filePath(u"考试.pdf"_s));
        QVERIFY2(text.contains(u"语数"_s) && text.contains(u"李三"_s), qPrintable(text));
        PrintDialog::setRecorder([this](const PrintDialog::PaintPages &paint) {
            QPdfWriter writer(folder.filePath(u"printed.pdf"_s));
            paint(writer);
        });
        click("printButton");
        QCOMPARE(pdfText(folder.filePath(u"printed.pdf"_s)), text);
    }

    // The slips of this exam, from the window's own tab: nothing before the
    // exam is analysed, the change only once a last exam is compared.
    void slipsTab() {
        auto *slips = child<QWidget>("slipsPanel");
        QVERIFY(slips);
        QTest::mouseClick(slips->findChild<SkinnedButton *>("slipPdfButton"), Qt::LeftButton);
        QCOMPARE(messages,
                 QStringList{u"尚无考试分析结果。请先添加考试成绩的工作簿，再按“计　算”。"_s});
        messages.clear();
        QVERIFY(computeEdited());
        auto *change = slips->findChild<QCheckBox *>("slipItem_change");
        QCOMPARE(change->isEnabled(), false);
        FileDialog::setNextFileName(folder.filePath(u"成绩条.pdf"_s));
        QTest::mouseClick(slips->findChild<SkinnedButton *>("slipPdfButton"), Qt::LeftButton);
        FileDialog::setNextFileName(folder.filePath(u"成绩条.xlsx"_s));
        QTest::mouseClick(slips->findChild<SkinnedButton *>("slipExcelButton"), Qt::LeftButton);
        PrintDialog::setRecorder([this](const PrintDialog::PaintPages &paint) {
            QPdfWriter writer(folder.filePath(u"printed slips.pdf"_s));
            paint(writer);
        });
        QTest::mouseClick(slips->findChild<SkinnedButton *>("slipPrintButton"), Qt::LeftButton);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
        const QString text = pdfText(folder.filePath(u"成绩条.pdf"_s));
        QVERIFY2(text.contains(u"张一"_s) && text.contains(u"李三"_s), qPrintable(text));
        QCOMPARE(pdfText(folder.filePath(u"printed slips.pdf"_s)), text);
        int error = -1;
        const auto book = analysis::openWorkbook(folder.filePath(u"成绩条.xlsx"_s), &error);
        QVERIFY(book);
        QVERIFY(book->sheetIndex(u"成绩条"_s) >= 0);
        // The same workbook as the last exam: every student matched, the change on.
        auto *progress = child<QWidget>("progressPanel");
        FileDialog::setNextFileNames({source});
        QTest::mouseClick(progress->findChild<QPushButton *>("progressAddLast"), Qt::LeftButton);
        QTest::mouseClick(progress->findChild<QPushButton *>("progressCompare"), Qt::LeftButton);
        QCOMPARE(change->isEnabled(), true);
    }

    // A source that fails is told on its own line, the others read.
    void failureBesideItsSource() {
        QFile damaged(folder.filePath(u"坏.xls"_s));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("\x00\x01\x02\x03not a workbook", 18));
        damaged.close();
        FileDialog::setNextFileNames({source, damaged.fileName()});
        click("addFilesButton");
        QVERIFY(compute());
        auto *list = child<QListWidget>("examSourceList");
        QCOMPARE(list->item(0)->text(), u"成绩.xlsx　已读取"_s);
        QCOMPARE(list->item(1)->text(), u"坏.xls　文件类型不对，请选择Excel文档！"_s);
    }

    // The source itself is never written over; it stays byte for byte.
    void overTheSource() {
        QVERIFY(computeEdited());
        FileDialog::setNextFileName(source);
        click("excelButton");
        QCOMPARE(messages, QStringList{u"导出文件不能覆盖正在读取的工作簿："_s + source});
        QFile copy(source), original(Fixture);
        QVERIFY(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
    }

    void fullDisk_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::newRow(".xlsx") << u"excelButton"_s << u"考试.xlsx"_s;
        QTest::newRow(".csv") << u"csvButton"_s << u"考试.csv"_s;
        QTest::newRow("PDF") << u"pdfButton"_s << u"考试.pdf"_s;
    }

    // A small file system of its own, full: the export fails with the
    // program's message and the old file stays as it was.
    void fullDisk() {
        QFETCH(QString, button);
        QFETCH(QString, target);
        FullDisk disk(target);
        if (!disk.unavailable().isEmpty()) QSKIP(qPrintable(disk.unavailable()));
        QVERIFY(disk.filled());
        QVERIFY(computeEdited());
        FileDialog::setNextFileName(disk.path(target));
        click(qPrintable(button));
        QCOMPARE(messages, QStringList{u"磁盘已满，无法写入导出文件，请腾出空间后再试："_s +
                                       disk.path(target)});
        QCOMPARE(disk.contents(target), QByteArray("old"));
    }

    void refused_data() {
        QTest::addColumn<bool>("addSource");
        QTest::addColumn<QString>("fullMarks");
        QTest::addColumn<QString>("totals");
        QTest::addColumn<QString>("message");
        QTest::newRow("no source")
            << false << QString() << QString() << u"请先添加考试成绩的工作簿或其所在的文件夹！"_s;
        QTest::newRow("full marks not a number")
            << true << u"abc"_s << QString()
            << u"学科满分输入有误：数学=abc（请写成 学科=分数，分数为1到1000，最多两位小数）！"_s;
        QTest::newRow("a total without =") << true << QString() << u"语数"_s
                                           << u"总分输入有误：语数（请写成 名称=学科+学科+…）！"_s;
    }

    // Nothing runs; the tables stay empty and an export says why.
    void refused() {
        QFETCH(bool, addSource);
        QFETCH(QString, fullMarks);
        QFETCH(QString, totals);
        QFETCH(QString, message);
        if (addSource) {
            FileDialog::setNextFileNames({source});
            click("addFilesButton");
        }
        if (!fullMarks.isEmpty()) typeFullMarks(1, fullMarks);
        type(child<QLineEdit>("totalsField"), totals);
        click("computeButton");
        QVERIFY(!window()->isComputing());
        click("excelButton");
        QCOMPARE(messages,
                 (QStringList{message,
                              u"尚无考试分析结果。请先添加考试成绩的工作簿，再按“计　算”。"_s}));
    }
};

QTEST_MAIN(TestExamWindow)
#include "tst_examwindow.moc"
