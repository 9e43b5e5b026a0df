// Workbook files are read in place, mapped into memory. A mapped file must
// read exactly as the file, and a file that another program cuts short while
// it is being read must end the import with the damaged-file failure, never
// end the program; bus errors that are not ours still reach the handler that
// was there before.

#include "analysis/bytesource.h"
#include "analysis/importerrors.h"
#include "analysis/workbook.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <vector>

using namespace analysis;
using namespace Qt::StringLiterals;

namespace {

volatile std::sig_atomic_t busErrorsSeen = 0;

void recordBusError(int) {
    busErrorsSeen = busErrorsSeen + 1;
}

QString fixture(const QString &name) {
    return QStringLiteral(SCORE_FIXTURES_DIR "/") + name;
}

} // namespace

class TestFileSource : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readsAsTheFile();
    void cutUnderAView();
    void cutDuringAnImport_data();
    void cutDuringAnImport();
    void foreignBusErrorGoesOn();

private:
    // A copy of a fixture that the test may cut short.
    QString copyOf(const QString &name);

    QTemporaryDir m_dir;
    int m_copies = 0;
};

void TestFileSource::initTestCase() {
    QVERIFY(m_dir.isValid());
    // Installed before any file is mapped, so the mapping's handler finds it
    // as the one to pass foreign faults on to.
    QVERIFY(std::signal(SIGBUS, &recordBusError) != SIG_ERR);
}

QString TestFileSource::copyOf(const QString &name) {
    const QString path = m_dir.filePath(u"copy%1-"_s.arg(++m_copies) + name);
    return QFile::copy(fixture(name), path) ? path : QString();
}

void TestFileSource::readsAsTheFile() {
    const QString path = copyOf(u"class_xlwt.xls"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() > 8192);

    const auto source = openFileSource(path);
    QVERIFY(source);
    QCOMPARE(source->size(), std::uint64_t(bytes.size()));
    const std::uint8_t *whole = source->view(0, std::size_t(bytes.size()));
    QVERIFY(whole);
    QVERIFY(std::memcmp(whole, bytes.constData(), std::size_t(bytes.size())) == 0);
    // Pages let go come back from the page cache when read again. (Releases
    // are gathered until a release elsewhere, or a long stretch, lets the
    // gathered pages go.)
    source->releaseView(whole, std::size_t(bytes.size()));
    source->releaseView(whole, 1);
    QVERIFY(std::memcmp(whole, bytes.constData(), std::size_t(bytes.size())) == 0);
    std::vector<std::uint8_t> part(100);
    QVERIFY(source->read(5000, part.size(), part.data()));
    QVERIFY(std::memcmp(part.data(), bytes.constData() + 5000, part.size()) == 0);
    QVERIFY(!source->view(std::uint64_t(bytes.size()) - 10, 11));
    QVERIFY(!source->read(std::uint64_t(bytes.size()) - 10, 11, part.data()));
    QVERIFY(source->intact());
}

void TestFileSource::cutUnderAView() {
    const QString path = copyOf(u"class_xlwt.xls"_s);
    const auto source = openFileSource(path);
    QVERIFY(source);
    const auto size = std::size_t(source->size());
    const std::uint8_t *whole = source->view(0, size);
    QVERIFY(whole);

    const int before = busErrorsSeen;
    QVERIFY(QFile::resize(path, 4096));
    // The page past the cut reads as zeros instead of ending the program.
    const volatile std::uint8_t *last = whole + size - 1;
    QCOMPARE(int(*last), 0);
    QVERIFY(!source->intact());
    std::uint8_t byte = 0xFF;
    QVERIFY(!source->read(size - 1, 1, &byte));
    QCOMPARE(int(busErrorsSeen), before);
}

void TestFileSource::cutDuringAnImport_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("cutTo");

    // Pages after the cut are gone (reading them faults); the rest of the page
    // the cut falls in reads as zeros, without a fault.
    for (const QString &file :
         {u"class_xlwt.xls"_s, u"class_gnumeric.xls"_s, u"class_libreoffice.xls"_s,
          u"modern_gnumeric.xlsx"_s, u"modern_libreoffice.ods"_s}) {
        const qint64 size = QFileInfo(fixture(file)).size();
        for (qint64 cut = 0; cut < size; cut += 512)
            QTest::addRow("%s cut to %lld", qPrintable(file), cut) << file << cut;
    }
}

// Every cell read after the cut is either what the whole file holds or the
// damaged-file failure: zeros read in place of the file never pass for data.
void TestFileSource::cutDuringAnImport() {
    QFETCH(QString, file);
    QFETCH(qint64, cutTo);

    int error = -1;
    const auto whole = openWorkbook(fixture(file), &error);
    QVERIFY(whole);
    const QString path = copyOf(file);
    const auto workbook = openWorkbook(path, &error);
    QVERIFY(workbook);
    const int sheet = workbook->sheetIndex(u"Sheet1"_s);
    QVERIFY(sheet >= 0);

    QVERIFY(QFile::resize(path, cutTo));
    int failures = 0;
    for (int row = 1; row <= 125; ++row) {
        for (int column = 1; column <= 3; ++column) {
            QString expected;
            QCOMPARE(whole->cellText(sheet, row, column, &expected), int(NoError));
            QString text = u"old"_s;
            const int result = workbook->cellText(sheet, row, column, &text);
            if (result == CannotOpen) {
                QCOMPARE(text, QString());
                ++failures;
                continue;
            }
            QCOMPARE(result, int(NoError));
            QCOMPARE(text, expected);
        }
    }
    if (cutTo == 0) QCOMPARE(failures, 125 * 3);
}

void TestFileSource::foreignBusErrorGoesOn() {
    // A mapping exists, so the mapping's handler is in place by now.
    const QString path = copyOf(u"class_xlwt.xls"_s);
    const auto source = openFileSource(path);
    QVERIFY(source && source->view(0, 1));
    const int before = busErrorsSeen;
    std::raise(SIGBUS);
    QCOMPARE(int(busErrorsSeen), before + 1);
}

QTEST_GUILESS_MAIN(TestFileSource)
#include "tst_filesource.moc"
