// Checks the .xls reader against xlrd on a sample of the random class
// workbooks of tools/agreement.py: xlwt, Gnumeric (BIFF8 and BIFF5, code pages
// 936 and 1252) and LibreOffice wrote them, and fixtures/agreement/
// agreement.json holds the texts xlrd reads from the first sheet of each
// (numbers to 15 significant digits, True/False, error names, dates as
// y/m/d h:mm:ss), written by that script, never by the reader under test.

#include "analysis/workbook.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace analysis;

namespace {

QString agreementDir() {
    return QStringLiteral(SCORE_FIXTURES_DIR) + QStringLiteral("/agreement");
}

QJsonObject expectedTexts() {
    QFile file(agreementDir() + QStringLiteral("/agreement.json"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QStringList strings(const QJsonArray &array) {
    QStringList list;
    for (const QJsonValue &value : array)
        list.append(value.toString());
    return list;
}

} // namespace

class TestAgreement : public QObject {
    Q_OBJECT
private slots:
    void sample();
    void cells_data();
    void cells();
};

void TestAgreement::sample() {
    const QJsonObject all = expectedTexts();
    QVERIFY2(!all.isEmpty(), "fixtures/agreement/agreement.json is missing or unreadable");
    QVERIFY(all.value(QStringLiteral("rows")).toInt() > 0);
    QVERIFY(all.value(QStringLiteral("columns")).toInt() > 0);
    // Every writer is in the sample.
    const QStringList names = all.value(QStringLiteral("workbooks")).toObject().keys();
    for (const char *writer : {"xlwt_", "gnumeric8_", "gnumeric5_", "libreoffice_"})
        QVERIFY2(!names.filter(QString::fromLatin1(writer)).isEmpty(), writer);
}

void TestAgreement::cells_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<QJsonArray>("rows");
    const QJsonObject workbooks = expectedTexts().value(QStringLiteral("workbooks")).toObject();
    for (auto it = workbooks.begin(); it != workbooks.end(); ++it) {
        const QJsonObject expected = it.value().toObject();
        QTest::newRow(qPrintable(it.key()))
            << it.key() << strings(expected.value(QStringLiteral("sheets")).toArray())
            << expected.value(QStringLiteral("cells")).toArray();
    }
}

void TestAgreement::cells() {
    QFETCH(QString, file);
    QFETCH(QStringList, sheets);
    QFETCH(QJsonArray, rows);
    const QJsonObject all = expectedTexts();
    const int rowCount = all.value(QStringLiteral("rows")).toInt();
    const int columnCount = all.value(QStringLiteral("columns")).toInt();

    int error = -1;
    const auto workbook = openWorkbook(agreementDir() + u'/' + file, &error);
    QVERIFY2(workbook, qPrintable(QStringLiteral("failure %1").arg(error)));
    QCOMPARE(workbook->sheetNames(), sheets);

    // Past the rows listed, xlrd read nothing: every cell must be empty.
    QStringList differences;
    int filled = 0;
    for (int row = 1; row <= rowCount; ++row) {
        const QStringList expected =
            row <= rows.size() ? strings(rows.at(row - 1).toArray()) : QStringList();
        for (int column = 1; column <= columnCount; ++column) {
            const QString want = column <= expected.size() ? expected.at(column - 1) : QString();
            QString text;
            QCOMPARE(workbook->cellText(0, row, column, &text), 0);
            if (!want.isEmpty()) ++filled;
            if (text != want)
                differences.append(QStringLiteral("R%1C%2: %3, xlrd %4")
                                       .arg(row)
                                       .arg(column)
                                       .arg(text.left(40), want.left(40)));
        }
    }
    QVERIFY2(differences.isEmpty(), qPrintable(differences.mid(0, 10).join(QStringLiteral("; "))));
    QVERIFY(filled > 0);
}

QTEST_GUILESS_MAIN(TestAgreement)
#include "tst_agreement.moc"
