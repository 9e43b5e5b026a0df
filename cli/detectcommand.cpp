#include "cli/detectcommand.h"

#include "analysis/grid/workbookimport.h"
#include "analysis/layout/filelayout.h"
#include "analysis/layout/layoutjson.h"
#include "cli/analysistext.h"
#include "cli/helptext.h"

#include <QJsonObject>

#include <optional>

namespace report {

namespace {

struct DetectOptions {
    QString path;
    std::optional<QString> sheet;
    bool json = false;
};

std::optional<QString> parse(const QStringList &arguments, DetectOptions *options) {
    std::optional<QString> path;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--detect")) continue;
        if (argument == QLatin1String("--json")) {
            options->json = true;
        } else if (argument == QLatin1String("--sheet")) {
            if (++i >= arguments.size()) return QStringLiteral("选项--sheet需要一个值");
            options->sheet = arguments[i];
        } else if (argument.startsWith(QLatin1String("--sheet="))) {
            options->sheet = argument.mid(8);
        } else if (argument.startsWith(QLatin1String("--"))) {
            return QStringLiteral("--detect不能与%1同时给出").arg(argument);
        } else {
            if (path) return QStringLiteral("只能给出一个工作簿");
            path = argument;
        }
    }
    if (!path) return QStringLiteral("没有给出工作簿");
    options->path = *path;
    return std::nullopt;
}

QString columnLine(const QString &caption, const analysis::LayoutColumn &column) {
    if (!column.found()) return caption + QStringLiteral("\t未找到\n");
    return QStringLiteral("%1\t第%2列\t%3\n").arg(caption).arg(column.column).arg(column.header);
}

QString rowsLine(const analysis::SheetLayout &layout) {
    if (!layout.firstRow) return QStringLiteral("数据行\t未找到\n");
    const QString last =
        layout.lastRow ? QStringLiteral("第%1行").arg(layout.lastRow) : QStringLiteral("未定");
    return QStringLiteral("数据行\t第%1行至%2\n").arg(layout.firstRow).arg(last);
}

QString plainOutput(const analysis::SheetLayout &layout) {
    QString out = QStringLiteral("工作表\t%1\n").arg(oneLine(layout.sheetName));
    if (layout.headerRow)
        out += QStringLiteral("表头行\t第%1行%2\n")
                   .arg(layout.headerRow)
                   .arg(layout.headerRows == 2 ? QStringLiteral("（两行）") : QString());
    else
        out += QStringLiteral("表头行\t未找到\n");
    out += rowsLine(layout);
    out += columnLine(QStringLiteral("学号列"), layout.number);
    out += columnLine(QStringLiteral("姓名列"), layout.name);
    out += columnLine(QStringLiteral("班级列"), layout.className);
    if (layout.course.found()) out += columnLine(QStringLiteral("科目列"), layout.course);
    if (layout.remark.found()) out += columnLine(QStringLiteral("评语列"), layout.remark);
    for (const analysis::LayoutColumn &score : layout.scores)
        out += columnLine(QStringLiteral("成绩列"), score);
    out += columnLine(QStringLiteral("总分列"), layout.total);
    out += columnLine(QStringLiteral("名次列"), layout.rank);
    for (const QString &note : layout.notes)
        out += QStringLiteral("说明\t%1\n").arg(note);
    return out;
}

Output failure(const DetectOptions &options, int number) {
    const QString message = analysis::importFailureMessage(number);
    if (options.json) {
        const QJsonObject root{{"error", QJsonObject{{"number", number}, {"message", message}}}};
        return {ExitFailure, jsonText(root), {}};
    }
    return {ExitFailure, {}, QStringLiteral("错误号 %1：%2\n").arg(number).arg(message)};
}

} // namespace

bool isDetect(const QStringList &arguments) {
    return arguments.contains(QLatin1String("--detect"));
}

Output runDetect(const QStringList &arguments) {
    DetectOptions options;
    if (const std::optional<QString> error = parse(arguments, &options))
        return usageFailure(*error, usage());
    const analysis::SheetLayout layout = analysis::detectFileLayout(options.path, options.sheet);
    if (layout.errorNumber) return failure(options, layout.errorNumber);
    return {
        ExitOk, options.json ? jsonText(analysis::layoutJson(layout)) : plainOutput(layout), {}};
}

} // namespace report
