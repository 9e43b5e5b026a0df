#include "cli/pdfmodule.h"

#include "analysis/export/reportheader.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace report {

namespace {

QString modulePath() {
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(program).absolutePath() + u'/' + QLatin1String(analysis::PdfModuleFile);
}

} // namespace

bool isPdfName(const QString &path) {
    return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

void *pdfModuleSymbol(const char *symbol) {
    void *module = ::dlopen(QFile::encodeName(modulePath()).constData(), RTLD_NOW | RTLD_LOCAL);
    return module ? ::dlsym(module, symbol) : nullptr;
}

QString pdfModuleMissing() {
    return QStringLiteral("无法载入生成PDF的模块%1，不能导出.pdf文件，请重新安装本软件！")
        .arg(modulePath());
}

} // namespace report
