#include "cli/pdfexport.h"

#include "analysis/export/analysisexport.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace report {

namespace {

bool isPdfName(const QString &path) {
    return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

// The module lies beside the running program, in the build tree and when installed.
QString modulePath() {
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(program).absolutePath() + u'/' + QLatin1String(analysis::PdfModuleFile);
}

analysis::WritePdfFunction loadPdfModule() {
    void *module = ::dlopen(QFile::encodeName(modulePath()).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return nullptr;
    return reinterpret_cast<analysis::WritePdfFunction>(::dlsym(module, analysis::WritePdfSymbol));
}

} // namespace

void *pdfModuleFunction(const char *symbol, QString *missing) {
    void *module = ::dlopen(QFile::encodeName(modulePath()).constData(), RTLD_NOW | RTLD_LOCAL);
    void *function = module ? ::dlsym(module, symbol) : nullptr;
    if (!function)
        *missing = QStringLiteral("无法载入生成PDF的模块%1，不能导出.pdf文件，请重新安装本软件！")
                       .arg(modulePath());
    return function;
}

bool isReportExportName(const QString &path) {
    return isPdfName(path) || analysis::isExportName(path);
}

QString exportReport(const analysis::ClassAnalysis &analysis, const analysis::ReportHeader &header,
                     const QString &path, const QString &sourceWorkbook) {
    if (!isPdfName(path)) return analysis::exportAnalysis(analysis, path, sourceWorkbook);
    const analysis::WritePdfFunction write = loadPdfModule();
    if (!write)
        return QStringLiteral("无法载入生成PDF的模块%1，不能导出.pdf文件，请重新安装本软件！")
            .arg(modulePath());
    const analysis::PdfRequest request{&analysis, header, path, sourceWorkbook};
    QString failure;
    write(&request, &failure);
    return failure;
}

} // namespace report
