#include "cli/examcommand.h"

#include "analysis/exam/examjson.h"
#include "analysis/exam/examtables.h"
#include "analysis/grade/gradejson.h"
#include "analysis/texts/exammessages.h"
#include "analysis/texts/messages.h"
#include "analysis/texts/spaces.h"
#include "cli/analysistext.h"
#include "cli/examexport.h"
#include "cli/settingsoption.h"

#include <QJsonArray>
#include <QJsonObject>

namespace report {

namespace {

using analysis::Decimal;

// The options that take a value, stored as typed; a list option adds to its list.
QString *optionField(const QString &name, ExamCommandOptions &o) {
    if (name == u"--full-marks") return &o.fullMarks.emplace();
    if (QString *field = settingsOption(name, o.settings)) return field;
    const std::pair<const char *, QString *> plain[] = {
        {"--first-row", &o.columns.firstRow},
        {"--number-column", &o.columns.numberColumn},
        {"--name-column", &o.columns.nameColumn}};
    for (const auto &[option, field] : plain)
        if (name == QLatin1String(option)) return field;
    const std::pair<const char *, std::optional<QString> *> optional[] = {
        {"--class-column", &o.columns.classColumn},
        {"--sheet", &o.sheet},
        {"--margin", &o.margin},
        {"--export", &o.exportPath},
        {"--columns", &o.columnsMode}};
    for (const auto &[option, field] : optional)
        if (name == QLatin1String(option)) return &field->emplace();
    const std::pair<const char *, QStringList *> lists[] = {
        {"--score-columns", &o.columns.scoreColumns},
        {"--full-marks-of", &o.fullMarksOf},
        {"--total", &o.totals}};
    for (const auto &[option, list] : lists)
        if (name == QLatin1String(option)) return &list->emplace_back();
    return nullptr;
}

std::optional<QString> parse(const QStringList &arguments, ExamCommandOptions *options) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString error;
        if (!readExamOption(arguments, i, *options, &error))
            return QStringLiteral("无法识别的选项：%1").arg(arguments[i].section(u'=', 0, 0));
        if (!error.isEmpty()) return error;
    }
    if (options->sources.empty()) return QStringLiteral("没有给出要分析的成绩表");
    if (options->columnsMode && *options->columnsMode != u"auto")
        return QStringLiteral("选项--columns只能是auto");
    return std::nullopt;
}

// A setting number: plain, from `low` to 1000, at most two decimals.
std::optional<Decimal> settingNumber(const QString &text, const Decimal &low) {
    const std::optional<analysis::SignedDecimal> number =
        analysis::readPlainDecimal(analysis::trimWideSpaces(text));
    if (!number || number->negative || number->magnitude.fractionDigits() > 2 ||
        number->magnitude < low || number->magnitude > Decimal::whole(1000))
        return std::nullopt;
    return number->magnitude;
}

// "语文=150,数学=150" (each option may hold several, split by commas).
std::optional<QString> readFullMarks(const QStringList &items, analysis::ExamRequest &request) {
    for (const QString &option : items)
        for (const QString &item : option.split(u',', Qt::SkipEmptyParts)) {
            const qsizetype equals = item.lastIndexOf(u'=');
            const std::optional<Decimal> marks =
                equals > 0 ? settingNumber(item.mid(equals + 1), Decimal::whole(1)) : std::nullopt;
            if (!marks) return analysis::messages::examFullMarksInvalid(item);
            request.fullMarks.push_back({analysis::trimWideSpaces(item.left(equals)), *marks});
        }
    return std::nullopt;
}

// "语数英=语文+数学+英语".
std::optional<QString> readTotals(const QStringList &items, analysis::ExamRequest &request) {
    for (const QString &item : items) {
        const qsizetype equals = item.indexOf(u'=');
        analysis::TotalRequest total{analysis::trimWideSpaces(item.left(equals)), {}};
        for (const QString &name : item.mid(equals + 1).split(u'+'))
            total.subjects << analysis::trimWideSpaces(name);
        if (equals <= 0 || total.name.isEmpty() || total.subjects.contains(QString()))
            return analysis::messages::examTotalInvalid(item);
        request.totals.push_back(std::move(total));
    }
    return std::nullopt;
}

std::optional<QString> readMargin(const std::optional<QString> &text,
                                  analysis::ExamRequest &request) {
    if (!text) return std::nullopt;
    const QString trimmed = analysis::trimWideSpaces(*text);
    const bool share = trimmed.endsWith(u'%') || trimmed.endsWith(u'％');
    const std::optional<Decimal> value =
        settingNumber(share ? trimmed.chopped(1) : trimmed, Decimal::whole(0));
    if (!value || (share && *value > Decimal::whole(100)))
        return analysis::messages::examMarginInvalid();
    request.margin =
        share ? analysis::ScoreLine{Decimal(), value} : analysis::ScoreLine{*value, {}};
    return std::nullopt;
}

Output failure(const ExamCommandOptions &options, const QString &message,
               const analysis::ExamAnalysis *exam = nullptr) {
    if (options.json) {
        QJsonObject root{{"error", QJsonObject{{"message", message}}}};
        if (exam) root.insert("failures", analysis::gradeFailuresJson(exam->failures));
        return {ExitFailure, jsonText(root), {}};
    }
    QString text;
    if (exam && !exam->failures.empty())
        text = tableText(analysis::examTables(*exam).failures) + u'\n';
    return {ExitFailure, {}, text + message + u'\n'};
}

