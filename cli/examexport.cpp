#include "cli/examexport.h"

#include "analysis/exam/examexport.h"
#include "analysis/exam/exampdf.h"
#include "analysis/export/analysisexport.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace report {

namespace {

bool isPdfName(const QString &path) {
    return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
}

QString modulePath() {
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(program).absolutePath() + u'/' + QLatin1String(analysis::PdfModuleFile);
}

} // namespace

bool isExamExportName(const QString &path) {
    return isPdfName(path) || analysis::isExportName(path);
}

QString exportExam(const analysis::ExamAnalysis &exam, const QString &path,
                   const std::vector<analysis::ClassSource> &sources) {
    QStringList workbooks;
    for (const analysis::ClassSource &source : sources)
        workbooks << source.path;
    if (!isPdfName(path))
        return analysis::exportExamTables(analysis::examTables(exam), path, workbooks);
    void *module = ::dlopen(QFile::encodeName(modulePath()).constData(), RTLD_NOW | RTLD_LOCAL);
    const auto write = module ? reinterpret_cast<analysis::WriteExamPdfFunction>(
                                    ::dlsym(module, analysis::WriteExamPdfSymbol))
                              : nullptr;
    if (!write)
        return QStringLiteral("无法载入生成PDF的模块%1，不能导出.pdf文件，请重新安装本软件！")
            .arg(modulePath());
    const analysis::ExamPdfRequest request{&exam, {}, path, workbooks};
    QString failure;
    write(&request, &failure);
    return failure;
}

} // namespace report
