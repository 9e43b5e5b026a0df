#include "analysis/helpfile.h"

#include <QTemporaryDir>
#include <QTest>

using analysis::helpText;

class TestHelpFile : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void decodesGbk();
    void invalidGbkShowsReplacement_data();
    void invalidGbkShowsReplacement();
    void largeFile();
    void files();
};

void TestHelpFile::lines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\nc\r\n") << "a\r\nb\r\nc\r\n";
    QTest::newRow("no final line end") << QByteArray("a\r\nb\r\nc") << "a\r\nb\r\nc\r\n";
    QTest::newRow("CR only") << QByteArray("a\rb\rc") << "a\r\nb\r\nc\r\n";
    QTest::newRow("empty line") << QByteArray("a\r\n\r\nb") << "a\r\n\r\nb\r\n";
    QTest::newRow("blank lines at the end") << QByteArray("a\r\n\r\n") << "a\r\n\r\n";
    QTest::newRow("LF only is one line") << QByteArray("a\nb\nc\n") << "a\nb\nc\n\r\n";
    QTest::newRow("LF CR") << QByteArray("a\n\rb") << "a\n\r\nb\r\n";
    QTest::newRow("spaces kept") << QByteArray("  a  \r\n") << "  a  \r\n";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("only a line end") << QByteArray("\r\n") << "\r\n";
}

void TestHelpFile::lines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(helpText(bytes), expected);
}

void TestHelpFile::decodesGbk() {
    // "帮助" and "成绩" in GBK.
    QCOMPARE(analysis::decodeGbk(QByteArray("\xB0\xEF\xD6\xFA\r\n\xB3\xC9\xBC\xA8")),
             QStringLiteral("帮助\r\n成绩"));
    QCOMPARE(helpText(QByteArray("\xB0\xEF\xD6\xFA\r\n\xB3\xC9\xBC\xA8")),
             QStringLiteral("帮助\r\n成绩\r\n"));
}

void TestHelpFile::invalidGbkShowsReplacement_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QChar r = QChar::ReplacementCharacter;
    QTest::newRow("lead byte before CR") << QByteArray("\xB0\r\nb") << QString(r) + "\r\nb\r\n";
    QTest::newRow("cut off at the end") << QByteArray("a\xB0") << "a" + QString(r) + "\r\n";
    QTest::newRow("lead byte before a blank")
        << QByteArray("a\x81 z") << "a" + QString(r) + " z\r\n";
    QTest::newRow("0xFF bytes") << QByteArray("\xFF\xFF") << QString(2, r) + "\r\n";
    QTest::newRow("good text after bad")
        << QByteArray("\xFF\xB0\xEF\r\nx") << QString(r) + QStringLiteral("帮\r\nx\r\n");
}

void TestHelpFile::invalidGbkShowsReplacement() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(helpText(bytes), expected);
}

void TestHelpFile::largeFile() {
    // About 4 MB: 200,000 lines of GBK text.
    QByteArray bytes;
    const QByteArray line("\xB3\xC9\xBC\xA8 0123456789\r\n");
    for (int i = 0; i < 200000; ++i)
        bytes += line;
    const QString text = helpText(bytes);
    QCOMPARE(text.count(QStringLiteral("\r\n")), 200000);
    QVERIFY(text.startsWith(QStringLiteral("成绩 0123456789\r\n")));
    QCOMPARE(text.size(), 200000 * 15);
}

void TestHelpFile::files() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Help.dat");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("a\r\nb");
    file.close();
    QCOMPARE(analysis::readHelpFile(path).text, QString("a\r\nb\r\n"));
    QVERIFY(analysis::readHelpFile(path).ok);

    const QString failure = QStringLiteral("无法打开帮助文件！");
    QCOMPARE(analysis::readHelpFile(dir.filePath("missing.dat")).text, failure);
    QCOMPARE(analysis::readHelpFile(dir.path()).text, failure);
    QVERIFY(!analysis::readHelpFile(dir.path()).ok);

    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.close();
    QCOMPARE(analysis::readHelpFile(path).text, QString());
    QVERIFY(analysis::readHelpFile(path).ok);
}

QTEST_APPLESS_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
