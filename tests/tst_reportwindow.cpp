#include "analysis/grid/workbookimport.h"
#include "app/mainwindow.h"
#include "app/scoregridview.h"
#include "pages/barchart.h"
#include "pages/reportlayout.h"
#include "pages/reportpainter.h"
#include "skin/skinnedbutton.h"
#include "skin/songfont.h"
#include "tests/support/fulldisk.h"
#include "windows/filedialog.h"
#include "windows/messagebox.h"
#include "windows/pageview.h"
#include "windows/printdialog.h"
#include "windows/reportwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString Sample = QStringLiteral(SCORE_SAMPLES_DIR "/class.xls");

void typeText(QWidget *widget, const QString &text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void click(QWidget *button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
}

QString run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString &path) {
    return run(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
}

QString pdfPages(const QString &path) {
    return run(u"pdfinfo"_s, {path}).section(u"Pages:"_s, 1).section(u'\n', 0, 0).trimmed();
}

// The pixels of a colour in one column of the image.
int columnCount(const QImage &image, int x, QColor color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        count += image.pixelColor(x, y) == color;
    return count;
}

} // namespace

// The report window driven from the main window as a teacher would: import,
// correct, open the report, type its fields, export and print.
class TestReportWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> form;
    QStringList messages;
    QTemporaryDir folder;

    ReportWindow *report() const { return ReportWindow::instance(); }
    const analysis::ClassAnalysis *analysis() const {
        return report()->content().analysis ? &*report()->content().analysis : nullptr;
    }

    // The sample class imported, the report opened, 张伟's 85 corrected to 45
    // in the cell box and the statistics run.
    void openCorrectedSample(const QString &workbook = Sample) {
        form->findChild<QLineEdit *>("workbookPathField")->setText(workbook);
        click(form->findChild<SkinnedButton *>("importButton"));
        click(form->findChild<SkinnedButton *>("reportButton"));
        QTest::mouseClick(form->findChild<ScoreGridView *>("scoreGrid")->viewport(), Qt::LeftButton,
                          {}, QPoint(160, 8));
        QTest::mouseClick(form->findChild<QLineEdit *>("cellEditor"), Qt::LeftButton);
        form->findChild<QLineEdit *>("cellEditor")->selectAll();
        QTest::keyClicks(form->findChild<QLineEdit *>("cellEditor"), "45");
        QTest::mouseClick(form->findChild<ScoreGridView *>("scoreGrid")->viewport(), Qt::LeftButton,
                          {}, QPoint(160, 24));
        QTest::keyClicks(form->findChild<QLineEdit *>("classSizeField"), "30");
        click(form->findChild<SkinnedButton *>("statisticsButton"));
    }

