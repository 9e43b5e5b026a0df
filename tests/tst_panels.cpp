// The 成绩条 panel driven offscreen: the preset and the item switches decide
// what the first slip's table holds.
#include "analysis/exam/examanalysis.h"
#include "windows/slipspanel.h"

#include <QCheckBox>
#include <QComboBox>
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

} // namespace

class TestPanels : public QObject {
    Q_OBJECT

private slots:
    void slipHeader_data();
    void slipHeader();
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
    QTest::newRow("高中") << 1 << QString()
                          << QStringList{u"科目"_s, u"分数"_s, u"班级名次"_s, u"年级名次"_s,
                                         u"比上次"_s};
    QTest::newRow("高中 without the grade rank")
        << 1 << u"gradeRank"_s << QStringList{u"科目"_s, u"分数"_s, u"班级名次"_s, u"比上次"_s};
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

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
