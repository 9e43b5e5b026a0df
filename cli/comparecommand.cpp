#include "cli/comparecommand.h"

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/export/analysisexport.h"
#include "analysis/grade/gradecomparison.h"
#include "analysis/grade/gradeexport.h"
#include "analysis/grade/gradejson.h"
#include "analysis/grade/gradetables.h"
#include "analysis/texts/messages.h"
#include "cli/analysistext.h"
#include "cli/autocolumns.h"
#include "cli/settingsoption.h"

#include <QJsonArray>
#include <QJsonObject>

namespace report {

namespace {

using analysis::ClassFields;
using analysis::ClassSource;

struct CompareOptions {
    std::vector<ClassSource> sources;
    ClassFields fields;
    std::optional<QString> sheet;
    analysis::AnalysisSettingsTexts settings;
    std::optional<QString> exportPath;
    std::optional<QString> columns; // --columns auto
    bool json = false;
};

// The options that take a value, stored as typed.
QString *optionField(const QString &name, CompareOptions &o) {
    if (QString *field = settingsOption(name, o.settings)) return field;
    const std::pair<const char *, std::optional<QString> *> optional[] = {
        {"--first-row", &o.fields.firstRow},
        {"--number-column", &o.fields.numberColumn},
        {"--name-column", &o.fields.nameColumn},
        {"--score-column", &o.fields.scoreColumn},
        {"--sheet", &o.sheet},
        {"--export", &o.exportPath},
        {"--columns", &o.columns}};
    for (const auto &[option, field] : optional)
        if (name == QLatin1String(option)) return &field->emplace();
    return nullptr;
}

// Parses the arguments; returns an error text or nothing.
std::optional<QString> parse(const QStringList &arguments, CompareOptions *options) {
    bool sourcesOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (sourcesOnly || !argument.startsWith(QLatin1String("--"))) {
            const std::optional<ClassSource> source = analysis::parseClassSource(argument);
            if (!source) return analysis::messages::sourceInvalid(argument);
            options->sources.push_back(*source);
        } else if (argument == QLatin1String("--")) {
            sourcesOnly = true;
        } else if (argument == QLatin1String("--compare") || argument == QLatin1String("--json")) {
            options->json = options->json || argument == QLatin1String("--json");
        } else {
            const qsizetype equals = argument.indexOf(u'=');
            const QString name = equals >= 0 ? argument.left(equals) : argument;
            QString *field = optionField(name, *options);
            if (!field) return analysis::messages::unknownOption(name);
            if (equals < 0 && ++i >= arguments.size())
                return analysis::messages::optionWithoutValue(name);
            *field = equals >= 0 ? argument.mid(equals + 1) : arguments[i];
        }
    }
    if (options->sources.empty()) return analysis::messages::noClassesToCompare();
    if (options->columns && *options->columns != QLatin1String("auto"))
        return QStringLiteral("--columns的值须为auto");
    const ClassFields &f = options->fields;
    if (options->columns && (f.firstRow || f.numberColumn || f.nameColumn || f.scoreColumn))
        return autoWithFields();
    return std::nullopt;
}

Output failure(const CompareOptions &options, const QString &message,
               const analysis::GradeComparison *comparison = nullptr) {
    if (options.json) {
        QJsonObject root{{"error", QJsonObject{{"message", message}}}};
        if (comparison) root.insert("failures", analysis::gradeFailuresJson(comparison->failures));
        return {ExitFailure, jsonText(root), {}};
    }
    QString text;
    if (comparison) text = tableText(analysis::failureTable(*comparison)) + u'\n';
    return {ExitFailure, {}, text + message + u'\n'};
}

QString plainOutput(const analysis::GradeComparison &comparison, const CompareOptions &options) {
    const analysis::GradeTables tables = analysis::gradeTables(comparison);
    QStringList parts;
    for (const analysis::Table *table : {&tables.classes, &tables.bands, &tables.students})
        parts << tableText(*table);
    if (!tables.failures.rows.empty()) parts << tableText(tables.failures);
    if (options.exportPath) parts << QStringLiteral("对比已导出到：%1\n").arg(*options.exportPath);
    return parts.join(u'\n');
}

} // namespace

bool isCompare(const QStringList &arguments) {
    return arguments.contains(QLatin1String("--compare"));
}

