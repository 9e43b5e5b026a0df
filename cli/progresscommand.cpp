#include "cli/progresscommand.h"

#include "analysis/progress/progressexport.h"
#include "analysis/progress/progresspdf.h"
#include "analysis/progress/progresstables.h"
#include "analysis/texts/messages.h"
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

QJsonValue rankValue(int rank) {
    return rank > 0 ? QJsonValue(rank) : QJsonValue();
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

QJsonObject changeJson(const ProgressChange &c) {
    const auto exact = [](const std::optional<Decimal> &d) {
        return d ? QJsonValue(d->toDouble()) : QJsonValue();
    };
    QJsonValue change;
    if (c.scoreChange)
        change = (c.scoreChange->negative ? -1 : 1) * c.scoreChange->magnitude.toDouble();
    return {{"last", exact(c.last)},
            {"this", exact(c.current)},
            {"scoreChange", change},
            {"lastGradeRank", rankValue(c.lastGradeRank)},
            {"thisGradeRank", rankValue(c.thisGradeRank)},
            {"rankChange", c.rankChange ? QJsonValue(*c.rankChange) : QJsonValue()},
            {"lastClassRank", rankValue(c.lastClassRank)},
            {"thisClassRank", rankValue(c.thisClassRank)},
            {"tChange", optionalNumber(c.tChange)},
            {"percentileChange", optionalNumber(c.percentileChange)}};
}

QJsonObject progressJson(const ProgressReport &r, const ExamAnalysis &current) {
    QJsonArray students, classes;
    for (int i : current.order) {
        const ProgressStudent &s = r.students[std::size_t(i)];
        const MatchStudent &m = r.thisStudents[std::size_t(i)];
        QJsonObject changes;
        for (std::size_t k = 0; k < s.changes.size(); ++k)
            changes.insert(r.items[k].name, changeJson(s.changes[k]));
        const QString trend = trendKey(s.trend);
        students << QJsonObject{{"class", m.className},
                                {"number", m.number},
                                {"name", m.name},
                                {"matchedBy", s.matchedBy == MatchedBy::Number
                                                  ? QJsonValue("number")
                                              : s.matchedBy == MatchedBy::Name ? QJsonValue("name")
                                                                               : QJsonValue()},
                                {"changes", changes},
                                {"trend", trend.isEmpty() ? QJsonValue() : trend}};
    }
    for (const ProgressClass &c : r.classes)
        classes << QJsonObject{{"name", c.name},
                               {"up", c.up},
                               {"down", c.down},
                               {"steady", c.steady},
                               {"meanRankChange", optionalNumber(c.meanRankChange)}};
    return {{"match", matchJson(r)},
            {"students", students},
            {"classes", classes},
            {"notes", QJsonArray::fromStringList(r.notes)},
            {"rules", QJsonArray::fromStringList(progressRules(r))}};
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

Output runProgress(const QStringList &arguments) {
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
    std::vector<ExamAnalysis> exams;
    QStringList sourcePaths;
    for (std::size_t e = 0; e < o.exams.size(); ++e) {
        ExamCommandOptions options = o.common;
        options.sources = o.exams[e];
        std::variant<ExamRequest, QString> asked = analysis::readExamRequest(options);
        if (const QString *message = std::get_if<QString>(&asked)) return failure(o, *message);
        ExamRequest &request = requests[e] = std::get<ExamRequest>(std::move(asked));
        for (const ClassSource &source : request.sources)
            sourcePaths << source.path;
        ExamOutcome outcome = analyseExam(request);
        if (!outcome.exam) return failure(o, outcome.message);
        if (outcome.exam->students.empty())
            return failure(o, messages::progressNoStudents(o.examNames[qsizetype(e)]));
        exams.push_back(std::move(*outcome.exam));
    }
    std::vector<const ExamAnalysis *> examPointers;
    std::vector<const ExamRequest *> requestPointers;
    for (std::size_t e = 0; e < exams.size(); ++e) {
        examPointers.push_back(&exams[e]);
        requestPointers.push_back(&requests[e]);
    }
    const ProgressReport report =
        compareExams(examPointers, requestPointers, o.examNames, steady->magnitude.toDouble());
    const ProgressTables tables = progressTables(report, exams.back());
    if (o.common.exportPath)
        if (const QString failed = exportProgress(tables, *o.common.exportPath, sourcePaths);
            !failed.isEmpty())
            return failure(o, failed);
    if (o.json) return {ExitOk, jsonText(progressJson(report, exams.back())), {}};
    return {ExitOk, plainText(tables), {}};
}

} // namespace report
