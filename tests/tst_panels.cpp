// The panels driven offscreen. 成绩条: the preset and the item switches
// decide what the first slip's table holds. 与上次考试对比: the earlier exams
// added, the match shown first, then the changes and a student's rank line.
#include "analysis/exam/examanalysis.h"
#include "windows/filedialog.h"
#include "windows/messagebox.h"
#include "windows/progresspanel.h"
#include "windows/slipspanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

analysis::ExamRequest oneSheet() {
    analysis::ExamRequest request;
    analysis::ClassSource source;
    source.path = QStringLiteral(SCORE_FIXTURES_DIR "/exam/one_sheet.xlsx");
    source.label = source.path;
    request.sources.push_back(source);
    request.detectColumns = true;
    request.everyFullMarks = analysis::Decimal::whole(150);
    request.settings = *analysis::readAnalysisSettings(analysis::AnalysisSettingsTexts()).settings;
    return request;
}

const QString Progress = QStringLiteral(SCORE_FIXTURES_DIR "/progress/");

// 期末 as the exam window would hand it over: the layout detected, 语数 the total.
analysis::ExamRequest finalExam() {
    analysis::ExamRequest request;
    analysis::ClassSource source;
    source.path = source.label = Progress + u"期末.xlsx"_s;
    request.sources.push_back(source);
    request.detectColumns = true;
    request.totals.push_back({u"语数"_s, {u"语文"_s, u"数学"_s}});
    request.settings = *analysis::readAnalysisSettings(analysis::AnalysisSettingsTexts()).settings;
    return request;
}

QString rowText(const QTableWidget *table, int row) {
    QStringList cells;
    for (int c = 0; c < table->columnCount() && c < 5; ++c)
        cells << (table->item(row, c) ? table->item(row, c)->text() : QString());
    return cells.join(u' ');
}

