// Damaged workbooks: every fixture cut short (within its first bytes, at
// lengths spread over it and at each side of a compound file's sector
// boundaries) and with one to four bytes changed at places that depend only
// on its content. Whatever the damage, the
// readers answer with text or a failure number (support/workbookcheck.h),
// never a crash, a hang or a huge allocation. The hostile fixtures pin down
// what particular lies must give; this sweep looks for the ones nobody
// thought of, as the fuzz targets do for longer.

#include "tests/support/workbookcheck.h"
#include "workbook/damage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    void damageSites_data();
    void damageSites();

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
              QStringLiteral("*.txt"), QStringLiteral("*.et"), QStringLiteral("*.ett")},
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

namespace {

// The check that turned a hostile fixture away, read as the import reads:
// its source file's name and its line, or an empty name when none fired.
std::pair<QString, int> damageSite(const QString &name) {
    QFile file(QStringLiteral(SCORE_FIXTURES_DIR "/hostile/") + name);
    if (!file.open(QIODevice::ReadOnly)) return {QStringLiteral("no fixture"), 0};
    clearLastDamage();
    int error = -1;
    const auto workbook = openWorkbook(memorySource(file.readAll()), &error);
    if (workbook) workbookcheck::readLikeTheImport(*workbook, 0);
    const DamageSite site = lastDamage();
    if (!site.file) return {};
    return {QFileInfo(QString::fromUtf8(site.file)).fileName(), site.line};
}

} // namespace

// Two hostile files that both show the teacher "damaged" trip two different
// checks, and say which.
void TestDamage::damageSites_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("firstSource");
    QTest::addColumn<QString>("secondSource");
    QTest::newRow("encrypted, number cut short")
        << QStringLiteral("xls_filepass_after_bof.xls")
        << QStringLiteral("xls_number_cut_short.xls") << QStringLiteral("xlsworkbook.cpp")
        << QStringLiteral("xlsworkbook.cpp");
    QTest::newRow("shared string beyond, label too long")
        << QStringLiteral("xls_labelsst_index_beyond.xls")
        << QStringLiteral("xls_label_huge_count.xls") << QStringLiteral("xlsworkbook.cpp")
        << QStringLiteral("xlsworkbook.cpp");
    QTest::newRow("doctype, number that is none")
        << QStringLiteral("xlsx_doctype.xlsx") << QStringLiteral("xlsx_number_that_is_none.xlsx")
        << QStringLiteral("xlsxworkbook.cpp") << QStringLiteral("cellvalue.cpp");
    QTest::newRow("local header past end, data cut")
        << QStringLiteral("zip_local_header_past_end.xlsx")
        << QStringLiteral("zip_deflate_data_cut.xlsx") << QStringLiteral("ziparchive.cpp")
        << QStringLiteral("xlsxworkbook.cpp");
    QTest::newRow("ods float none, spaces")
        << QStringLiteral("ods_float_that_is_none.ods")
        << QStringLiteral("ods_spaces_beyond_measure.ods") << QStringLiteral("cellvalue.cpp")
        << QStringLiteral("odsworkbook.cpp");
}

void TestDamage::damageSites() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, firstSource);
    QFETCH(QString, secondSource);
    const auto [firstFile, firstLine] = damageSite(first);
    const auto [secondFile, secondLine] = damageSite(second);
    QCOMPARE(firstFile, firstSource);
    QCOMPARE(secondFile, secondSource);
    QVERIFY(firstFile != secondFile || firstLine != secondLine);
}

QTEST_GUILESS_MAIN(TestDamage)
#include "tst_damage.moc"