QString plainOutput(const analysis::ExamAnalysis &exam, const ExamCommandOptions &options) {
    const analysis::ExamTables tables = analysis::examTables(exam);
    QStringList parts;
    for (const analysis::Table *table : {&tables.subjects, &tables.classes, &tables.rates,
                                         &tables.scores, &tables.weak, &tables.borderline}) {
        QString text = tableText(*table);
        if (analysis::listsStudents(tables, *table))
            text.insert(text.indexOf(u'\n') + 1, analysis::teachersOnlyLine() + u'\n');
        parts << text;
    }
    if (!tables.failures.rows.empty()) parts << tableText(tables.failures);
    if (!tables.notes.isEmpty())
        parts << QStringLiteral("说明\n") + tables.notes.join(u'\n') + u'\n';
    parts << QStringLiteral("口径说明\n") + tables.rules.join(u'\n') + u'\n';
    if (options.exportPath)
        parts << QStringLiteral("考试分析已导出到：%1\n").arg(*options.exportPath);
    return parts.join(u'\n');
}

} // namespace

bool readExamOption(const QStringList &arguments, qsizetype &i, ExamCommandOptions &options,
                    QString *error) {
    const QString &argument = arguments[i];
    if (!argument.startsWith(QLatin1String("--"))) {
        const std::optional<analysis::ClassSource> source = analysis::parseClassSource(argument);
        if (!source)
            *error = analysis::messages::sourceInvalid(argument);
        else
            options.sources.push_back(*source);
        return true;
    }
    if (argument == u"--subjects" || argument == u"--json") {
        options.json = options.json || argument == u"--json";
        return true;
    }
    const qsizetype equals = argument.indexOf(u'=');
    const QString name = equals >= 0 ? argument.left(equals) : argument;
    QString *field = optionField(name, options);
    if (!field) return false;
    if (equals < 0 && i + 1 >= arguments.size()) {
        *error = QStringLiteral("选项%1需要一个值").arg(name);
        return true;
    }
    *field = equals >= 0 ? argument.mid(equals + 1) : arguments[++i];
    return true;
}

std::variant<analysis::ExamRequest, QString> examRequest(const ExamCommandOptions &options) {
    analysis::ExamRequest request;
    analysis::AnalysisSettingsTexts texts = options.settings;
    // Lines given as shares are checked against any full marks; a plain line
    // only against the largest, each subject's own taking their place.
    texts.fullMarks = options.fullMarks.value_or(QStringLiteral("1000"));
    const analysis::AnalysisSettingsOutcome settings = analysis::readAnalysisSettings(texts);
    if (!settings.settings) return settings.message;
    request.settings = *settings.settings;
    if (options.fullMarks) request.everyFullMarks = settings.settings->fullMarks;
    if (auto e = readFullMarks(options.fullMarksOf, request)) return *e;
    if (auto e = readTotals(options.totals, request)) return *e;
    if (auto e = readMargin(options.margin, request)) return *e;
    QStringList columns;
    for (const QString &item : options.columns.scoreColumns)
        columns << item.split(u',', Qt::SkipEmptyParts);
    request.columns = options.columns;
    request.columns.scoreColumns = columns;
    request.detectColumns = options.columnsMode.has_value();
    if (!request.detectColumns && columns.isEmpty())
        return analysis::messages::examNoScoreColumns();
    request.sources = analysis::expandFolders(options.sources);
    for (analysis::ClassSource &source : request.sources)
        if (source.kind == analysis::ClassSource::Kind::File && source.sheet.isEmpty())
            source.sheet = options.sheet.value_or(QString());
    return request;
}

bool isExam(const QStringList &arguments) {
    return arguments.contains(QLatin1String("--subjects"));
}

Output runExam(const QStringList &arguments, const OutputStream &stream) {
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h")))
        return {ExitOk, examHelpText(), {}};
    ExamCommandOptions options;
    if (const std::optional<QString> error = parse(arguments, &options))
        return usageFailure(*error,
                            QStringLiteral("用法：score-report --subjects 来源… [选项…]；"
                                           "score-report --subjects --help 列出全部选项。\n"));
    std::variant<analysis::ExamRequest, QString> request = examRequest(options);
    if (const QString *message = std::get_if<QString>(&request)) return failure(options, *message);
    if (options.exportPath && !isExamExportName(*options.exportPath))
        return failure(options, analysis::messages::examExportNameInvalid(*options.exportPath));
    const analysis::ExamRequest &asked = std::get<analysis::ExamRequest>(request);
    const analysis::ExamOutcome outcome = analysis::analyseExam(asked);
    if (!outcome.message.isEmpty())
        return failure(options, outcome.message, outcome.exam ? &*outcome.exam : nullptr);
    const analysis::ExamAnalysis &exam = *outcome.exam;
    if (options.exportPath)
        if (const QString failed = exportExam(exam, *options.exportPath, asked.sources);
            !failed.isEmpty())
            return failure(options, failed);
    if (options.json && stream) {
        analysis::writeExamJson(exam, stream);
        stream(QByteArrayLiteral("\n"));
        return {ExitOk, {}, {}};
    }
    return {ExitOk,
            options.json ? QString::fromUtf8(analysis::examJson(exam)) + u'\n'
                         : plainOutput(exam, options),
            {}};
}

} // namespace report
