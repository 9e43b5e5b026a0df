#include "cli/progresscommand.h"

#include "analysis/export/jsonlist.h"
#include "analysis/grade/sourcereading.h"
#include "analysis/progress/progressexport.h"
#include "analysis/progress/progresspdf.h"
#include "analysis/progress/progresstables.h"
#include "analysis/texts/messages.h"
#include "analysis/texts/wellformed.h"
#include "cli/analysistext.h"
#include "cli/examcommand.h"
#include "cli/examexport.h"
#include "cli/pdfmodule.h"

#include <QJsonArray>
#include <QJsonObject>

namespace report {

namespace {

using namespace analysis;

struct ProgressOptions {
    std::vector<std::vector<ClassSource>> exams;
    QStringList examNames;
    report::ExamCommandOptions common; // the whole-exam options, for every exam
    QString steady = QStringLiteral("5");
    bool json = false;
};

// One source, or the start or end of a bracketed list of them.
std::optional<QString> addSource(QString text, ProgressOptions &o, bool &inList) {
    const bool opens = text.startsWith(u'['), closes = text.endsWith(u']');
    if (opens) text.remove(0, 1);
    if (closes) text.chop(1);
    if (opens) {
        if (inList) return QStringLiteral("方括号内不能再有方括号");
        inList = true;
        o.exams.emplace_back();
        o.examNames << QString();
    } else if (!inList) {
        o.exams.emplace_back();
        o.examNames << QString();
    }
    if (!text.isEmpty()) {
        const std::optional<ClassSource> source = parseClassSource(text);
        if (!source) return messages::sourceInvalid(text);
        o.exams.back().push_back(*source);
        QString &name = o.examNames.back();
        name += (name.isEmpty() ? QString() : QStringLiteral("、")) + text;
    }
    if (closes) inList = false;
    return std::nullopt;
}

std::optional<QString> parse(const QStringList &arguments, ProgressOptions *o) {
    bool inList = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        QString error;
        if (argument == QLatin1String("--progress") || argument == QLatin1String("--json")) {
            o->json = o->json || argument == QLatin1String("--json");
        } else if (inList || !argument.startsWith(QLatin1String("--"))) {
            if (const auto failed = addSource(argument, *o, inList)) return failed;
        } else if (argument.section(u'=', 0, 0) == QLatin1String("--steady")) {
            const bool joined = argument.contains(u'=');
            if (!joined && ++i >= arguments.size()) return QStringLiteral("选项--steady需要一个值");
            o->steady = joined ? argument.section(u'=', 1) : arguments[i];
        } else if (!readExamOption(arguments, i, o->common, &error)) {
            return QStringLiteral("无法识别的选项：%1").arg(argument.section(u'=', 0, 0));
        } else if (!error.isEmpty()) {
            return error;
        }
    }
    if (inList) return QStringLiteral("方括号没有闭合");
    if (o->exams.size() < 2) return QStringLiteral("至少需要两次考试：上次和本次");
    if (o->common.columnsMode && *o->common.columnsMode != u"auto")
        return QStringLiteral("选项--columns只能是auto");
    return std::nullopt;
}

Output failure(const ProgressOptions &o, const QString &message) {
    if (o.json) return {ExitFailure, jsonText({{"error", QJsonObject{{"message", message}}}}), {}};
    return {ExitFailure, {}, message + u'\n'};
}

QJsonValue optionalNumber(const std::optional<double> &value) {
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonObject studentJson(const MatchStudent &s, bool thisExam) {
    return {{"exam", thisExam ? "this" : "last"},
            {"class", s.className},
            {"number", s.number},
            {"name", s.name},
            {"source", s.source},
            {"row", s.row}};
}

QJsonObject matchJson(const ProgressReport &r) {
    QJsonArray onlyThis, onlyLast, conflicts;
    for (int i : r.match.onlyThis)
        onlyThis << studentJson(r.thisStudents[std::size_t(i)], true);
    for (int i : r.match.onlyLast)
        onlyLast << studentJson(r.lastStudents[std::size_t(i)], false);
    for (const MatchConflict &c : r.match.conflicts) {
        QJsonArray rows;
        for (const ConflictRow &row : c.rows)
            rows << studentJson(
                (row.thisExam ? r.thisStudents : r.lastStudents)[std::size_t(row.student)],
                row.thisExam);
        conflicts << QJsonObject{{"kind", conflictKey(c.kind)},
                                 {"number", c.number.isEmpty() ? QJsonValue() : c.number},
                                 {"names", QJsonArray::fromStringList(c.names)},
                                 {"rows", rows}};
    }
    return {{"byNumber", r.match.byNumber},
            {"byName", r.match.byName},
            {"onlyThis", onlyThis},
            {"onlyLast", onlyLast},
            {"conflicts", conflicts}};
}

// A student's changes written by hand, a student at a time: the list of a
// district is too long to be held as one tree of JSON values.
class ChangeWriter {
public:
    explicit ChangeWriter(const ProgressReport &r) {
        for (const ProgressItem &item : r.items) {
            QByteArray key;
            appendJsonString(key, item.name);
            m_items.push_back(key + ':');
        }
    }
    void write(const ProgressStudent &s, const MatchStudent &m, JsonText &out) const;

private:
    static void change(const ProgressChange &c, JsonText &out);
    std::vector<QByteArray> m_items;
};

void ChangeWriter::change(const ProgressChange &c, JsonText &out) {
    const auto exact = [](const std::optional<Decimal> &d) {
        return d ? std::optional<double>(d->toDouble()) : std::nullopt;
    };
    const auto rank = [](int r) { return r > 0 ? std::optional<double>(r) : std::nullopt; };
    std::optional<double> scoreChange;
    if (c.scoreChange)
        scoreChange = (c.scoreChange->negative ? -1 : 1) * c.scoreChange->magnitude.toDouble();
    const std::pair<const char *, std::optional<double>> fields[] = {
        {"last", exact(c.last)},
        {"this", exact(c.current)},
        {"scoreChange", scoreChange},
        {"lastGradeRank", rank(c.lastGradeRank)},
        {"thisGradeRank", rank(c.thisGradeRank)},
        {"rankChange", c.rankChange ? std::optional<double>(*c.rankChange) : std::nullopt},
        {"lastClassRank", rank(c.lastClassRank)},
        {"thisClassRank", rank(c.thisClassRank)},
        {"tChange", c.tChange},
        {"percentileChange", c.percentileChange}};
    out += '{';
    for (std::size_t f = 0; f < std::size(fields); ++f) {
        out += f ? ",\"" : "\"";
        out += fields[f].first;
        out += "\":";
        appendJsonNumber(out, fields[f].second);
    }
    out += '}';
}

void ChangeWriter::write(const ProgressStudent &s, const MatchStudent &m, JsonText &out) const {
    appendJsonStudent(out, m.className, m.number, m.name);
    out += ",\"matchedBy\":";
    out += s.matchedBy == MatchedBy::Number ? "\"number\""
           : s.matchedBy == MatchedBy::Name ? "\"name\""
                                            : "null";
    out += ",\"changes\":{";
    for (std::size_t k = 0; k < s.changes.size() && k < m_items.size(); ++k) {
        if (k) out += ',';
        out += m_items[k];
        change(s.changes[k], out);
    }
    out += "},\"trend\":";
    const QString trend = trendKey(s.trend);
    if (trend.isEmpty())
        out += "null";
    else
        appendJsonString(out, trend);
    out += '}';
}

void writeProgressJson(const ProgressReport &r, const ExamAnalysis &current,
                       const JsonPieces &write) {
    QJsonArray classes;
    for (const ProgressClass &c : r.classes)
        classes << QJsonObject{{"name", c.name},
                               {"up", c.up},
                               {"down", c.down},
                               {"steady", c.steady},
                               {"meanRankChange", optionalNumber(c.meanRankChange)}};
    const QJsonObject head{{"match", matchJson(r)},
                           {"classes", classes},
                           {"notes", QJsonArray::fromStringList(r.notes)},
                           {"rules", QJsonArray::fromStringList(progressRules(r))}};
    const ChangeWriter writer(r);
    writeJsonWithList(
        head, "students", current.order.size(),
        [&](std::size_t k, JsonText &out) {
            const std::size_t i = std::size_t(current.order[k]);
            writer.write(r.students[i], r.thisStudents[i], out);
        },
        write);
}

QString plainText(const ProgressTables &t) {
    QStringList parts{teachersOnly() + u'\n'};
    for (const Table *table :
         {&t.match, &t.conflicts, &t.onlyThis, &t.onlyLast, &t.changes, &t.classes, &t.history})
        if (table == &t.match || !table->rows.empty()) parts << tableText(*table);
    if (!t.notes.isEmpty()) parts << QStringLiteral("说明\n") + t.notes.join(u'\n') + u'\n';
    parts << QStringLiteral("口径说明\n") + t.rules.join(u'\n') + u'\n';
    return parts.join(u'\n');
}

// A PDF through the PDF module, loaded only now; .xlsx and .csv here.
QString exportProgress(const ProgressTables &t, const QString &path, const QStringList &sources) {
    if (!isPdfName(path)) return exportProgressTables(t, path, sources);
    return writePdf(WriteProgressPdfSymbol, ProgressPdfRequest{&t, {}, path, sources});
}

} // namespace

bool isProgress(const QStringList &arguments) {
    return arguments.contains(QLatin1String("--progress"));
}

Output runProgress(const QStringList &arguments, const OutputStream &stream) {
    ProgressOptions o;
    if (const auto error = parse(arguments, &o))
        return usageFailure(*error,
                            QStringLiteral("用法：score-report --progress 上次 本次 [选项…]，"
                                           "每次考试一个来源或用方括号括起的几个来源；"
                                           "score-report --help 列出全部选项。\n"));
    const std::optional<SignedDecimal> steady = readPlainDecimal(o.steady);
    if (!steady || steady->negative || steady->magnitude > Decimal::whole(100))
        return failure(o, QStringLiteral("稳定范围输入有误，请输入0到100之间的百分数！"));
    if (o.common.exportPath && !isExamExportName(*o.common.exportPath))
        return failure(o, messages::exportNameInvalid(*o.common.exportPath));
    std::vector<ExamRequest> requests(o.exams.size());
    QStringList sourcePaths;
    for (std::size_t e = 0; e < o.exams.size(); ++e) {
        ExamCommandOptions options = o.common;
        options.sources = o.exams[e];
        std::variant<ExamRequest, QString> asked = analysis::readExamRequest(options);
        if (const QString *message = std::get_if<QString>(&asked)) return failure(o, *message);
        requests[e] = std::get<ExamRequest>(std::move(asked));
        for (const ClassSource &source : requests[e].sources)
            sourcePaths << source.path;
    }
    // Exams of one source each are read side by side, a core each; exams of
    // many sources one after the other, each on every core, so that only one
    // exam's sheets are held as read at a time.
    const bool single = std::all_of(requests.begin(), requests.end(),
                                    [](const ExamRequest &r) { return r.sources.size() == 1; });
    std::vector<ExamOutcome> outcomes(requests.size());
    runOnThreads(requests.size(), single ? 0 : 1, [&]() -> IndexWork {
        return [&](std::size_t e) { outcomes[e] = analyseExam(requests[e]); };
    });
    std::vector<ExamAnalysis> exams;
    for (std::size_t e = 0; e < outcomes.size(); ++e) {
        if (!outcomes[e].exam) return failure(o, outcomes[e].message);
        if (outcomes[e].exam->students.empty())
            return failure(o, messages::progressNoStudents(o.examNames[qsizetype(e)]));
        exams.push_back(std::move(*outcomes[e].exam));
    }
    outcomes = {};
    std::vector<const ExamAnalysis *> examPointers;
    std::vector<const ExamRequest *> requestPointers;
    for (std::size_t e = 0; e < exams.size(); ++e) {
        examPointers.push_back(&exams[e]);
        requestPointers.push_back(&requests[e]);
    }
    const ProgressReport report =
        compareExams(examPointers, requestPointers, o.examNames, steady->magnitude.toDouble());
    // The tables only for what shows them: a district's JSON needs none.
    std::optional<ProgressTables> tables;
    if (o.common.exportPath || !o.json) tables = progressTables(report, exams.back());
    if (o.common.exportPath)
        if (const QString failed = exportProgress(*tables, *o.common.exportPath, sourcePaths);
            !failed.isEmpty())
            return failure(o, failed);
    if (!o.json) return {ExitOk, plainText(*tables), {}};
    if (stream) {
        writeProgressJson(report, exams.back(), stream);
        stream(QByteArrayLiteral("\n"));
        return {ExitOk, {}, {}};
    }
    QByteArray whole;
    writeProgressJson(report, exams.back(), [&](const QByteArray &piece) { whole += piece; });
    return {ExitOk, QString::fromUtf8(whole) + u'\n', {}};
}

} // namespace report