Output runCompare(const QStringList &arguments) {
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h")))
        return {ExitOk, compareHelpText(), {}};
    CompareOptions options;
    if (const std::optional<QString> error = parse(arguments, &options))
        return usageFailure(*error,
                            QStringLiteral("用法：score-report --compare 来源… [选项…]；"
                                           "score-report --compare --help 列出全部选项。\n"));
    // Settings that can't be used are refused before anything is read.
    const analysis::AnalysisSettingsOutcome settings =
        analysis::readAnalysisSettings(options.settings);
    if (!settings.settings) return failure(options, settings.message);
    if (options.exportPath && !analysis::isExportName(*options.exportPath))
        return failure(options, analysis::messages::gradeExportNameInvalid(*options.exportPath));

    std::vector<ClassSource> sources = analysis::expandFolders(options.sources);
    for (ClassSource &source : sources)
        if (source.kind == ClassSource::Kind::File && source.sheet.isEmpty())
            source.sheet = options.sheet.value_or(QString());
    QString notes;
    if (options.columns)
        if (const std::optional<QString> failed = autoSourceColumns(sources, options.sheet, &notes))
            return failure(options, *failed);
    const analysis::GradeComparison comparison =
        analysis::compareGrade(sources, options.fields, *settings.settings);
    if (comparison.classes.empty())
        return failure(options, analysis::messages::nothingCompared(), &comparison);
    if (options.exportPath)
        if (const QString failed = analysis::exportGrade(comparison, *options.exportPath, sources);
            !failed.isEmpty())
            return failure(options, failed);
    return {ExitOk,
            options.json ? QString::fromUtf8(analysis::gradeJson(comparison)) + u'\n'
                         : plainOutput(comparison, options),
            notes};
}

QString compareHelpText() {
    return QStringLiteral(
        "用法：score-report --compare 来源… [选项…]\n"
        "\n"
        "比较一个年级各班的成绩：每个来源是一个班（或一个工作簿的每个工作表各是一个班），\n"
        "一个班读其工作表中从数据起始行起有内容的全部行，不限于100行；各来源同时在各个\n"
        "处理器核心上读取。读不了的来源列在“未能比较的来源”中，不计入年级的数字。\n"
        "\n"
        "来源：\n"
        "  文件                    该工作簿的第一个工作表（或 --sheet 给出的表）\n"
        "  文件:表名               该工作表\n"
        "  文件:*                  每个工作表各是一个班，以表名为班名\n"
        "  文件夹                  其中每个 .xls、.xlsx、.xlsm、.ods、.et、.ett、.csv、.txt\n"
        "                          文件（按文件名顺序，不含子文件夹），各按上面的“文件”读\n"
        "  来源@字段=值,…          该来源自己的数据起始行或列，字段为 first-row、\n"
        "                          number-column、name-column、score-column，\n"
        "                          如 三班.xls@first-row=3,score-column=5\n"
        "  班名：来源是同一个工作簿的几个工作表时为表名，否则为文件名（不含扩展名）；\n"
        "  重名的班按来源顺序加“（2）”“（3）”。\n"
        "\n"
        "选项（值跟在选项之后，或用等号连写）：\n"
        "  --sheet 文字            只给出文件时读的工作表，默认第一个\n"
        "  --first-row 文字        各班的数据起始行，默认 2\n"
        "  --number-column 文字    学号所在列，默认 1\n"
        "  --name-column 文字      姓名所在列，默认 2\n"
        "  --score-column 文字     成绩所在列，默认 3\n"
        "  --full-marks、--excellent-line、--good-line、--pass-line、--low-line、\n"
        "  --band-width、--ranking  同成绩质量分析，对每个班和整个年级都用同一套口径\n"
        "  --export 文件           写入 .xlsx（班级对比表、分数段人数、各班平均分与年级\n"
        "                          平均分的图表；年级名次表）或 .csv（UTF-8）\n"
        "  --json                  输出一个 JSON 对象，见下\n"
        "\n"
        "输出：班级对比（应考、实考、缺考、平均分、超均率、最高分、最低分、标准差、优秀率、\n"
        "及格率、低分率、优良率、按平均分的名次，同分并列）及年级一行，各班分数段人数，\n"
        "年级名次表（年级名次按 --ranking，另列班级名次）。\n"
        "超均率 =（班级平均分 − 年级平均分）÷ 年级平均分 × 100，年级平均分按全年级计入的成绩。\n"
        "\n"
        "JSON：{\"classes\": [{name, source, expected, sat, absent, mean, aboveMeanRate,\n"
        "  highest, lowest, standardDeviation, excellent, pass, low, excellentOrGood（各为\n"
        "  {count, rate}）, bands, rank}], \"grade\": {同样的数字，对全年级}, \"students\":\n"
        "  [{class, number, name, score, gradeRank, classRank}]（按年级名次）, \"failures\":\n"
        "  [{source, number, message}]}；数字不取整，number 为错误号（没有时为 null）。\n"
        "\n"
        "退出状态：0 成功；2 选项的值不能用、导出失败或没有一个班能比较，附提示；\n"
        "64 命令行无法理解。\n");
}

} // namespace report
