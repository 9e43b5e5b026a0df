#include "report/reportcommand.h"

#include "analysis/figures.h"
#include "analysis/scoregrid.h"
#include "analysis/sortorder.h"
#include "analysis/statistics.h"
#include "analysis/workbookimport.h"

#include <QJsonArray>
#include <QJsonDocument>
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
};

Output usageError(const QString &why) {
    return {ExitUsage, {}, QStringLiteral("score-report: %1\n%2").arg(why, usage())};
}

// A band is given as LO:HI; each side is a field text of its own.
bool splitBand(const QString &value, QString *low, QString *high) {
    const qsizetype colon = value.indexOf(u':');
    if (colon < 0) return false;
    *low = value.left(colon);
    *high = value.mid(colon + 1);
    return true;
}

// Parses the arguments; returns an error text or nothing.
std::optional<QString> parse(const QStringList &arguments, Options *options) {
    std::optional<QString> workbook;
    const QStringList valued = {"--sheet",       "--first-row",    "--number-column",
                                "--name-column", "--score-column", "--class-size",
                                "--excellent",   "--good",         "--sort-column"};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (argument == QLatin1String("--json")) {
            options->json = true;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--")) || argument == QLatin1String("--")) {
            if (argument == QLatin1String("--"))
                argument = ++i < arguments.size() ? arguments[i] : QString();
            if (workbook) return QStringLiteral("only one workbook may be given");
            workbook = argument;
            continue;
        }
        QString name = argument, value;
        const qsizetype equals = argument.indexOf(u'=');
        if (equals >= 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        if (!valued.contains(name)) return QStringLiteral("unknown option %1").arg(name);
        if (equals < 0) {
            if (++i >= arguments.size()) return QStringLiteral("option %1 needs a value").arg(name);
            value = arguments[i];
        }
        if (name == QLatin1String("--sheet"))
            options->import.sheet = value;
        else if (name == QLatin1String("--first-row"))
            options->import.firstRow = value;
        else if (name == QLatin1String("--number-column"))
            options->import.numberColumn = value;
        else if (name == QLatin1String("--name-column"))
            options->import.nameColumn = value;
        else if (name == QLatin1String("--score-column"))
            options->import.scoreColumn = value;
        else if (name == QLatin1String("--class-size"))
            options->classSize = value;
        else if (name == QLatin1String("--excellent")) {
            if (!splitBand(value, &options->statistics.excellentLow,
                           &options->statistics.excellentHigh))
                return QStringLiteral("--excellent takes LO:HI");
        } else if (name == QLatin1String("--good")) {
            if (!splitBand(value, &options->statistics.goodLow, &options->statistics.goodHigh))
                return QStringLiteral("--good takes LO:HI");
        } else if (name == QLatin1String("--sort-column")) {
            if (value != QLatin1String("0") && value != QLatin1String("1") &&
                value != QLatin1String("2"))
                return QStringLiteral("--sort-column takes 0, 1 or 2");
            options->sortColumn = value.toInt();
        }
    }
    if (!workbook) return QStringLiteral("a workbook is needed");
    options->import.path = *workbook;
    return std::nullopt;
}

Output failure(const Options &options, const QString &message, std::optional<int> number) {
    if (options.json) {
        QJsonObject error{{"message", message}};
        if (number) error.insert("number", *number);
        const QJsonObject root{{"error", error}};
        return {ExitFailure,
                QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact)) + u'\n',
                {}};
    }
    const QString text =
        number ? QStringLiteral("错误号 %1：%2\n").arg(*number).arg(message) : message + u'\n';
    return {ExitFailure, {}, text};
}

QString jsonOutput(const analysis::ScoreGrid &grid,
                   const std::optional<analysis::StatisticsFigures> &figures) {
    QJsonArray rows;
    for (int r = 0; r < analysis::ScoreGrid::Rows; ++r) {
        QJsonArray row;
        for (int c = 0; c < analysis::ScoreGrid::Columns; ++c)
            row.append(grid.text(r, c));
        rows.append(row);
    }
    QJsonObject root{{"grid", rows}};
    if (figures) {
        QJsonObject statistics;
        for (const analysis::FigureInfo &figure : analysis::Figures)
            statistics.insert(QLatin1String(figure.key), (*figures).*figure.text);
        root.insert("statistics", statistics);
    }
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact)) + u'\n';
}

QString plainOutput(const analysis::ScoreGrid &grid,
                    const std::optional<analysis::StatisticsFigures> &figures) {
    QString out = QStringLiteral("行\t学号\t姓名\t成绩\n");
    for (int r = 0; r < analysis::ScoreGrid::Rows; ++r) {
        if (grid.isRowBlank(r)) continue;
        // Tabs and line breaks inside a cell would break the table's lines.
        const auto cell = [&grid, r](int c) {
            QString text = grid.text(r, c);
            for (QChar &ch : text)
                if (ch == u'\t' || ch == u'\n' || ch == u'\r') ch = u' ';
            return text;
        };
        out += QStringLiteral("%1\t%2\t%3\t%4\n").arg(r + 1).arg(cell(0), cell(1), cell(2));
    }
    if (figures) {
        out += u'\n';
        for (const analysis::FigureInfo &figure : analysis::Figures)
            out += QString::fromUtf8(figure.caption) + QStringLiteral("：") +
                   (*figures).*figure.text +
                   (figure.percent ? QStringLiteral(" %\n") : QStringLiteral("\n"));
    }
    return out;
}

} // namespace

QString usage() {
    return QStringLiteral(
        "usage: score-report WORKBOOK [--sheet TEXT] [--first-row TEXT] [--number-column TEXT] "
        "[--name-column TEXT] [--score-column TEXT] [--class-size TEXT] [--excellent LO:HI] "
        "[--good LO:HI] [--sort-column K] [--json]\n");
}

Output run(const QStringList &arguments) {
    if (arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h")))
        return {ExitOk, usage(), {}};
    Options options;
    if (const std::optional<QString> error = parse(arguments, &options)) return usageError(*error);

    analysis::ScoreGrid grid;
    const analysis::ImportOutcome imported = analysis::importWorkbook(options.import, grid);
    if (!imported.ok())
        return failure(options, imported.message,
                       imported.status == analysis::ImportOutcome::Status::Failed
                           ? std::optional<int>(imported.errorNumber)
                           : std::nullopt);
    if (options.sortColumn) analysis::sortDescending(grid, *options.sortColumn);

    std::optional<analysis::StatisticsFigures> figures;
    if (options.classSize) {
        options.statistics.classSize = *options.classSize;
        const analysis::StatisticsOutcome outcome =
            analysis::computeStatistics(options.statistics, grid);
        if (!outcome.ok) return failure(options, outcome.message, std::nullopt);
        figures = outcome.figures;
    }
    return {ExitOk, options.json ? jsonOutput(grid, figures) : plainOutput(grid, figures), {}};
}

} // namespace report
