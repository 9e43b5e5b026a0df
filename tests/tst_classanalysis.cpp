#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/classanalysis.h"
#include "analysis/classanalysis/displaynumber.h"
#include "analysis/export/analysisjson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <cmath>

namespace {

// The first difference between the expected JSON and the analysis's, or an
// empty text. Only the keys the expectation names are compared; numbers
// agree within 1e-9.
QString difference(const QJsonValue &expected, const QJsonValue &actual, const QString &path) {
    if (expected.isObject()) {
        const QJsonObject want = expected.toObject(), got = actual.toObject();
        for (auto it = want.begin(); it != want.end(); ++it)
            if (QString d = difference(*it, got.value(it.key()), path + u'.' + it.key());
                !d.isEmpty())
                return d;
        return actual.isObject() ? QString() : path + QStringLiteral(": not an object");
    }
    if (expected.isArray()) {
        const QJsonArray want = expected.toArray(), got = actual.toArray();
        if (!actual.isArray() || want.size() != got.size())
            return path + QStringLiteral(": %1 entries, not %2").arg(got.size()).arg(want.size());
        for (qsizetype i = 0; i < want.size(); ++i)
            if (QString d = difference(want[i], got[i], path + QStringLiteral("[%1]").arg(i));
                !d.isEmpty())
                return d;
        return {};
    }
    if (expected.isDouble() && actual.isDouble() &&
        std::fabs(expected.toDouble() - actual.toDouble()) <= 1e-9)
        return {};
    if (expected == actual) return {};
    return path + QStringLiteral(": expected %1, got %2")
                      .arg(QJsonDocument(QJsonArray{expected}).toJson(QJsonDocument::Compact),
                           QJsonDocument(QJsonArray{actual}).toJson(QJsonDocument::Compact));
}

analysis::AnalysisSettingsTexts settingsTexts(const QJsonObject &given) {
    analysis::AnalysisSettingsTexts texts;
    const std::pair<const char *, QString *> fields[] = {
        {"fullMarks", &texts.fullMarks}, {"excellentLine", &texts.excellentLine},
        {"goodLine", &texts.goodLine},   {"passLine", &texts.passLine},
        {"lowLine", &texts.lowLine},     {"bandWidth", &texts.bandWidth},
        {"ranking", &texts.ranking}};
    for (const auto &[key, field] : fields)
        if (given.contains(QLatin1String(key))) *field = given[QLatin1String(key)].toString();
    return texts;
}

} // namespace

class TestClassAnalysis : public QObject {
    Q_OBJECT
private slots:
    void figures_data();
    void figures();
    void displayRounding_data();
    void displayRounding();
};

// Hand-worked classes and settings that are refused (analysis_cases.json), and
// random classes whose figures make_analysis_fixtures.py computed with
// Python's statistics module.
void TestClassAnalysis::figures_data() {
    QTest::addColumn<QJsonObject>("testCase");
    for (const char *name : {"analysis_cases.json", "analysis_random.json"}) {
        QFile file(QStringLiteral(SCORE_FIXTURES_DIR "/") + QLatin1String(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray cases = QJsonDocument::fromJson(file.readAll()).array();
        QVERIFY(!cases.isEmpty());
        for (const QJsonValue &c : cases)
            QTest::newRow(qPrintable(c["name"].toString())) << c.toObject();
    }
}

void TestClassAnalysis::figures() {
    QFETCH(QJsonObject, testCase);
    analysis::AnalysisInput input;
    const QJsonArray scores = testCase["scores"].toArray(), rows = testCase["rows"].toArray();
    for (qsizetype i = 0; i < scores.size(); ++i)
        input.rows.push_back({int(i) + 1, QString::number(i + 1), {}, scores[i].toString()});
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonArray row = rows[i].toArray();
        input.rows.push_back({int(i) + 1, row[0].toString(), row[1].toString(), row[2].toString()});
    }
    const analysis::AnalysisSettingsOutcome settings =
        analysis::readAnalysisSettings(settingsTexts(testCase["settings"].toObject()));
    QCOMPARE(settings.message, testCase["refused"].toString());
    if (!settings.settings) return;
    const QJsonObject json =
        analysis::analysisJson(analysis::analyseClass(input, *settings.settings));
    QCOMPARE(difference(testCase["expect"], json, QStringLiteral("analysis")), QString());
}

void TestClassAnalysis::displayRounding_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("2.675, below in binary") << 2.675 << "2.68";
    QTest::newRow("1.005, below in binary") << 1.005 << "1.01";
    QTest::newRow("0.125, exact half") << 0.125 << "0.13";
    QTest::newRow("2.665") << 2.665 << "2.67";
    QTest::newRow("just below a half") << 2.6749999 << "2.67";
    QTest::newRow("a third as a rate") << 100.0 / 3.0 << "33.33";
    QTest::newRow("two thirds as a rate") << 200.0 / 3.0 << "66.67";
    QTest::newRow("trailing zero kept") << 77.9 << "77.90";
    QTest::newRow("whole") << 100.0 << "100.00";
    QTest::newRow("carry through nines") << 99.995 << "100.00";
    QTest::newRow("tiny") << 1e-7 << "0.00";
    QTest::newRow("negative half") << -2.675 << "-2.68";
    QTest::newRow("negative rounds to zero") << -0.001 << "0.00";
}

void TestClassAnalysis::displayRounding() {
    QFETCH(double, value);
    QFETCH(QString, shown);
    QCOMPARE(analysis::displayNumber(value), shown);
}

QTEST_GUILESS_MAIN(TestClassAnalysis)
#include "tst_classanalysis.moc"
