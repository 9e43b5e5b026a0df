// The layout detection: header words, header rows over made-up sheets, and
// every workbook fixture against its row of layouts.json.
#include "analysis/layout/headerwords.h"
#include "analysis/layout/layoutjson.h"
#include "analysis/layout/sheetlayout.h"
#include "workbook/importerrors.h"
#include "workbook/open/openworkbook.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using analysis::HeaderKind;

namespace {

// A sheet given as rows of cells separated by '|'; cells past them are empty.
class RowsWorkbook : public analysis::Workbook {
public:
    explicit RowsWorkbook(QList<QStringList> sheets) : m_sheets(std::move(sheets)) {}
    QStringList sheetNames() const override {
        QStringList names;
        for (int i = 0; i < m_sheets.size(); ++i)
            names << QStringLiteral("表%1").arg(i + 1);
        return names;
    }
    int sheetIndex(const QString &) const override { return -1; }
    int cellText(int sheet, int row, int column, QString *text) override {
        ++reads;
        const QStringList &rows = m_sheets[sheet];
        *text = row <= rows.size() ? rows[row - 1].split(u'|').value(column - 1) : QString();
        return analysis::NoError;
    }
    int readRows(int, int, const std::vector<int> &, std::vector<analysis::SheetRow> *) override {
        return analysis::CannotOpen;
    }
    int reads = 0;

private:
    QList<QStringList> m_sheets;
};

QString columnsText(const analysis::SheetLayout &layout) {
    QStringList parts;
    for (const auto *column : {&layout.number, &layout.name, &layout.className})
        parts << QString::number(column->column);
    QStringList scores;
    for (const analysis::LayoutColumn &score : layout.scores)
        scores << QStringLiteral("%1:%2").arg(score.column).arg(score.header);
    parts << scores.join(u',') << QString::number(layout.total.column)
          << QString::number(layout.rank.column);
    return parts.join(u' ');
}

QJsonValue columnPair(const QJsonValue &column) {
    if (column.isNull()) return QJsonValue::Null;
    return QJsonArray{column[QLatin1String("column")], column[QLatin1String("header")]};
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void headerWords_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<HeaderKind>("kind");
        QTest::newRow("number") << "学号" << HeaderKind::Number;
        QTest::newRow("exam number") << "准考证号" << HeaderKind::Number;
        QTest::newRow("spaced name") << "姓\u3000名" << HeaderKind::Name;
        QTest::newRow("no-break") << "\u00a0姓名 " << HeaderKind::Name;
        QTest::newRow("class") << "班级" << HeaderKind::Class;
        QTest::newRow("class alone") << "班" << HeaderKind::Class;
        QTest::newRow("suffix") << "语文成绩" << HeaderKind::Subject;
        QTest::newRow("full width marks") << "数学（150）" << HeaderKind::Subject;
        QTest::newRow("half width marks") << "数学(150)" << HeaderKind::Subject;
        QTest::newRow("civics") << "道德与法治" << HeaderKind::Subject;
        QTest::newRow("short form") << "语" << HeaderKind::Subject;
        QTest::newRow("letter inside a word") << "语言" << HeaderKind::None;
        QTest::newRow("score") << "分数" << HeaderKind::Score;
        QTest::newRow("total") << "总分" << HeaderKind::Total;
        QTest::newRow("total rank") << "总分排名" << HeaderKind::Rank;
        QTest::newRow("class rank") << "班级名次" << HeaderKind::Rank;
        QTest::newRow("subject rank") << "语文名次" << HeaderKind::None;
        QTest::newRow("grade letter") << "英语等级" << HeaderKind::None;
        QTest::newRow("label") << "班级：初二（3）班" << HeaderKind::None;
        QTest::newRow("title") << "期中考试成绩表" << HeaderKind::None;
        QTest::newRow("long table subject") << "考试科目" << HeaderKind::Course;
        QTest::newRow("course name") << "课程名称" << HeaderKind::Course;
        QTest::newRow("course code") << "课程号" << HeaderKind::None;
        QTest::newRow("course kind") << "课程性质" << HeaderKind::None;
        QTest::newRow("course score") << "课程成绩" << HeaderKind::Score;
        QTest::newRow("long") << "初二（3）班2026学年第一学期期中考试成绩" << HeaderKind::None;
        QTest::newRow("empty") << "" << HeaderKind::None;
    }
    void headerWords() {
        QFETCH(QString, text);
        QFETCH(HeaderKind, kind);
        QCOMPARE(analysis::headerKind(text), kind);
    }