void click(QWidget *panel, const QString &name) {
    auto *button = panel->findChild<QPushButton *>(name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestPanels : public QObject {
    Q_OBJECT

private slots:
    void slipHeader_data();
    void slipHeader();
    void remarkTyped();
    void progressMatchFirst();
};

void TestPanels::slipHeader_data() {
    QTest::addColumn<int>("preset");
    QTest::addColumn<QString>("toggle"); // an item switch clicked after the preset; empty: none
    QTest::addColumn<QStringList>("header");
    QTest::newRow("义务教育") << 0 << QString()
                              << QStringList{u"科目"_s, u"等级"_s, u"班级平均分"_s};
    QTest::newRow("义务教育 without the mean")
        << 0 << u"classMean"_s << QStringList{u"科目"_s, u"等级"_s};
    QTest::newRow("义务教育 with the score")
        << 0 << u"score"_s << QStringList{u"科目"_s, u"分数"_s, u"等级"_s, u"班级平均分"_s};
    // 比上次 only once a last exam is compared, as on the command line.
    QTest::newRow("高中") << 1 << QString()
                          << QStringList{u"科目"_s, u"分数"_s, u"班级名次"_s, u"年级名次"_s};
    QTest::newRow("高中 without the grade rank")
        << 1 << u"gradeRank"_s << QStringList{u"科目"_s, u"分数"_s, u"班级名次"_s};
}

void TestPanels::slipHeader() {
    QFETCH(int, preset);
    QFETCH(QString, toggle);
    QFETCH(QStringList, header);
    const analysis::ExamRequest request = oneSheet();
    const analysis::ExamOutcome outcome = analysis::analyseExam(request);
    QVERIFY2(outcome.exam, qPrintable(outcome.message));
    windows::SlipsPanel panel;
    panel.show();
    panel.setExam(request, *outcome.exam);
    panel.findChild<QComboBox *>(u"slipPreset"_s)->setCurrentIndex(preset);
    if (!toggle.isEmpty()) {
        auto *box = panel.findChild<QCheckBox *>(u"slipItem_"_s + toggle);
        QVERIFY(box);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    }
    QVERIFY(!panel.layout().slips.empty());
    const analysis::SlipContent &first = panel.layout().slips.front();
    QCOMPARE(first.header, header);
    QCOMPARE(first.studentLine.contains(u"张一"_s), true);
    QCOMPARE(first.studentLine.contains(u"张二"_s), false);
}

// Words typed for 张二 (the second row) go on his slip and no one else's.
void TestPanels::remarkTyped() {
    const analysis::ExamRequest request = oneSheet();
    const analysis::ExamOutcome outcome = analysis::analyseExam(request);
    QVERIFY2(outcome.exam, qPrintable(outcome.message));
    windows::SlipsPanel panel;
    panel.resize(900, 700);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    panel.setExam(request, *outcome.exam);
    auto *remarks = panel.findChild<QTableWidget *>(u"slipRemarks"_s);
    QVERIFY(remarks);
    QCOMPARE(rowText(remarks, 1), u"A2 张二 "_s);
    remarks->setFocus();
    remarks->setCurrentCell(1, 2);
    QTest::keyClick(remarks, Qt::Key_F2);
    auto *editor = remarks->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    for (const QChar c : u"补考数学"_s)
        QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(0); // the delegate commits what was typed on the next turn of the loop
    const std::vector<analysis::SlipContent> &slips = panel.layout().slips;
    QVERIFY(slips.size() >= 3);
    for (std::size_t s = 0; s < slips.size(); ++s)
        QCOMPARE(slips[s].notes.contains(u"教师评语：补考数学"_s), s == 1);
    // A name is not words for the slip: the first two columns stay as read.
    QCOMPARE(remarks->item(1, 1)->flags() & Qt::ItemIsEditable, Qt::ItemFlags());
}

void TestPanels::progressMatchFirst() {
    const analysis::ExamRequest request = finalExam();
    const analysis::ExamOutcome outcome = analysis::analyseExam(request);
    QVERIFY2(outcome.exam, qPrintable(outcome.message));
    windows::ProgressPanel panel;
    panel.resize(900, 700);
    panel.show();
    panel.setExam(request, *outcome.exam);
    QString told;
    MessageBox::setRecorder([&](const QString &text) { told = text; });
    click(&panel, u"progressCompare"_s);
    QCOMPARE(told, u"请先添加上次考试的成绩工作簿！"_s);
    // 期中 the last exam, with a wrong file added and removed; 月考 before it.
    FileDialog::setNextFileNames({Progress + u"期中.xlsx"_s, Progress + u"期末.xlsx"_s});
    click(&panel, u"progressAddLast"_s);
    auto *sources = panel.findChild<QListWidget *>(u"progressSources"_s);
    sources->setCurrentRow(1);
    click(&panel, u"progressRemove"_s);
    FileDialog::setNextFileNames({Progress + u"月考.xlsx"_s});
    click(&panel, u"progressAddEarlier"_s);
    QCOMPARE(sources->count(), 2);
    QCOMPARE(sources->item(0)->text(), u"第1次："_s + Progress + u"月考.xlsx"_s);
    QCOMPARE(sources->item(1)->text(), u"上次："_s + Progress + u"期中.xlsx"_s);
    click(&panel, u"progressCompare"_s);
    auto *pages = panel.findChild<QStackedWidget *>(u"progressPages"_s);
    QVERIFY(pages->isVisible());
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(panel.findChild<QLabel *>(u"progressSummary"_s)->text(),
             u"按学号对应 4 人，按姓名对应 1 人，新增 1 人，缺少 1 人，冲突 3 处"_s);
    auto *conflicts = panel.findChild<QTableWidget *>(u"progressConflicts"_s);
    QCOMPARE(conflicts->rowCount(), 7);
    QCOMPARE(rowText(conflicts, 3), u"学号相同姓名不同 上次 一班 202402 李明"_s);
    auto *unmatched = panel.findChild<QTableWidget *>(u"progressUnmatched"_s);
    QCOMPARE(rowText(unmatched, 0), u"新增 一班 202410 郑新 "_s + Progress + u"期末.xlsx"_s);
    QCOMPARE(rowText(unmatched, 1), u"缺少 一班 202407 孙丽 "_s + Progress + u"期中.xlsx"_s);
    click(&panel, u"progressShowChanges"_s);
    QCOMPARE(pages->currentIndex(), 1);
    // 语数 by rank: 张伟 吴敏 陈静 …; the 稳定 band of 5 % of 5 is no rank at all.
    auto *changes = panel.findChild<QTableWidget *>(u"progressChanges"_s);
    QCOMPARE(rowText(changes, 1), u"一班 ２０２４０９ 吴敏 学号 进步"_s);
    QCOMPARE(changes->item(1, 4)->foreground().color(), QColor(200, 30, 30));
    QCOMPARE(rowText(panel.findChild<QTableWidget *>(u"progressClasses"_s), 0),
             u"一班 3 1 1 1.20"_s);
    // 吴敏: 1st in 月考, 9th in 期中, 2nd now; 郑新 only now.
    changes->selectRow(1);
    QVERIFY(panel.findChild<QWidget *>(u"progressTrend"_s)->isVisible());
    QStringList points;
    for (const pages::TrendPoint &p : panel.trendChart().points)
        points << p.exam + QString::number(p.rank);
    QCOMPARE(points, (QStringList{u"第1次1"_s, u"上次9"_s, u"本次2"_s}));
    QCOMPARE(panel.trendChart().title, u"吴敏的名次（语数）"_s);
    QCOMPARE(pages::rankAxis(panel.trendChart()).deepest, 10);
    changes->selectRow(6);
    QCOMPARE(panel.trendChart().points.back().rank, 6);
    QCOMPARE(panel.trendChart().points.front().rank, 0);
    MessageBox::setRecorder({});
}

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
