// What a hostile file system, odd names and odd texts must not do: lose a
// file, leave one behind, hide a failure, give a wrong total or act on the
// terminal.
#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/classanalysis.h"
#include "analysis/export/analysistables.h"
#include "analysis/export/temporaryfile.h"
#include "analysis/grade/gradecomparison.h"
#include "analysis/grade/gradejson.h"
#include "analysis/texts/displaywidth.h"
#include "analysis/texts/terminaltext.h"
#include "analysis/texts/wellformed.h"
#include "cli/reportcommand.h"
#include "tests/support/fulldisk.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString Sample = QStringLiteral(SCORE_SAMPLES_DIR "/class.xls");

struct Run {
    int status;
    QString out, err;
};

// score-report through a shell, so that names can be given as raw bytes.
Run shell(const QString &folder, const QString &script) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), script, QStringLiteral(SCORE_REPORT_EXECUTABLE), Sample});
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QJsonObject compareJson(const QStringList &sources) {
    return QJsonDocument::fromJson(
               report::run(QStringList{"--compare", "--json"} + sources).out.toUtf8())
        .object();
}

QStringList failureTexts(const QJsonObject &root) {
    QStringList texts;
    for (const QJsonValue &f : root["failures"].toArray())
        texts << QDir(f["source"].toString()).dirName() + u' ' + f["message"].toString();
    return texts;
}

} // namespace