    void blanked_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("blanked");
        QTest::newRow("line break") << "语文\n成绩"
                                    << "语文 成绩";
        QTest::newRow("every space") << " \u3000学\u00a0\t号\r\n"
                                     << "学 号";
        QTest::newRow("kept") << "数学（150）"
                              << "数学（150）";
    }
    void blanked() {
        QFETCH(QString, text);
        QFETCH(QString, blanked);
        QCOMPARE(analysis::blankedText(text), blanked);
    }

    // columns: number name class, then scores column:header, total, rank.
    void sheets_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("headerRow");
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<int>("lastRow");
        QTest::addColumn<QString>("columns");
        const QString student = QStringLiteral("2026001|张三|88");
        QTest::newRow("plain") << QStringList{"学号|姓名|成绩", student, "2026002|李四|90"} << 1
                               << 2 << 3 << "1 2 0 3:成绩 0 0";
        QTest::newRow("title outvoted")
            << QStringList{"三班学号姓名成绩一览", "", "姓名|学号|数学|总分", "张三|2026001|88|88"}
            << 3 << 4 << 4 << "2 1 0 3:数学 4 0";
        QTest::newRow("label row above")
            << QStringList{"班级：三班|科目：数学|姓名：略", "学号|姓名|数学", student} << 2 << 3
            << 3 << "1 2 0 3:数学 0 0";
        QTest::newRow("footer in number column")
            << QStringList{"学号|姓名|语文", student, "平均分||88", "最高分||88"} << 1 << 2 << 2
            << "1 2 0 3:语文 0 0";
        QTest::newRow("english footer") << QStringList{"学号|姓名|语文", student, "|Average|88"}
                                        << 1 << 2 << 2 << "1 2 0 3:语文 0 0";
        QTest::newRow("footer word as a name is data")
            << QStringList{"学号|姓名|语文", "2026009|平均|70", student} << 1 << 2 << 3
            << "1 2 0 3:语文 0 0";
        QTest::newRow("empty row ends the data")
            << QStringList{"学号|姓名|语文", student, "", student} << 1 << 2 << 2
            << "1 2 0 3:语文 0 0";
        QTest::newRow("subjects grouped over parts")
            << QStringList{"||语文||数学|", "学号|姓名|分数|名次|分数|名次|总分", student} << 1 << 3
            << 3 << "1 2 0 3:语文,5:数学 7 0";
        QTest::newRow("group over subjects")
            << QStringList{"学号|姓名|班级|各科成绩|||总分|名次", "|||语文|数学|英语", student} << 1
            << 3 << 3 << "1 2 3 4:语文,5:数学,6:英语 7 8";
        QTest::newRow("header past row 20")
            << QStringList(20, QStringLiteral("说明")) + QStringList{"学号|姓名|语文", student} << 0
            << 21 << 22 << "0 2 0  0 0";
        QTest::newRow("content") << QStringList{"序号|ID|Name|Score", "1|2026001|张三|88",
                                                "2|2026002|李四|90", "3|2026003|王五|71"}
                                 << 0 << 2 << 4 << "2 3 0 4: 0 0";
    }
    void sheets() {
        QFETCH(QStringList, rows);
        RowsWorkbook workbook({rows});
        const analysis::SheetLayout layout = analysis::detectLayout(workbook, 0);
        QTEST(layout.headerRow, "headerRow");
        QTEST(layout.firstRow, "firstRow");
        QTEST(layout.lastRow, "lastRow");
        QTEST(columnsText(layout), "columns");
    }

    void firstSheetWithHeader() {
        RowsWorkbook workbook({{"本表由教务处导出"}, {"成绩表", "学号|姓名|化学"}});
        const analysis::SheetLayout layout = analysis::detectLayout(workbook);
        QCOMPARE(layout.sheetName, "表2");
        QCOMPARE(layout.notes.value(0), "在工作表“表2”第2行找到表头");
        QVERIFY(layout.completeHeader());
    }

    void guessSaysSo() {
        RowsWorkbook workbook(QList<QStringList>{{"2026001|张三|88", "2026002|李四|90"}});
        const analysis::SheetLayout layout = analysis::detectLayout(workbook);
        QVERIFY(!layout.fromHeader);
        QVERIFY(!layout.completeHeader());
        QVERIFY(layout.notes.contains("学号列按内容推断为第1列"));
        QVERIFY(layout.notes.contains("未找到班级列"));
    }

    void readsFirstRowsOnly() {
        QStringList rows{"学号|姓名|语文"};
        for (int i = 0; i < 60000; ++i)
            rows << QStringLiteral("%1|学生|80").arg(2026000 + i);
        RowsWorkbook workbook({rows});
        const analysis::SheetLayout layout = analysis::detectLayout(workbook, 0);
        QCOMPARE(layout.lastRow, 0);
        // The 32 columns every reader keeps in one scan, in 20 header rows
        // and 200 rows below the header.
        QVERIFY2(workbook.reads <= 32 * 221, qPrintable(QString::number(workbook.reads)));
    }

    void fixtures_data() {
        QFile file(QStringLiteral(SCORE_FIXTURES_DIR "/layouts.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray rows = QJsonDocument::fromJson(file.readAll())["layouts"].toArray();
        QHash<QString, QJsonObject> rowOf;
        for (const QJsonValue row : rows)
            for (const QJsonValue name : row[QLatin1String("files")].toArray())
                rowOf.insert(name.toString(), row.toObject());
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonObject>("expected");
        const QStringList endings{"*.xls", "*.xlsx", "*.xlsm", "*.ods", "*.csv",  "*.txt",
                                  "*.et",  "*.ett",  "*.zip",  "*.doc", "*.docx", "*.odt"};
        QDirIterator found(QStringLiteral(SCORE_FIXTURES_DIR), endings, QDir::Files,
                           QDirIterator::Subdirectories);
        const QDir fixtures(QStringLiteral(SCORE_FIXTURES_DIR));
        int count = 0;
        while (found.hasNext()) {
            const QString path = found.next();
            const QString name = fixtures.relativeFilePath(path);
            QTest::newRow(qPrintable(name)) << path << rowOf.value(name);
            ++count;
        }
        QVERIFY(count > 100);
    }
    void fixtures() {
        QFETCH(QString, path);
        QFETCH(QJsonObject, expected);
        QVERIFY2(!expected.isEmpty(), "no row in layouts.json");
        int error = 0;
        const std::unique_ptr<analysis::Workbook> workbook = analysis::openWorkbook(path, &error);
        analysis::SheetLayout layout;
        if (workbook) layout = analysis::detectLayout(*workbook);
        error = workbook ? layout.errorNumber : error;
        QCOMPARE(error, expected.value("error").toInt());
        if (error) return;
        QJsonObject found = analysis::layoutJson(layout);
        found.insert("sheet", layout.sheetName);
        found.insert("total", columnPair(found["total"]));
        found.insert("rank", columnPair(found["rank"]));
        QJsonArray scores;
        for (const QJsonValue score : found["scores"].toArray())
            scores.append(columnPair(score));
        found.insert("scores", scores);
        for (auto key = expected.begin(); key != expected.end(); ++key)
            if (key.key() != "about" && key.key() != "files" && key.key() != "error")
                QVERIFY2(found.value(key.key()) == key.value(),
                         qPrintable(key.key() + ": " +
                                    QJsonDocument(QJsonArray{found.value(key.key())}).toJson()));
    }
};

QTEST_GUILESS_MAIN(TestLayout)
#include "tst_layout.moc"
