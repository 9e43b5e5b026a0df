#include "cli/examcommand.h"

#include "analysis/exam/examjson.h"
#include "analysis/exam/examtables.h"
#include "analysis/grade/gradejson.h"
#include "analysis/texts/exammessages.h"
#include "analysis/texts/messages.h"
#include "cli/analysistext.h"
#include "cli/examexport.h"
#include "cli/settingsoption.h"

#include <QJsonArray>
#include <QJsonObject>

namespace report {

namespace {

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
        {"--subject-column", &o.columns.subjectColumn},
        {"--remark-column", &o.columns.remarkColumn},
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
    std::variant<analysis::ExamRequest, QString> request = analysis::readExamRequest(options);
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