class TestSafety : public QObject {
    Q_OBJECT
private slots:
    void fullDisk_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("freePages");
        QTest::newRow("pdf") << "--class-size 30"
                             << "t.pdf" << 1;
        QTest::newRow("xlsx") << "--class-size 30"
                              << "t.xlsx" << 1;
        QTest::newRow("csv") << "--analysis"
                             << "t.csv" << 0;
        QTest::newRow("grade xlsx") << "--compare"
                                    << "t.xlsx" << 1;
        QTest::newRow("grade csv") << "--compare"
                                   << "t.csv" << 0;
        for (const char *ending : {"pdf", "xlsx", "csv"})
            QTest::addRow("exam %s", ending) << "--subjects --score-columns 3"
                                             << QStringLiteral("t.") + QLatin1String(ending) << 1;
        for (const char *ending : {"csv", "xlsx", "pdf"})
            QTest::addRow("progress %s", ending) << "--progress \"$1\" --score-columns 3"
                                                 << QStringLiteral("t.") + QLatin1String(ending)
                                                 << (ending == QByteArrayView("csv") ? 0 : 1);
        for (const char *ending : {"pdf", "xlsx"})
            QTest::addRow("slips %s", ending)
                << "--slips --score-columns 3" << QStringLiteral("t.") + QLatin1String(ending) << 1;
    }
    // A small file system of its own, filled up but for freePages pages.
    void fullDisk() {
        QFETCH(QString, options);
        QFETCH(QString, target);
        QFETCH(int, freePages);
        FullDisk disk(target, freePages);
        if (!disk.unavailable().isEmpty()) QSKIP(qPrintable(disk.unavailable()));
        QVERIFY(disk.filled());
        const Run run = shell(disk.folder(), "\"$0\" \"$1\" " + options + " --export " + target);
        const QStringList left =
            QDir(disk.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err, "磁盘已满，无法写入导出文件，请腾出空间后再试：" + target + u'\n');
        QCOMPARE(disk.contents(target), QByteArray("old"));
        QCOMPARE(left, QStringList({"fill", target}));
    }

    void longTargetName() {
        QTemporaryDir dir;
        const QString name = QString(251, u'a') + QStringLiteral(".csv"); // 255 bytes
        const Run run = shell(dir.path(), "\"$0\" \"$1\" --analysis --export " + name);
        QCOMPARE(run.status, 0);
        QVERIFY(contents(dir.filePath(name)).startsWith("\xEF\xBB\xBF"));
    }

    void pipeTarget_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("named pipe") << "p.csv";
        QTest::newRow("link to a named pipe") << "l.csv";
    }
    void pipeTarget() {
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("p.csv")), 0644) == 0);
        QVERIFY(QFile::link("p.csv", dir.filePath("l.csv")));
        const Run run = shell(dir.path(), "\"$0\" \"$1\" --analysis --export " + target);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err, "导出路径不是普通文件（如命名管道），不能写入：" + target + u'\n');
        struct stat status {};
        QVERIFY(::stat(QFile::encodeName(dir.filePath(target)), &status) == 0);
        QVERIFY(S_ISFIFO(status.st_mode));
    }

    // Bytes that are not UTF-8 name the file they name, not one with U+FFFD.
    void namesAsBytes() {
        QTemporaryDir dir;
        writeFile(dir.filePath("bad\uFFFD.csv"), "old");
        QVERIFY(QFile::copy(Sample, dir.filePath("copy.xls")));
        const Run run =
            shell(dir.path(), "mv copy.xls \"$(printf 'w\\376.xls')\" && "
                              "\"$0\" \"$(printf 'w\\376.xls')\" --analysis "
                              "--export \"$(printf 'bad\\377.csv')\" && "
                              "test -s \"$(printf 'bad\\377.csv')\" && rm ./w?.xls ./bad?.csv");
        QCOMPARE(run.status, 0);
        // The message names the file written by its bytes, not by U+FFFD.
        QVERIFY2(run.out.contains("bad\\xFF.csv"), qPrintable(run.out));
        QCOMPARE(contents(dir.filePath("bad\uFFFD.csv")), QByteArray("old"));
    }

    // A terminal's signal while an export's file exists leaves nothing.
    void signalLeavesNothing() {
        QTemporaryDir dir;
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGTERM, SIG_DFL); // as in a program run from a terminal
            analysis::TemporaryFile file(QFile::encodeName(dir.path()), 0644);
            if (::write(file.descriptor(), "part", 4) == 4) ::raise(SIGTERM);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // Every entry named like a workbook is listed, with its failure.
    void folderEntries() {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(Sample, dir.filePath("a.xls")));
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("b.xls")), 0644) == 0);
        QVERIFY(QFile::link("nowhere.xls", dir.filePath("c.xlsx")));
        QVERIFY(QDir(dir.path()).mkdir("d.xls"));
        writeFile(dir.filePath("e.doc"), "not a workbook");
        const QJsonObject root = compareJson({dir.path()});
        QCOMPARE(root["classes"].toArray().size(), 1);
        const QString noFile = QStringLiteral(" 无法打开Excel文件，请检查后重新输入文件名及路径！");
        QCOMPARE(failureTexts(root), QStringList({"b.xls" + noFile, "c.xlsx" + noFile}));
    }
    // A folder gone (or, for others than root, closed) by the time it is listed.
    void unlistableFolder() {
        const analysis::ClassSource gone{
            analysis::ClassSource::Kind::Folder, "/nonexistent", {}, {}, "/nonexistent"};
        const analysis::GradeComparison comparison = analysis::compareGrade(
            analysis::expandFolders({gone}), {}, analysis::defaultAnalysisSettings());
        QCOMPARE(comparison.failures.at(0).message,
                 "无法列出文件夹中的文件，请检查是否允许读取：/nonexistent");
    }

    void sameFileOnce() {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(Sample, dir.filePath("a.xls")));
        QVERIFY(::link(QFile::encodeName(dir.filePath("a.xls")),
                       QFile::encodeName(dir.filePath("b.xls"))) == 0);
        const QString a = dir.filePath("a.xls");
        const QJsonObject root = compareJson({a, dir.path() + "/./a.xls", dir.filePath("b.xls")});
        QCOMPARE(root["grade"]["sat"].toInt(), 30);
        const QString once = " 与来源" + a + "是同一个文件的同一个表，只计一次！";
        QCOMPARE(failureTexts(root), QStringList({"a.xls" + once, "b.xls" + once}));
    }

    void wellFormedJson_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("lone high")
            << QByteArray(R"(["x\ud800y"])") << QByteArray(R"(["x\ufffdy"])");
        QTest::newRow("lone low") << QByteArray(R"(["\udc00"])") << QByteArray(R"(["\ufffd"])");
        QTest::newRow("pair") << QByteArray(R"(["\ud83d\ude00"])")
                              << QByteArray(R"(["\ud83d\ude00"])");
        QTest::newRow("escaped backslash")
            << QByteArray(R"(["\\ud800"])") << QByteArray(R"(["\\ud800"])");
        QTest::newRow("DEL and C1") << QByteArray("[\"\x7F\xC2\x9B\xC3\xA9\"]")
                                    << QByteArray("[\"\\u007f\\u009b\xC3\xA9\"]");
    }
    void wellFormedJson() {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, expected);
        QCOMPARE(analysis::wellFormedJson(json), expected);
    }

    // Names with DEL, C1 and escape characters, in every mode's JSON: the
    // output must parse, and keep the names as they were.
    void jsonModesWellFormed_data() {
        QTest::addColumn<QString>("options");
        QTest::newRow("class") << "t.csv --class-size 3 --json";
        QTest::newRow("comparison") << "--compare t.csv --columns auto --json";
        QTest::newRow("exam") << "--subjects t.csv --columns auto --json";
        QTest::newRow("progress") << "--progress t.csv t.csv --columns auto --json";
    }
    void jsonModesWellFormed() {
        QFETCH(QString, options);
        QTemporaryDir dir;
        writeFile(dir.filePath("t.csv"), "学号,姓名,班级,语文,数学\n"
                                         "1,张\x7F三,初二\xC2\x9B"
                                         "1班,90,80\n"
                                         "2,李四,初二\xC2\x9B"
                                         "1班,70,60\n"
                                         "3,王\x1B[2J五,初二\xC2\x9B"
                                         "1班,85,75\n");
        const Run run = shell(dir.path(), "\"$0\" " + options);
        QCOMPARE(run.status, 0);
        QJsonParseError error;
        QJsonDocument::fromJson(run.out.toUtf8(), &error);
        QCOMPARE(error.errorString(), QJsonParseError().errorString());
        QVERIFY2(run.out.contains(R"(张\u007f三)"), qPrintable(run.out.left(300)));
        QVERIFY2(run.out.contains(R"(王\u001b[2J五)"), qPrintable(run.out.left(300)));
    }

    // A sheet name with a lone surrogate, as a comparison's JSON writes it.
    void gradeJsonWellFormed() {
        analysis::GradeComparison comparison;
        comparison.classes.push_back({QStringLiteral("一班") + QChar(0xD800), "a.xls", {}, {}, 1});
        const QByteArray json = analysis::gradeJson(comparison);
        QVERIFY2(json.contains(R"("name":"一班\ufffd")"), json.constData());
    }

    void terminalText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clear screen") << "\x1B[2J张三"
                                      << "\\x1B[2J张三";
        QTest::newRow("bell, DEL") << "a\x07\x7F"
                                   << "a\\x07\\x7F";
        QTest::newRow("C1 CSI") << QString::fromUtf16(u"a\u009Bb") << "a\\u009Bb";
        QTest::newRow("carriage return") << "a\rb"
                                         << "a\\x0Db";
        QTest::newRow("tabs and lines kept") << "a\tb\n"
                                             << "a\tb\n";
        QTest::newRow("lone surrogate") << QString(QChar(0xDC00)) << QString::fromUtf16(u"\uFFFD");
        QTest::newRow("file name byte")
            << QStringLiteral("bad") + QChar(0xDCFF) + QStringLiteral(".csv") << "bad\\xFF.csv";
        QTest::newRow("pair kept")
            << QString::fromUtf16(u"\U0001F600") << QString::fromUtf16(u"\U0001F600");
    }
    void terminalText() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(analysis::terminalText(text), expected);
        // The same as bytes, at every place within a word of eight.
        if (QString::fromUtf8(text.toUtf8()) != text) return;
        for (int place = 0; place < 9; ++place) {
            const QByteArray before(place, 'a'), after = "，成绩 90";
            QCOMPARE(analysis::terminalUtf8(before + text.toUtf8() + after),
                     before + expected.toUtf8() + after);
        }
    }

    void exactTotal() {
        analysis::AnalysisInput input;
        input.rows = {{1, "1", "甲", "49.2500000001"},
                      {2, "2", "乙", "49.25"},
                      {3, "3", "丙", "0.0000000000009"}};
        const analysis::ClassAnalysis a =
            analysis::analyseClass(input, *analysis::readAnalysisSettings({}).settings);
        QCOMPARE(a.total->text(), "98.5000000001009");
    }

    // Names joined in one cell each keep their direction to themselves.
    void isolatedNames() {
        analysis::AnalysisInput input;
        input.rows = {{1, "1", "\u202Eab", "90"}, {2, "2", "cd", "90"}, {3, "3", "ef", "60"}};
        const analysis::AnalysisTables tables = analysis::analysisTables(
            analysis::analyseClass(input, *analysis::readAnalysisSettings({}).settings));
        const auto highest =
            std::find_if(tables.figures.rows.begin(), tables.figures.rows.end(),
                         [](const auto &row) { return row[0].text == QStringLiteral("最高分"); });
        QVERIFY(highest != tables.figures.rows.end());
        QCOMPARE((*highest)[2].text, QString::fromUtf16(u"\u2068\u202Eab\u2069、\u2068cd\u2069"));
        QCOMPARE(analysis::displayWidth((*highest)[2].text), 6);
    }

    // Each header field on one line of its own, a long one cut with "…".
    void pdfHeaderFields() {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        const Run run =
            shell(dir.path(), "\"$0\" \"$1\" --class-size 30 --school \"$(printf "
                              "'一中\\n二行')\" --class-name \"$(printf '%.0s长名' "
                              "$(seq 60))\" --subject 数学 --export h.pdf >/dev/null && " +
                                  pdftotext + " -l 1 -layout h.pdf -");
        QCOMPARE(run.status, 0);
        const QString line =
            run.out.split(u'\n').filter(QStringLiteral("学校：")).value(0).simplified();
        QVERIFY2(line.startsWith("学校：一中 二行 班级：长名长名") && line.contains("…") &&
                     line.endsWith("科目：数学"),
                 qPrintable(line));
    }
};

QTEST_GUILESS_MAIN(TestSafety)
#include "tst_safety.moc"
