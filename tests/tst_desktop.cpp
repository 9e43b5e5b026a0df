#include "app/desktop.h"
#include "app/mainwindow.h"
#include "app/scoregridview.h"
#include "skin/skinnedbutton.h"
#include "windows/messagebox.h"

#include <QCommandLineParser>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

namespace {
const QString Samples = QStringLiteral(SCORE_SAMPLES_DIR);
const QString Sample = Samples + "/class.xls";
const QString Fixtures = QStringLiteral(SCORE_FIXTURES_DIR);
const QString Letter = Fixtures + "/letter_libreoffice.doc";
const QString TextXls = Fixtures + "/plain_text.xls";
} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindow> form;
    QStringList messages;

    // Drags the items over the path field and drops them there, through the
    // window as a file manager does; returns whether the drop was taken.
    bool dropOnPathField(QMimeData *mime) {
        const QPoint at =
            form->findChild<QLineEdit *>("workbookPathField")->mapTo(form.get(), QPoint(5, 5));
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->windowHandle(), &enter);
        QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->windowHandle(), &drop);
        return enter.isAccepted() && drop.isAccepted();
    }

private slots:
    void init() {
        messages.clear();
        MessageBox::setRecorder([this](const QString &text) { messages << text; });
        form = std::make_unique<MainWindow>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->findChild<QLineEdit *>("workbookPathField")->setText(QStringLiteral("typed"));
    }

    void commandLineAndDrop_data() {
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("path"); // afterwards
        QTest::addColumn<QStringList>("shown");
        const QStringList none;
        QTest::newRow("command line") << false << QStringList{Sample} << Sample << none;
        QTest::newRow("command line, relative")
            << false << QStringList{"class.xls"} << Sample << none;
        QTest::newRow("command line, missing file")
            << false << QStringList{"/nowhere/gone.xls"} << "/nowhere/gone.xls"
            << QStringList{"无法打开Excel文件，请检查后重新输入文件名及路径！"};
        QTest::newRow("command line, no file") << false << none << "typed" << none;
        QTest::newRow("drop") << true << QStringList{Sample} << Sample << none;
        QTest::newRow("drop, workbook after a document")
            << true << QStringList{Letter, Sample} << Sample << none;
        QTest::newRow("drop, document") << true << QStringList{Letter} << "typed" << none;
        QTest::newRow("drop, folder") << true << QStringList{Samples} << "typed" << none;
        QTest::newRow("drop, text") << true << none << "typed" << none;
        // The name decides the drop; the import then reads the content, here
        // a text table.
        QTest::newRow("drop, text named .xls") << true << QStringList{TextXls} << TextXls << none;
    }

    // The command line as main() takes it, started in the samples' folder.
    void commandLineAndDrop() {
        QFETCH(bool, dropped);
        QFETCH(QStringList, files);
        QFETCH(QString, path);
        QFETCH(QStringList, shown);
        if (dropped) {
            QMimeData mime;
            QList<QUrl> urls;
            for (const QString &file : files)
                urls << QUrl::fromLocalFile(file);
            urls.isEmpty() ? mime.setText(Sample) : mime.setUrls(urls);
            QCOMPARE(dropOnPathField(&mime), path != u"typed");
        } else {
            QDir::setCurrent(Samples);
            QCommandLineParser parser;
            desktop::describeCommandLine(parser);
            QVERIFY(parser.parse(QStringList{"score-analysis"} + files));
            if (!desktop::commandLineWorkbook(parser).isEmpty())
                form->openFromDesktop(desktop::commandLineWorkbook(parser));
        }
        QCOMPARE(form->findChild<QLineEdit *>("workbookPathField")->text(), path);
        const QString first = path == Sample ? "张伟" : path == TextXls ? "张三" : "";
        QCOMPARE(form->findChild<ScoreGridView *>("scoreGrid")->cellText(0, 1), first);
        QCOMPARE(messages, shown);
    }

    // From the desktop the fields come from a found header; else they stay.
    void desktopFillsFields_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("fields"); // sheet, first row, three columns
        QTest::addColumn<int>("students");       // rows of the grid that are not blank
        QTest::addColumn<QString>("origin");     // the fields' tip
        QTest::addColumn<QStringList>("said");   // the messages shown
        // Rows 3 to 12 are students; 平均分 and 制表人 below them are not.
        QTest::newRow("title row above the header")
            << "layout_title_openpyxl.xlsx" << QStringList{"初二3班", "3", "1", "2", "4"} << 10
            << "打开文件时按工作表“初二3班”第2行的表头识别，可修改" << QStringList();
        QTest::newRow("no header")
            << "layout_noheader_openpyxl.xlsx" << QStringList{"Sheet1", "2", "1", "2", "3"} << 0
            << "" << QStringList{"输入表格名称有误，无法打开表格，请重新输入！"};
        // 100, 50, an empty row, then 60 and 30: the empty row ends nothing.
        QTest::newRow("an empty row within the class")
            << "grade/三班.xls" << QStringList{"三班", "2", "1", "2", "3"} << 4
            << "打开文件时按工作表“三班”第1行的表头识别，可修改" << QStringList();
        // Every subject in one score column: sent to the exam analysis, nothing imported.
        QTest::newRow("a long table")
            << "exam/long_table.xlsx" << QStringList{"Sheet1", "2", "1", "2", "3"} << 0 << ""
            << QStringList{"工作表“成绩明细”是一行一科的成绩表（第4列是科目），请在“成绩分析报告”"
                           "窗口按“考试分析”打开。"};
    }

    void desktopFillsFields() {
        QFETCH(QString, file);
        QFETCH(QStringList, fields);
        QFETCH(int, students);
        QFETCH(QString, origin);
        QFETCH(QStringList, said);
        form->openFromDesktop(Fixtures + "/" + file);
        QCOMPARE(messages, said);
        QStringList shown;
        for (const char *name : {"sheetNameField", "firstRowField", "numberColumnField",
                                 "nameColumnField", "scoreColumnField"}) {
            shown << form->findChild<QLineEdit *>(name)->text();
            QCOMPARE(form->findChild<QLineEdit *>(name)->toolTip(), origin);
        }
        QCOMPARE(shown, fields);
        ScoreGridView *grid = form->findChild<ScoreGridView *>("scoreGrid");
        int filled = 0;
        for (int row = 0; row < 100; ++row)
            filled +=
                (grid->cellText(row, 0) + grid->cellText(row, 1) + grid->cellText(row, 2)).isEmpty()
                    ? 0
                    : 1;
        QCOMPARE(filled, students);
    }

    void gridShowsFirstRow_data() {
        QTest::addColumn<bool>("sort");
        QTest::newRow("import") << false;
        QTest::newRow("sort by a cell at the bottom") << true;
    }

    void gridShowsFirstRow() {
        QFETCH(bool, sort);
        form->openWorkbook(Sample);
        ScoreGridView *grid = form->findChild<ScoreGridView *>("scoreGrid");
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        QCOMPARE(grid->topRow(), 74); // 26 rows fit the grid
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          QPoint(150, 25 * ScoreGridView::rowHeightPixels() + 3));
        QTest::mouseClick(sort ? form->findChild<SkinnedButton *>("sortButton")
                               : form->findChild<SkinnedButton *>("importButton"),
                          Qt::LeftButton);
        QCOMPARE(grid->topRow(), 0);
        QCOMPARE(grid->cellText(0, 1), QString(sort ? "马超" : "张伟"));
    }

    void firstRowLimit_data() {
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("lastRowNumber");
        QTest::newRow("32668: rows up to 32767") << "32668" << QStringList() << "R32767";
        QTest::newRow("32669: failure 6")
            << "32669" << QStringList{"未知错误，错误号： 6　请检查输入值！"} << "";
        QTest::newRow("0") << "0" << QStringList{"数据起始行输入有误，请输入1到32668之间的行号！"}
                           << "";
    }

    void firstRowLimit() {
        QFETCH(QString, firstRow);
        QFETCH(QStringList, shown);
        QFETCH(QString, lastRowNumber);
        form->findChild<QLineEdit *>("sheetNameField")->setText(QStringLiteral("Grade"));
        form->findChild<QLineEdit *>("firstRowField")->setText(firstRow);
        form->openWorkbook(Fixtures + "/class_xlwt.xls");
        QCOMPARE(messages, shown);
        QCOMPARE(form->findChild<ScoreGridView *>("scoreGrid")->cellText(99, 0), lastRowNumber);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
