#include "cli/reportcommand.h"

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/classanalysis.h"
#include "analysis/export/analysisexport.h"
#include "analysis/export/analysisjson.h"
#include "analysis/export/analysistables.h"
#include "analysis/figures/figures.h"
#include "analysis/figures/statistics.h"
#include "analysis/grid/gridrows.h"
#include "analysis/grid/scoregrid.h"
#include "analysis/grid/sortorder.h"
#include "analysis/grid/workbookimport.h"
#include "analysis/texts/messages.h"
#include "cli/analysistext.h"
#include "cli/autocolumns.h"
#include "cli/comparecommand.h"
#include "cli/detectcommand.h"
#include "cli/examcommand.h"
#include "cli/helptext.h"
#include "cli/pdfexport.h"
#include "cli/progresscommand.h"
#include "cli/settingsoption.h"
#include "cli/slipcommand.h"

#include <QJsonArray>
#include <QJsonObject>

#include <optional>

namespace report {

namespace {

struct Options {
    analysis::ImportFields import;
    std::optional<QString> classSize;
    analysis::StatisticsFields statistics;
    std::optional<int> sortColumn;
    bool json = false;
    bool analysis = false;
    analysis::AnalysisSettingsTexts settings;
    std::optional<QString> exportPath;
    analysis::ReportHeader header; // of a PDF report
    bool autoColumns = false;      // --columns auto
    bool sheetGiven = false;
    bool fieldsGiven = false; // a first row or column typed
};

// The options whose value is stored as typed.
struct TextOption {
    const char *name;
    QString *(*field)(Options &);
};

const TextOption TextOptions[] = {
    {"--sheet", [](Options &o) { return &o.import.sheet; }},
    {"--first-row", [](Options &o) { return &o.import.firstRow; }},
    {"--number-column", [](Options &o) { return &o.import.numberColumn; }},
    {"--name-column", [](Options &o) { return &o.import.nameColumn; }},
    {"--score-column", [](Options &o) { return &o.import.scoreColumn; }},
    {"--school", [](Options &o) { return &o.header.school; }},
    {"--class-name", [](Options &o) { return &o.header.className; }},
    {"--subject", [](Options &o) { return &o.header.subject; }},
    {"--exam", [](Options &o) { return &o.header.exam; }},
    {"--teacher", [](Options &o) { return &o.header.teacher; }},
    {"--date", [](Options &o) { return &o.header.date; }},
};

// A band is given as LO:HI; each side is a field text of its own.
bool splitBand(const QString &value, QString *low, QString *high) {
    const qsizetype colon = value.indexOf(u':');
    if (colon < 0) return false;
    *low = value.left(colon);
    *high = value.mid(colon + 1);
    return true;
}

// Stores the value of an option that takes one; returns an error text or nothing.
std::optional<QString> setOption(const QString &name, const QString &value, Options *options) {
    options->sheetGiven = options->sheetGiven || name == QLatin1String("--sheet");
    options->fieldsGiven = options->fieldsGiven || isFieldOption(name);
    if (name == QLatin1String("--columns")) {
        if (value != QLatin1String("auto")) return QStringLiteral("--columns的值须为auto");
        options->autoColumns = true;
        return std::nullopt;
    }
    for (const TextOption &option : TextOptions)
        if (name == QLatin1String(option.name)) {
            *option.field(*options) = value;
            return std::nullopt;
        }
    if (QString *field = settingsOption(name, options->settings)) {
        *field = value;
        return std::nullopt;
    }
    if (name == QLatin1String("--class-size")) {
        options->classSize = value;
    } else if (name == QLatin1String("--export")) {
        options->exportPath = value;
        options->analysis = true;
    } else if (name == QLatin1String("--excellent") || name == QLatin1String("--good")) {
        analysis::StatisticsFields &s = options->statistics;
        const bool excellent = name == QLatin1String("--excellent");
        if (!splitBand(value, excellent ? &s.excellentLow : &s.goodLow,
                       excellent ? &s.excellentHigh : &s.goodHigh))
            return analysis::messages::bandOptionInvalid(name);
    } else if (name == QLatin1String("--sort-column")) {
        if (value != QLatin1String("0") && value != QLatin1String("1") &&
            value != QLatin1String("2"))
            return analysis::messages::sortColumnInvalid();
        options->sortColumn = value.toInt();
    } else {
        return analysis::messages::unknownOption(name);
    }
    return std::nullopt;
}

// Parses the arguments; returns an error text or nothing.
std::optional<QString> parse(const QStringList &arguments, Options *options) {
    std::optional<QString> workbook;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (argument == QLatin1String("--json") || argument == QLatin1String("--analysis")) {
            (argument == QLatin1String("--json") ? options->json : options->analysis) = true;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--")) || argument == QLatin1String("--")) {
            if (argument == QLatin1String("--"))
                argument = ++i < arguments.size() ? arguments[i] : QString();
            if (workbook) return analysis::messages::secondWorkbook();
            workbook = argument;
            continue;
        }
        QString name = argument, value;
        const qsizetype equals = argument.indexOf(u'=');
        if (equals >= 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        } else if (++i < arguments.size()) {
            value = arguments[i];
        } else {
            return analysis::messages::optionWithoutValue(name);
        }
        if (const std::optional<QString> error = setOption(name, value, options)) return error;
    }
    if (!workbook) return analysis::messages::noWorkbook();
    if (options->autoColumns && options->fieldsGiven) return autoWithFields();
    options->import.path = *workbook;
    return std::nullopt;
}

Output failure(const Options &options, const QString &message, std::optional<int> number,
               const QString &notes = QString()) {
    if (options.json) {
        QJsonObject error{{"message", message}};
        if (number) error.insert("number", *number);
        const QJsonObject root{{"error", error}};
        return {ExitFailure, jsonText(root), notes};
    }
    const QString text =
        number ? QStringLiteral("错误号 %1：%2\n").arg(*number).arg(message) : message + u'\n';
    return {ExitFailure, {}, notes + text};
}

// What the run found, for the output.
struct Results {
    analysis::ScoreGrid grid;
    std::optional<analysis::StatisticsFigures> figures;
    std::optional<analysis::ClassAnalysis> analysis;
};

QString jsonOutput(const Results &results) {
    QJsonArray rows;
    for (int r = 0; r < analysis::ScoreGrid::Rows; ++r) {
        QJsonArray row;
        for (int c = 0; c < analysis::ScoreGrid::Columns; ++c)
            row.append(results.grid.text(r, c));
        rows.append(row);
    }
    QJsonObject root{{"grid", rows}};
    if (results.figures) {
        QJsonObject statistics;
        for (const analysis::FigureInfo &figure : analysis::Figures)
            statistics.insert(QLatin1String(figure.key), (*results.figures).*figure.text);
        root.insert("statistics", statistics);
    }
    if (results.analysis) root.insert("analysis", analysis::analysisJson(*results.analysis));
    return jsonText(root);
}

QString plainOutput(const Results &results, const Options &options) {
    const analysis::ScoreGrid &grid = results.grid;
    QString out = QStringLiteral("行\t学号\t姓名\t成绩\n");
    for (int r = 0; r < analysis::ScoreGrid::Rows; ++r) {
        if (grid.isRowBlank(r)) continue;
        // Tabs and line breaks inside a cell would break the table's lines.
        out +=
            QStringLiteral("%1\t%2\t%3\t%4\n")
                .arg(r + 1)
                .arg(oneLine(grid.text(r, 0)), oneLine(grid.text(r, 1)), oneLine(grid.text(r, 2)));
    }
    if (results.figures) {
        out += u'\n';
        for (const analysis::FigureInfo &figure : analysis::Figures)
            out += QString::fromUtf8(figure.caption) + QStringLiteral("：") +
                   (*results.figures).*figure.text +
                   (figure.percent ? QStringLiteral(" %\n") : QStringLiteral("\n"));
    }
    if (results.analysis) out += u'\n' + analysisText(analysis::analysisTables(*results.analysis));
    if (options.exportPath) out += QStringLiteral("\n分析已导出到：%1\n").arg(*options.exportPath);
    return out;
}

// The analysis of the grid; returns the failure message or nothing.
std::optional<QString> analyse(const Options &options, const analysis::AnalysisSettings &settings,
                               Results &results) {
    const analysis::GridRowsOutcome rows =
        analysis::gridAnalysisInput(results.grid, options.classSize.value_or(QString()));
    if (!rows.input) return rows.message;
    results.analysis = analysis::analyseClass(*rows.input, settings);
    if (!options.exportPath) return std::nullopt;
    const QString failed =
        exportReport(*results.analysis, options.header, *options.exportPath, options.import.path);
    return failed.isEmpty() ? std::nullopt : std::optional<QString>(failed);
}

} // namespace

