// Damaged workbooks: every fixture cut short (within its first bytes, at
// lengths spread over it and at each side of a compound file's sector
// boundaries) and with one to four bytes changed at places that depend only
// on its content. Whatever the damage, the
// readers answer with text or a failure number (support/workbookcheck.h),
// never a crash, a hang or a huge allocation. The hostile fixtures pin down
// what particular lies must give; this sweep looks for the ones nobody
// thought of, as the fuzz targets do for longer.

#include "tests/support/workbookcheck.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <random>
#include <set>

// Under AddressSanitizer, a single allocation this large stops the test: the
// reader must never need one, whatever a file claims.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char *__asan_default_options() {
    return "max_allocation_size_mb=512:allocator_may_return_null=0";
}
#endif

using namespace analysis;

namespace {

// What went wrong, with where, for the first few problems.
struct Problems {
    QStringList found;
    void check(const QByteArray &bytes, const QString &where, bool legacy) {
        const QString wrong = legacy ? workbookcheck::problem(bytes, 65536, 256)
                                     : workbookcheck::problem(bytes, 1048576, 16384);
        if (!wrong.isEmpty()) found << where + QStringLiteral(": ") + wrong;
    }
    QByteArray report() const { return found.mid(0, 5).join(QStringLiteral("; ")).toUtf8(); }
};

} // namespace

class TestDamage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cutShort_data() { addFixtures(); }
    void cutShort();
    void bytesChanged_data() { addFixtures(); }
    void bytesChanged();

private:
    void addFixtures();
};

void TestDamage::initTestCase() {
    QVERIFY(QFile::exists(QStringLiteral(SCORE_FIXTURES_DIR "/class_xlwt.xls")));
}

void TestDamage::addFixtures() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("legacy");
    const QDir directory(QStringLiteral(SCORE_FIXTURES_DIR));
    for (const QString &name : directory.entryList(
             {QStringLiteral("*.xls"), QStringLiteral("*.xlsx"), QStringLiteral("*.xlsm"),
              QStringLiteral("*.ods"), QStringLiteral("*.zip"), QStringLiteral("*.csv"),
              QStringLiteral("*.txt"), QStringLiteral("*.et")},
             QDir::Files, QDir::Name)) {
        if (name.startsWith(u"broken_")) continue; // damaged already: workbooks.json has them
        QFile file(directory.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        // Legacy: a compound file (.xls and .et); a web page or a text table
        // named .xls is read whole.
        const QByteArray bytes = file.readAll();
        QTest::newRow(qPrintable(name)) << bytes << bytes.startsWith("\xD0\xCF\x11\xE0");
    }
}

void TestDamage::cutShort() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, legacy);
    std::set<qsizetype> lengths;
    for (qsizetype length = 0; length <= std::min<qsizetype>(bytes.size(), 40); ++length)
        lengths.insert(length);
    for (qsizetype boundary = 512; legacy && boundary <= bytes.size() + 1; boundary += 512)
        for (qsizetype length : {boundary - 1, boundary})
            lengths.insert(std::min(length, bytes.size()));
    for (int i = 0; i <= 50; ++i)
        lengths.insert(bytes.size() * i / 50);
    Problems problems;
    for (qsizetype length : lengths) {
        const QString where = QStringLiteral("cut to %1").arg(length);
        problems.check(bytes.left(length), where, legacy);
        // Without its whole 512-byte header nothing says it is a compound file.
        int error = -1;
        if (legacy && length < 512 &&
            (openWorkbook(memorySource(bytes.left(length)), &error) || error != NotAWorkbook))
            problems.found << where + QStringLiteral(": failure %1, not 438").arg(error);
    }
    QVERIFY2(problems.found.isEmpty(), problems.report().constData());
}

void TestDamage::bytesChanged() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, legacy);
    if (bytes.isEmpty()) QSKIP("an empty file has no bytes to change");
    // The header and the first sectors (a compound file's tables, a zip's
    // first member) are hit half the time.
    std::mt19937 random(std::uint32_t(qHash(bytes)));
    const auto below = [&random](qsizetype bound) { return qsizetype(random() % bound); };
    Problems problems;
    // A package is inflated and parsed whole for its last cell: fewer copies.
    for (int copy = 0; copy < (legacy ? 100 : 40); ++copy) {
        QByteArray changed = bytes;
        QString where = QStringLiteral("copy %1, changed at").arg(copy);
        for (int i = 0, count = 1 + int(below(4)); i < count; ++i) {
            const qsizetype at =
                below(copy % 2 ? std::min<qsizetype>(bytes.size(), 2048) : bytes.size());
            const int kind = int(below(4));
            changed[at] = kind == 0   ? char(0xFF)
                          : kind == 1 ? char(0)
                                      : char(bytes[at] ^ (1 + below(255)));
            where += QStringLiteral(" %1").arg(at);
        }
        problems.check(changed, where, legacy);
    }
    QVERIFY2(problems.found.isEmpty(), problems.report().constData());
}

QTEST_GUILESS_MAIN(TestDamage)
#include "tst_damage.moc"
