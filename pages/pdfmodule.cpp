// The module score-report loads to write a PDF, so that its other runs never
// load Qt Gui and the fonts.
#include "analysis/exam/exampdf.h"
#include "analysis/export/reportheader.h"
#include "analysis/progress/progresspdf.h"
#include "pages/examlayout.h"
#include "pages/progresslayout.h"
#include "pages/reportpdf.h"
#include "pages/slippdf.h"

#include <QGuiApplication>

#include <functional>
#include <memory>

namespace {

// Text needs a Gui application: without a display, on the offscreen
// platform, for this export only. None when the process has another kind.
bool guiApplication(std::unique_ptr<QGuiApplication> &application) {
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "score-report";
        static char *argv[] = {name, nullptr};
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance());
}

// Writes with Qt's warnings silenced (no session's runtime folder, say: no
// concern of a script reading the output) and a Gui application at hand;
// a failure comes back as its message.
QString withGuiApplication(const QString &path, const std::function<QString()> &write) {
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    std::unique_ptr<QGuiApplication> application;
    const QString failure = guiApplication(application)
                                ? write()
                                : QStringLiteral("无法在本进程中生成PDF文件：%1").arg(path);
    qInstallMessageHandler(previous);
    return failure;
}

} // namespace

extern "C" Q_DECL_EXPORT void score_report_write_pdf(const analysis::PdfRequest *request,
                                                     QString *failure) {
    *failure = withGuiApplication(request->path, [request] {
        pages::ReportContent content;
        content.header = request->header;
        content.analysis = *request->analysis;
        return pages::writeReportPdf(pages::layoutReport(content), request->path,
                                     {request->sourceWorkbook});
    });
}

extern "C" Q_DECL_EXPORT void score_report_write_slips(const analysis::SlipPdfRequest *request,
                                                       analysis::SlipPdfResult *result) {
    result->failure = withGuiApplication(request->path, [request, result] {
        *result = pages::writeRequestedSlips(*request);
        return result->failure;
    });
}

extern "C" Q_DECL_EXPORT void score_report_write_exam_pdf(const analysis::ExamPdfRequest *request,
                                                          QString *failure) {
    *failure = withGuiApplication(request->path, [request] {
        return pages::writeReportPdf(pages::layoutExam(*request->exam, request->header),
                                     request->path, request->sourceWorkbooks);
    });
}

extern "C" Q_DECL_EXPORT void
score_report_write_progress_pdf(const analysis::ProgressPdfRequest *request, QString *failure) {
    *failure = withGuiApplication(request->path, [request] {
        return pages::writeReportPdf(pages::layoutProgress(*request->tables, request->header),
                                     request->path, request->sourceWorkbooks);
    });
}