Output usageFailure(const QString &why, const QString &usage) {
    return {ExitUsage, {}, QStringLiteral("score-report：%1\n%2").arg(why, usage)};
}

Output run(const QStringList &arguments, const OutputStream &stream) {
    if (isSlips(arguments)) return runSlips(arguments);
    if (isCompare(arguments)) return runCompare(arguments);
    if (isExam(arguments)) return runExam(arguments, stream);
    if (isProgress(arguments)) return runProgress(arguments, stream);
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h")))
        return {ExitOk, helpText(), {}};
    if (arguments.contains(QLatin1String("--version"))) return {ExitOk, versionText(), {}};
    if (isDetect(arguments)) return runDetect(arguments);
    Options options;
    if (const std::optional<QString> error = parse(arguments, &options))
        return usageFailure(*error, usage());

    // Settings that can't be used are refused before anything is read.
    std::optional<analysis::AnalysisSettings> settings;
    if (options.analysis) {
        const analysis::AnalysisSettingsOutcome read =
            analysis::readAnalysisSettings(options.settings);
        if (!read.settings) return failure(options, read.message, std::nullopt);
        if (options.exportPath && !isReportExportName(*options.exportPath))
            return failure(options, analysis::messages::exportNameInvalid(*options.exportPath),
                           std::nullopt);
        settings = read.settings;
    }

    QString notes;
    int dataRows = 0;
    if (options.autoColumns) {
        const AutoColumns found = autoColumns(
            options.import.path,
            options.sheetGiven ? std::optional<QString>(options.import.sheet) : std::nullopt);
        if (!found.fields) return failure(options, found.message, found.errorNumber, found.notes);
        options.import = *found.fields;
        notes = found.notes;
        dataRows = found.dataRows;
    }

    Results results;
    const analysis::ImportOutcome imported = analysis::importWorkbook(options.import, results.grid);
    if (!imported.ok())
        return failure(options, imported.message,
                       imported.status == analysis::ImportOutcome::Status::Failed
                           ? std::optional<int>(imported.errorNumber)
                           : std::nullopt);
    if (dataRows > 0) results.grid.clearRowsFrom(dataRows);
    if (options.sortColumn) analysis::sortDescending(results.grid, *options.sortColumn);

    if (options.classSize) {
        options.statistics.classSize = *options.classSize;
        const analysis::StatisticsOutcome outcome =
            analysis::computeStatistics(options.statistics, results.grid);
        if (!outcome.ok) return failure(options, outcome.message, std::nullopt);
        results.figures = outcome.figures;
    }
    if (settings)
        if (const std::optional<QString> failed = analyse(options, *settings, results))
            return failure(options, *failed, std::nullopt);
    return {ExitOk, options.json ? jsonOutput(results) : plainOutput(results, options), notes};
}

} // namespace report
