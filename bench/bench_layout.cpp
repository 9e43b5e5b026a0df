// Times the layout detection (analysis::detectFileLayout) in process on each
// workbook given: opening the file and finding its title, header, number,
// name and score columns. The detection reads the first rows and at most 200
// cells of each column, so its time must not grow with the sheet.
//
//   bench_layout [benchmark flags] [LABEL=]WORKBOOK...
//
// make_layout_files.py writes the 60,000-row layout-openpyxl.xlsx. Each
// benchmark is repeated (10 times unless --benchmark_repetitions says
// otherwise); the median is the figure to read.

#include "analysis/layout/filelayout.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

void benchLayout(benchmark::State &state, const std::string &path) {
    const QString file = QString::fromStdString(path);
    for (auto _ : state) {
        analysis::SheetLayout layout = analysis::detectFileLayout(file, std::nullopt);
        benchmark::DoNotOptimize(layout);
    }
}

// A layout that is not the generated class would time the wrong thing.
std::string checkLayout(const std::string &path) {
    const analysis::SheetLayout layout =
        analysis::detectFileLayout(QString::fromStdString(path), std::nullopt);
    if (layout.errorNumber != 0)
        return "cannot be read (" + std::to_string(layout.errorNumber) + ")";
    if (!layout.completeHeader()) return "no header with number, name and score columns";
    return {};
}

} // namespace

int main(int argc, char **argv) {
    // Defaults that flags given on the command line, coming later, override.
    std::vector<char *> arguments{argv[0]};
    std::string repetitions = "--benchmark_repetitions=10";
    std::string aggregates = "--benchmark_display_aggregates_only=true";
    arguments.push_back(repetitions.data());
    arguments.push_back(aggregates.data());
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i]);
    int count = int(arguments.size());
    arguments.push_back(nullptr);
    benchmark::Initialize(&count, arguments.data());
    if (count < 2) {
        std::fprintf(stderr, "bench_layout: give [LABEL=]WORKBOOK arguments "
                             "(see make_layout_files.py)\n");
        return 64;
    }
    for (int i = 1; i < count; ++i) {
        const std::string argument = arguments[std::size_t(i)];
        if (argument.starts_with("--")) {
            std::fprintf(stderr, "bench_layout: unknown option %s\n", argument.c_str());
            return 64;
        }
        const std::size_t equals = argument.find('=');
        const std::string label =
            equals == std::string::npos ? argument : argument.substr(0, equals);
        const std::string path =
            equals == std::string::npos ? argument : argument.substr(equals + 1);
        if (const std::string problem = checkLayout(path); !problem.empty()) {
            std::fprintf(stderr, "bench_layout: %s: %s\n", path.c_str(), problem.c_str());
            return 1;
        }
        benchmark::RegisterBenchmark(("layout/" + label).c_str(), benchLayout, path)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
