// Workbook files are read in place, mapped into memory. A mapped file must
// read exactly as the file, and a file that another program cuts short while
// it is being read must end the import with the damaged-file failure, never
// end the program; bus errors that are not ours still reach the handler that
// was there before.

#include "workbook/bytesource.h"
#include "workbook/importerrors.h"
#include "workbook/open/openworkbook.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>

using namespace analysis;

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

private:
    // A copy of a fixture that the test may cut short.
    QString copyOf(const QString &name) {
        const QString path = m_dir.filePath(QStringLiteral("%1-").arg(++m_copies) + name);
        return QFile::copy(fixture(name), path) ? path : QString();
    }

    QTemporaryDir m_dir;
    int m_copies = 0;
};

void TestFileSource::initTestCase() {
    QVERIFY(m_dir.isValid());
    // Installed before any file is mapped, so the mapping's handler finds it
    // as the one to pass foreign faults on to.
    QVERIFY(std::signal(SIGBUS, &recordBusError) != SIG_ERR);
}

void TestFileSource::readsAsTheFile() {
    const QString path = copyOf(QStringLiteral("class_xlwt.xls"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto size = std::size_t(bytes.size());
    const auto source = openFileSource(path);
    QVERIFY(source);
    QCOMPARE(source->size(), size);
    const std::uint8_t *whole = source->view(0, size);
    QVERIFY(whole && std::memcmp(whole, bytes.constData(), size) == 0);
    // Pages let go come back from the page cache when read again.
    source->releaseView(whole, size);
    source->releaseView(whole, 1);
    QVERIFY(std::memcmp(whole, bytes.constData(), size) == 0);
    char part[100];
    QVERIFY(source->read(size - 100, 100, reinterpret_cast<std::uint8_t *>(part)));
    QCOMPARE(QByteArray(part, 100), bytes.right(100));
    QVERIFY(!source->view(size - 10, 11));
    QVERIFY(!source->read(size - 10, 11, reinterpret_cast<std::uint8_t *>(part)));
    QVERIFY(!source->read(size + 1, 0, reinterpret_cast<std::uint8_t *>(part)));
    QVERIFY(source->intact());
    // A foreign bus error goes on to the handler that was there before.
    std::raise(SIGBUS);
    QCOMPARE(int(busErrorsSeen), 1);
}

void TestFileSource::cutUnderAView() {
    const QString path = copyOf(QStringLiteral("class_xlwt.xls"));
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
    QVERIFY(!source->read(0, 1, &byte));
    QCOMPARE(int(busErrorsSeen), before);
}

void TestFileSource::cutDuringAnImport_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("cutTo");
    // Pages after the cut are gone (reading them faults); the rest of the page
    // the cut falls in reads as zeros, without a fault.
    for (const char *file : {"class_xlwt.xls", "class_gnumeric.xls", "class_libreoffice.xls",
                             "modern_gnumeric.xlsx", "modern_libreoffice.ods"})
        for (qint64 cut = 0; cut < QFileInfo(fixture(QLatin1String(file))).size(); cut += 512)
            QTest::addRow("%s cut to %lld", file, cut) << QString::fromLatin1(file) << cut;
}

// Every cell read after the cut is either what the whole file holds or the
// damaged-file failure: zeros read in place of the file never pass for data.
void TestFileSource::cutDuringAnImport() {
    QFETCH(QString, file);
    QFETCH(qint64, cutTo);
    int error = -1;
    const auto whole = openWorkbook(fixture(file), &error);
    const QString path = copyOf(file);
    const auto workbook = openWorkbook(path, &error);
    QVERIFY(whole && workbook);
    const int sheet = workbook->sheetIndex(QStringLiteral("Sheet1"));
    QVERIFY(QFile::resize(path, cutTo));
    QStringList wrong;
    int failures = 0;
    for (int row = 1; row <= 125; ++row)
        for (int column = 1; column <= 3; ++column) {
            QString expected, text = QStringLiteral("old");
            whole->cellText(sheet, row, column, &expected);
            const int result = workbook->cellText(sheet, row, column, &text);
            failures += result == CannotOpen;
            if (result == CannotOpen ? !text.isEmpty() : (result != NoError || text != expected))
                wrong
                    << QStringLiteral("R%1C%2: %3 '%4'").arg(row).arg(column).arg(result).arg(text);
        }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.mid(0, 5).join(QStringLiteral("; "))));
    QVERIFY(cutTo > 0 || failures == 375);
}

QTEST_GUILESS_MAIN(TestFileSource)
#include "tst_filesource.moc"
