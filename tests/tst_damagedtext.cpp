// Damaged text files read as workbooks: read as far as they are sound, or
// refused with failure 5, never a crash or a hang. The big inputs are made
// here rather than committed.

#include "workbook/bytesource.h"
#include "workbook/open/openworkbook.h"
#include "workbook/workbook.h"

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
