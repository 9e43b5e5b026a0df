// The report window and the PDF report: opening the window on a 100-row
// class to its first painted page, writing the PDF of that class, and the
// plain `score-report --json` run, which must not slow for the PDF module
// (set SCORE_REPORT_BASELINE to another build's score-report to compare).
#include "childprocess.h"
#include "pages/reportpdf.h"
#include "skin/songfont.h"
#include "windows/pageview.h"
#include "windows/reportwindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>

#include <cstdlib>

namespace {

// 100 students with scores spread over 0..100.
ReportSource hundredRows() {
    ReportSource source;
    for (int row = 0; row < analysis::ScoreGrid::Rows; ++row) {
        source.grid.setText(row, 0, QString::number(20240001 + row));
        source.grid.setText(row, 1, QStringLiteral("学生%1").arg(row + 1, 3, 10, QLatin1Char('0')));
        source.grid.setText(row, 2, QString::number(row * 37 % 101));
    }
    source.classSize = QStringLiteral("100");
    source.excellentLow = QStringLiteral("85");
    source.goodLow = QStringLiteral("75");
    return source;
}

// Notes the first paint of the pages.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return QObject::eventFilter(watched, event);
    }
};

void openReportWindow(benchmark::State &state) {
    const ReportSource source = hundredRows();
    for (auto _ : state) {
        ReportWindow *window = ReportWindow::showWindow();
        window->setSource(source);
        PaintWatch watch;
        window->findChild<PageView *>("pageView")->viewport()->installEventFilter(&watch);
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.PauseTiming();
        window->findChild<PageView *>("pageView")->viewport()->removeEventFilter(&watch);
        delete window;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void writePdf(benchmark::State &state) {
    ReportWindow *window = ReportWindow::showWindow();
    window->setSource(hundredRows());
    const pages::ReportLayout layout = window->findChild<PageView *>("pageView")->document();
    const QString path = QDir::temp().filePath(QStringLiteral("bench-report.pdf"));
    for (auto _ : state)
        if (!pages::writeReportPdf(layout, path, {}).isEmpty()) state.SkipWithError("not written");
    state.counters["pages"] = double(window->findChild<PageView *>("pageView")->pageCount());
    delete window;
    QFile::remove(path);
}

void plainRun(benchmark::State &state, const std::string &program) {
    double cpuMs = 0;
    for (auto _ : state)
        if (runChild({program, SCORE_SAMPLES_DIR "/class.xls", "--class-size", "30", "--json"}, {},
                     &cpuMs) != 0)
            state.SkipWithError("score-report failed");
    state.counters["child_cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}

} // namespace

int main(int argc, char **argv) {
    if (!std::getenv("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    installSongFaceSubstitutes();
    benchmark::RegisterBenchmark("report_window_first_paint/100_rows", openReportWindow)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->DisplayAggregatesOnly(true);
    benchmark::RegisterBenchmark("pdf_export/100_rows", writePdf)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->DisplayAggregatesOnly(true);
    benchmark::RegisterBenchmark("score_report_json/this_build", plainRun,
                                 std::string(SCORE_REPORT_EXECUTABLE))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(20)
        ->Repetitions(10)
        ->DisplayAggregatesOnly(true);
    if (const char *baseline = std::getenv("SCORE_REPORT_BASELINE"))
        benchmark::RegisterBenchmark("score_report_json/baseline", plainRun, std::string(baseline))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(20)
            ->Repetitions(10)
            ->DisplayAggregatesOnly(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
