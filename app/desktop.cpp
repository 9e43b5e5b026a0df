#include "app/desktop.h"

#include "workbook/workbook.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMimeData>
#include <QTranslator>
#include <QUrl>

namespace desktop {

void installChineseTranslations() {
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    QLocale::setDefault(chinese);
    // qtbase holds the texts of every widget the program uses.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

void describeCommandLine(QCommandLineParser &parser) {
    QCoreApplication::setApplicationVersion(QStringLiteral(SCORE_ANALYSIS_VERSION));
    parser.setApplicationDescription(
        QStringLiteral("墨序成绩统计软件：统计一个班级一门课的成绩。"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("文件"),
        QStringLiteral("启动后按默认设置导入的工作簿"
                       "（.xls、.xlsx、.xlsm、.ods、.et、.ett、.csv 或 .txt）。"),
        QStringLiteral("[文件]"));
}

QString commandLineWorkbook(const QCommandLineParser &parser) {
    const QStringList files = parser.positionalArguments();
    return files.isEmpty() ? QString() : files.first();
}

QString droppedWorkbook(const QMimeData *mime) {
    if (!mime) return {};
    for (const QUrl &url : mime->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && analysis::hasWorkbookEnding(path) && QFileInfo(path).isFile())
            return path;
    }
    return {};
}

} // namespace desktop
