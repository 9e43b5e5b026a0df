// The time from starting score-analysis to its main window first shown and
// painted, as a whole process. The program ends itself right after that first
// paint when SCORE_ANALYSIS_QUIT_WHEN_SHOWN is set. It runs on the offscreen
// platform unless a display is given in DISPLAY.
#include "childprocess.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void startupToFirstWindow(benchmark::State &state) {
    std::vector<std::string> environment = {"SCORE_ANALYSIS_QUIT_WHEN_SHOWN=1"};
    if (!std::getenv("DISPLAY")) environment.push_back("QT_QPA_PLATFORM=offscreen");
    double cpuMs = 0;
    for (auto _ : state) {
        if (runChild({SCORE_ANALYSIS_EXECUTABLE}, environment, &cpuMs) != 0) {
            state.SkipWithError("score-analysis did not start and end cleanly");
            break;
        }
    }
    state.counters["child_cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}

BENCHMARK(startupToFirstWindow)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Repetitions(10)
    ->DisplayAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
