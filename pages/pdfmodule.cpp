// The module score-report loads to write a PDF, so that its other runs never
// load Qt Gui and the fonts.
#include "analysis/exam/exampdf.h"
#include "analysis/export/reportheader.h"
#include "pages/examlayout.h"
#include "pages/reportpdf.h"
#include "pages/slippdf.h"

#include <QGuiApplication>

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

void write(const analysis::PdfRequest *request, QString *failure) {
    std::unique_ptr<QGuiApplication> application;
    if (!guiApplication(application)) {
        *failure = QStringLiteral("无法在本进程中生成PDF文件：%1").arg(request->path);
        return;
    }
    pages::ReportContent content;
    content.header = request->header;
    content.analysis = *request->analysis;
    *failure = pages::writeReportPdf(pages::layoutReport(content), request->path,
                                     {request->sourceWorkbook});
}

} // namespace

extern "C" Q_DECL_EXPORT void score_report_write_pdf(const analysis::PdfRequest *request,
                                                     QString *failure) {
    // Qt's warnings (no session's runtime folder, say) are no concern of a
    // script reading the output; a failure comes back as its message.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    write(request, failure);
    qInstallMessageHandler(previous);
}

extern "C" Q_DECL_EXPORT void score_report_write_slips(const analysis::SlipPdfRequest *request,
                                                       analysis::SlipPdfResult *result) {
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    std::unique_ptr<QGuiApplication> application;
    if (guiApplication(application))
        *result = pages::writeRequestedSlips(*request);
    else
        result->failure = QStringLiteral("无法在本进程中生成PDF文件：%1").arg(request->path);
    qInstallMessageHandler(previous);
}

extern "C" Q_DECL_EXPORT void score_report_write_exam_pdf(const analysis::ExamPdfRequest *request,
                                                          QString *failure) {
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    std::unique_ptr<QGuiApplication> application;
    if (guiApplication(application))
        *failure = pages::writeReportPdf(pages::layoutExam(*request->exam, request->header),
                                         request->path, request->sourceWorkbooks);
    else
        *failure = QStringLiteral("无法在本进程中生成PDF文件：%1").arg(request->path);
    qInstallMessageHandler(previous);
}
