#include "cli/progresscommand.h"

#include "analysis/export/analysisexport.h"
#include "analysis/export/csvexport.h"
#include "analysis/export/safefile.h"
#include "analysis/progress/progresstables.h"
#include "analysis/texts/messages.h"
#include "cli/analysistext.h"
#include "cli/settingsoption.h"

#include <QJsonArray>
#include <QJsonObject>

namespace report {

namespace {

using namespace analysis;

struct ProgressOptions {
    std::vector<std::vector<ClassSource>> exams;
    QStringList examNames;
    ExamColumns columns;
    std::optional<QString> sheet, exportPath, fullMarks;
    QStringList totals;
    AnalysisSettingsTexts settings;
    QString steady = QStringLiteral("5");
    bool json = false;
};

QString *optionField(const QString &name, ProgressOptions &o) {
    if (QString *field = settingsOption(name, o.settings)) return field;
    const std::pair<const char *, QString *> plain[] = {
        {"--first-row", &o.columns.firstRow},
        {"--number-column", &o.columns.numberColumn},
        {"--name-column", &o.columns.nameColumn},
        {"--steady", &o.steady}};
    for (const auto &[option, field] : plain)
        if (name == QLatin1String(option)) return field;
    const std::pair<const char *, std::optional<QString> *> optional[] = {
        {"--class-column", &o.columns.classColumn},
        {"--sheet", &o.sheet},
        {"--full-marks-of", &o.fullMarks},
        {"--export", &o.exportPath}};
    for (const auto &[option, field] : optional)
        if (name == QLatin1String(option)) return &field->emplace();
    if (name == QLatin1String("--total")) return &o.totals.emplace_back();
    return nullptr;
}

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
        if (argument == QLatin1String("--progress") || argument == QLatin1String("--json")) {
            o->json = o->json || argument == QLatin1String("--json");
        } else if (inList || !argument.startsWith(QLatin1String("--"))) {
            if (const auto error = addSource(argument, *o, inList)) return error;
        } else {
            const qsizetype equals = argument.indexOf(u'=');
            const QString name = equals >= 0 ? argument.left(equals) : argument;
            if (name == QLatin1String("--score-columns")) o->columns.scoreColumns.clear();
            QString *field = optionField(name, *o);
            if (!field && name != QLatin1String("--score-columns"))
                return QStringLiteral("无法识别的选项：%1").arg(name);
            if (equals < 0 && ++i >= arguments.size())
                return QStringLiteral("选项%1需要一个值").arg(name);
            const QString value = equals >= 0 ? argument.mid(equals + 1) : arguments[i];
            if (field)
                *field = value;
            else
                o->columns.scoreColumns = value.split(u',', Qt::SkipEmptyParts);
        }
    }
    if (inList) return QStringLiteral("方括号没有闭合");
    if (o->exams.size() < 2) return QStringLiteral("至少需要两次考试：上次和本次");
    return std::nullopt;
}

Output usageError(const QString &why) {
    return {ExitUsage,
            {},
            QStringLiteral("score-report：%1\n用法：score-report --progress 上次 本次 [选项…]，"
                           "每次考试一个来源或用方括号括起的几个来源；"
                           "score-report --help 列出全部选项。\n")
                .arg(why)};
}

Output failure(const ProgressOptions &o, const QString &message) {
    if (o.json) return {ExitFailure, jsonText({{"error", QJsonObject{{"message", message}}}}), {}};
    return {ExitFailure, {}, message + u'\n'};
}

// --full-marks-of 语文=150,… and --total NAME=A+B+…; an error text or nothing.
std::optional<QString> readSubjects(const ProgressOptions &o, ExamRequest &request) {
    for (const QString &part : o.fullMarks.value_or(QString()).split(u',', Qt::SkipEmptyParts)) {
        const qsizetype equals = part.indexOf(u'=');
        const std::optional<SignedDecimal> value =
            equals > 0 ? readPlainDecimal(part.mid(equals + 1)) : std::nullopt;
        if (!value || value->negative || value->magnitude.isZero())
            return QStringLiteral("满分设置有误：%1，应写作 科目=满分").arg(part);
        request.fullMarks.push_back({part.left(equals).trimmed(), value->magnitude});
    }
    for (const QString &total : o.totals) {
        const qsizetype equals = total.indexOf(u'=');
        if (equals <= 0)
            return QStringLiteral("总分设置有误：%1，应写作 名称=科目+科目").arg(total);
        request.totals.push_back(
            {total.left(equals).trimmed(), total.mid(equals + 1).split(u'+', Qt::SkipEmptyParts)});
    }
    return std::nullopt;
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

QString writeCsv(const ProgressTables &t, const QString &path, const QStringList &sources) {
    return writeFileSafely(path, sources, [&](QByteArray *bytes) {
        *bytes = tablesCsv(
            {&t.match, &t.conflicts, &t.onlyThis, &t.onlyLast, &t.changes, &t.classes, &t.history});
        bytes->insert(3, (teachersOnly() + QStringLiteral("\r\n\r\n")).toUtf8());
        return QString();
    });
}

} // namespace

bool isProgress(const QStringList &arguments) {
    return arguments.contains(QLatin1String("--progress"));
}

Output runProgress(const QStringList &arguments) {
    ProgressOptions o;
    if (const auto error = parse(arguments, &o)) return usageError(*error);
    const AnalysisSettingsOutcome settings = readAnalysisSettings(o.settings);
    if (!settings.settings) return failure(o, settings.message);
    const std::optional<SignedDecimal> steady = readPlainDecimal(o.steady);
    if (!steady || steady->negative || steady->magnitude > Decimal::whole(100))
        return failure(o, QStringLiteral("稳定范围输入有误，请输入0到100之间的百分数！"));
    if (o.exportPath && !o.exportPath->endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return failure(o,
                       QStringLiteral("导出文件名有误：%1，请以 .csv 结尾！").arg(*o.exportPath));
    std::vector<ExamRequest> requests(o.exams.size());
    std::vector<ExamAnalysis> exams;
    QStringList sourcePaths;
    for (std::size_t e = 0; e < o.exams.size(); ++e) {
        ExamRequest &request = requests[e];
        request.sources = expandFolders(o.exams[e]);
        for (ClassSource &source : request.sources) {
            if (source.kind == ClassSource::Kind::File && source.sheet.isEmpty())
                source.sheet = o.sheet.value_or(QString());
            sourcePaths << source.path;
        }
        request.columns = o.columns;
        request.settings = *settings.settings;
        if (const auto error = readSubjects(o, request)) return failure(o, *error);
        ExamOutcome outcome = analyseExam(request);
        if (!outcome.exam) return failure(o, outcome.message);
        if (outcome.exam->students.empty())
            return failure(o,
                           QStringLiteral("考试“%1”没有读到学生").arg(o.examNames[qsizetype(e)]));
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
    if (o.exportPath)
        if (const QString failed = writeCsv(tables, *o.exportPath, sourcePaths); !failed.isEmpty())
            return failure(o, failed);
    if (o.json) return {ExitOk, jsonText(progressJson(report, exams.back())), {}};
    return {ExitOk, plainText(tables), {}};
}

} // namespace report