private slots:
    void initTestCase() {
        installSongFaceSubstitutes();
        QVERIFY(folder.isValid());
    }

    void init() {
        messages.clear();
        MessageBox::setRecorder([this](const QString &text) { messages.append(text); });
        form = std::make_unique<MainWindow>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanup() {
        MessageBox::setRecorder({});
        PrintDialog::setRecorder({});
        delete report();
        form.reset();
    }

    void noDataYet() {
        click(form->findChild<SkinnedButton *>("reportButton"));
        QVERIFY(QTest::qWaitForWindowExposed(report()));
        QCOMPARE(report()->content().analysis.has_value(), false);
        click(report()->findChild<SkinnedButton *>("pdfButton"));
        QCOMPARE(messages,
                 QStringList{u"尚无成绩数据。请先在主窗口导入工作簿（或在表格中录入成绩）；"
                             u"主窗口的表格、班级人数和分数段一有改动，本报告随即更新。"_s});
        QCOMPARE(ReportWindow::showWindow(), report()); // one window
    }

    void followsTheMainWindow() {
        openCorrectedSample();
        QVERIFY(analysis());
        QCOMPARE(analysis()->expected, 30);
        QCOMPARE(analysis()->total->text(), u"2297"_s);
        QCOMPARE(analysis()->lowestStudents.front().name, u"张伟"_s);
        QCOMPARE(analysis()->bands.size(), 10u);
        // The excellent and good lines are the band fields' low bounds while full marks are 100.
        form->findChild<QLineEdit *>("excellentLowField")->setText(u"90"_s);
        QCOMPARE(report()->findChild<QLineEdit *>("excellentLineField")->text(), u"90"_s);
        QCOMPARE(analysis()->excellent.count, 6);
        // Other full marks: the default lines, and the bands reach 120.
        report()->findChild<QLineEdit *>("fullMarksField")->setText(u"120"_s);
        QCOMPARE(report()->findChild<QLineEdit *>("excellentLineField")->text(), u"85%"_s);
        QCOMPARE(analysis()->settings.excellent.score.text(), u"102"_s);
        QCOMPARE(analysis()->bands.size(), 12u);
        QCOMPARE(analysis()->bands.front().from.text(), u"110"_s);
        // Sorting, editing and the class size reach the open report.
        click(form->findChild<SkinnedButton *>("sortButton"));
        form->findChild<QLineEdit *>("classSizeField")->setText(u"20"_s);
        QCOMPARE(analysis()->expected, 20);
        QCOMPARE(analysis()->lowest->text(), u"73"_s); // the 20 best after the sort by score
        report()->findChild<QComboBox *>("rankingField")->setCurrentIndex(1);
        QCOMPARE(analysis()->settings.ranking, analysis::RankingStyle::Dense);
        report()
            ->findChild<QLineEdit *>("passLineField")
            ->setText(u"95"_s); // above the good line, 90
        QVERIFY(!analysis());
        QCOMPARE(report()->content().explanation,
                 u"分数线输入有误，须满足：低分线 ≤ 及格线 ≤ 良好线 ≤ 优秀线！"_s);
    }

    // Bars as high as their counts (the plot is 400 pixels high and the axis
    // ends at 8, so 50 pixels a student), lowest band on the left, the pass
    // line between 50-60 and 60-70.
    void histogram() {
        openCorrectedSample();
        QImage image(1140, 620, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        pages::paintBarChart(painter, QRectF(0, 0, 1140, 620), pages::bandChart(*analysis()),
                             pages::pageFont(28));
        painter.end();
        QStringList heights;
        for (int band = 0; band < 10; ++band)
            heights << QString::number(columnCount(image, 188 + 96 * band, QColor(128, 128, 255)));
        QCOMPARE(heights.join(u' '), u"0 0 0 0 50 150 250 400 350 300"_s);
        QVERIFY(columnCount(image, 716, QColor(220, 0, 0)) > 150);
        QCOMPARE(columnCount(image, 700, QColor(220, 0, 0)), 0);
    }

    void pdfAndPrint() {
        openCorrectedSample();
        const QStringList header{u"实验中学"_s, u"初二（3）班"_s, u"数学"_s,
                                 u"期中考试"_s, u"李老师"_s,      u"2024年11月8日"_s};
        const QList<QLineEdit *> fields{report()->findChild<QLineEdit *>("schoolField"),
                                        report()->findChild<QLineEdit *>("classNameField"),
                                        report()->findChild<QLineEdit *>("subjectField"),
                                        report()->findChild<QLineEdit *>("examField"),
                                        report()->findChild<QLineEdit *>("teacherField"),
                                        report()->findChild<QLineEdit *>("dateField")};
        for (qsizetype i = 0; i < fields.size(); ++i) {
            fields[i]->clear();
            typeText(fields[i], header[i]);
        }
        typeText(report()->findChild<QPlainTextEdit *>("paperAnalysisBox"), u"基础题得分较好"_s);
        const QString path = folder.filePath(u"报告.pdf"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        FileDialog::setNextFileName(folder.filePath(u"报告"_s)); // the ending is added
        click(report()->findChild<SkinnedButton *>("pdfButton"));
        QCOMPARE(messages, QStringList());
        QCOMPARE(pdfPages(path), u"4"_s);
        const QString text = pdfText(path);
        QStringList missing;
        for (const QString &expected :
             header + QStringList{u"2297"_s, u"76.57"_s, u"基础题得分较好"_s, u"第 4 页 共 4 页"_s})
            if (!text.contains(expected)) missing << expected;
        for (int row = 0; row < 30; ++row)
            if (!text.contains(form->findChild<ScoreGridView *>("scoreGrid")->cellText(row, 1)))
                missing << form->findChild<ScoreGridView *>("scoreGrid")->cellText(row, 1);
        QCOMPARE(missing.join(u' '), QString());
        // Printing paints the same pages.
        const QString printed = folder.filePath(u"printed.pdf"_s);
        PrintDialog::setRecorder([&printed](const PrintDialog::PaintPages &paint) {
            QPdfWriter writer(printed);
            paint(writer);
        });
        click(report()->findChild<SkinnedButton *>("printButton"));
        QCOMPARE(pdfText(printed), text);
    }

    void sheetExports() {
        openCorrectedSample();
        // A name with a separator and quotes: quoted in the CSV, quotes doubled.
        auto *view = form->findChild<ScoreGridView *>("scoreGrid");
        auto *editor = form->findChild<QLineEdit *>("cellEditor");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(96, 40));
        editor->selectAll();
        QTest::keyClicks(editor, "Li, \"Jr\"");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(160, 40));
        FileDialog::setNextFileName(folder.filePath(u"分析.xlsx"_s));
        click(report()->findChild<SkinnedButton *>("excelButton"));
        FileDialog::setNextFileName(folder.filePath(u"分析"_s));
        click(report()->findChild<SkinnedButton *>("csvButton"));
        QCOMPARE(messages, QStringList());
        analysis::ScoreGrid grid;
        QVERIFY(
            analysis::importWorkbook(
                {folder.filePath(u"分析.xlsx"_s), u"成绩"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}, grid)
                .ok());
        QCOMPARE(
            (QStringList{grid.text(0, 1), grid.text(0, 2), grid.text(29, 1), grid.text(29, 2)}),
            (QStringList{u"马超"_s, u"100"_s, u"张伟"_s, u"45"_s}));
        QFile csv(folder.filePath(u"分析.csv"_s));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF\xE5\x90\x8D\xE6\xAC\xA1")); // BOM, 名次
        QVERIFY2(bytes.contains(",\"Li, \"\"Jr\"\"\","), bytes.constData());
    }

    void fullDisk_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::newRow("PDF") << u"pdfButton"_s << u"报告.pdf"_s;
        QTest::newRow(".xlsx") << u"excelButton"_s << u"分析.xlsx"_s;
        QTest::newRow(".csv") << u"csvButton"_s << u"分析.csv"_s;
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
        openCorrectedSample();
        FileDialog::setNextFileName(path);
        click(report()->findChild<SkinnedButton *>(button));
        QCOMPARE(messages, QStringList{u"磁盘已满，无法写入导出文件，请腾出空间后再试："_s + path});
        QCOMPARE(disk.contents(target), QByteArray("old"));
    }

    void failedSave_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("a folder") << u"folder.pdf"_s << u"导出路径是一个文件夹，请给出文件名："_s;
        QTest::newRow("a folder with its slash")
            << u"folder.pdf/"_s << u"导出路径是一个文件夹，请给出文件名："_s;
        QTest::newRow("the workbook, through a link")
            << u"link.pdf"_s << u"导出文件不能覆盖正在读取的工作簿："_s;
    }

    void failedSave() {
        QFETCH(QString, target);
        QFETCH(QString, message);
        // The workbook named .pdf reads all the same: the kind is told from the content.
        const QString workbook = folder.filePath(u"class.pdf"_s);
        QFile::remove(workbook);
        QVERIFY(QFile::copy(Sample, workbook));
        QVERIFY(QDir(folder.path()).mkpath(u"folder.pdf"_s));
        QFile::link(workbook, folder.filePath(u"link.pdf"_s));
        openCorrectedSample(workbook);
        FileDialog::setNextFileName(folder.filePath(target));
        click(report()->findChild<SkinnedButton *>("pdfButton"));
        QCOMPARE(messages, QStringList{message + folder.filePath(target)});
        QFile copy(workbook), original(Sample);
        QVERIFY(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
        QCOMPARE(QDir(folder.filePath(u"folder.pdf"_s))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }
};

QTEST_MAIN(TestReportWindow)
#include "tst_reportwindow.moc"
