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

} // namespace

void *pdfModuleEntry(const char *symbol) {
    void *module = ::dlopen(QFile::encodeName(modulePath()).constData(), RTLD_NOW | RTLD_LOCAL);
    return module ? ::dlsym(module, symbol) : nullptr;
}

QString pdfModuleMissing() {
    return QStringLiteral("无法载入生成PDF的模块%1，不能导出.pdf文件，请重新安装本软件！")
        .arg(modulePath());
}

bool isReportExportName(const QString &path) {
    return isPdfName(path) || analysis::isExportName(path);
}

QString exportReport(const analysis::ClassAnalysis &analysis, const analysis::ReportHeader &header,
                     const QString &path, const QString &sourceWorkbook) {
    if (!isPdfName(path)) return analysis::exportAnalysis(analysis, path, sourceWorkbook);
    const auto write =
        reinterpret_cast<analysis::WritePdfFunction>(pdfModuleEntry(analysis::WritePdfSymbol));
    if (!write) return pdfModuleMissing();
    const analysis::PdfRequest request{&analysis, header, path, sourceWorkbook};
    QString failure;
    write(&request, &failure);
    return failure;
}

} // namespace report
