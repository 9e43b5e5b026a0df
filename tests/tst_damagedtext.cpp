// Damaged text files read as workbooks: read as far as they are sound, or
// refused with failure 5, never a crash or a hang. The big inputs are made
// here rather than committed.

#include "workbook/bytesource.h"
#include "workbook/open/openworkbook.h"
#include "workbook/workbook.h"

#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDamagedText : public QObject {
    Q_OBJECT
private slots:
    void damaged_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("error"); // 0, or the failure number
        QTest::addColumn<QString>("text");
        QTest::newRow("quote left open on the last line")
            << "学号,姓名\n001,\"张三"_ba << 2 << 2 << 0 << u"张三"_s;
        QTest::newRow("sound row before the open quote")
            << "学号,姓名\n001,\"张三"_ba << 2 << 1 << 0 << u"001"_s;
        QTest::newRow("NUL byte") << QByteArray("学号,姓名\n001,\0张三\n", 26) << 2 << 2 << 5
                                  << QString();
        QTest::newRow("a line of a million fields")
            << QByteArray("a") + QByteArray(999999, ',') + '\n'
            << 1 << 1 << 5 << QString();
        // Large enough to be far beyond any real line, small enough to stay
        // quick in the sanitizer build.
        QTest::newRow("20 MB of fields without a newline")
            << QByteArray(20 * 1024 * 1024, ',') << 1 << 1 << 5 << QString();
        QTest::newRow("20 MB line of one field")
            << QByteArray(20 * 1024 * 1024, 'x') << 2 << 1 << 0 << QString();
        // The lines are read as far as they are asked for: the class above an
        // open quote is sound, a row past it is not.
        const QByteArray swallowing = "学号,姓名\n001,张三\n002,\"李四\n003,王五\n"_ba;
        QTest::newRow("sound line above an open quote") << swallowing << 2 << 2 << 0 << u"张三"_s;
        QTest::newRow("row past an open quote") << swallowing << 4 << 1 << 5 << QString();
    }

    // A file read a part at a time: the parts end between lines, in either
    // encoding, and a quoted field across a part's end stays whole.
    void readInParts_data() {
        QTest::addColumn<QString>("encoding");
        QTest::newRow("UTF-8") << u"UTF-8"_s;
        QTest::newRow("GB18030") << u"GB18030"_s;
    }
    void readInParts() {
        QFETCH(QString, encoding);
        QString text = u"学号,姓名,评语\n"_s;
        for (int i = 1; i <= 20000; ++i)
            text +=
                u"%1,学生%2,\"第一行\n第二行，\"\"好\"\"\"\n"_s.arg(i, 5, 10, QChar(u'0')).arg(i);
        QStringEncoder encoder(qPrintable(encoding));
        const QByteArray bytes = encoder.encode(text);
        QVERIFY(bytes.size() > 10 * 64 * 1024); // ten parts at least
        int failed = 0;
        const std::unique_ptr<analysis::Workbook> book =
            analysis::openWorkbook(analysis::memorySource(bytes), &failed, u"班"_s);
        QVERIFY(book);
        QString found;
        QCOMPARE(book->cellText(0, 20001, 2, &found), 0);
        QCOMPARE(found, u"学生20000"_s);
        QCOMPARE(book->cellText(0, 12345, 3, &found), 0);
        QCOMPARE(found, u"第一行\n第二行，\"好\""_s);
        std::vector<analysis::SheetRow> rows;
        QCOMPARE(book->readRows(0, 2, {1}, &rows), 0);
        QCOMPARE(int(rows.size()), 20000);
        QCOMPARE(rows.back().texts.front(), u"20000"_s);
    }

    void damaged() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, error);
        QFETCH(QString, text);
        int failed = 0;
        QString found;
        const std::unique_ptr<analysis::Workbook> book =
            analysis::openWorkbook(analysis::memorySource(bytes), &failed, u"班"_s);
        if (book) failed = book->cellText(0, row, column, &found);
        QCOMPARE(failed, error);
        QCOMPARE(found, text);
    }
};

QTEST_GUILESS_MAIN(TestDamagedText)
#include "tst_damagedtext.moc"
