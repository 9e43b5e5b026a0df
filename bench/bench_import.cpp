// Times the workbook import: in process (opening the workbook alone, and the
// import of the 100 grid rows) and as a whole `score-report WORKBOOK --json`
// process, for each workbook given. For the class workbooks (label class...)
// also the class analysis of the 100 grid rows in process, and the whole
// `score-report WORKBOOK --analysis --json` and `--export FILE.xlsx` runs.
//
//   bench_import [benchmark flags] [LABEL=]WORKBOOK...
//
// Without workbook arguments, the workbooks are taken from the environment:
// SCORE_BENCH_CLASS, SCORE_BENCH_LARGE and SCORE_BENCH_LARGE_GNUMERIC name
// files, and SCORE_BENCH_DIR a directory holding class30.xls, large-xlwt.xls
// and large-gnumeric.xls, and the 60,000-row large-openpyxl.xlsx and
// large-gnumeric.ods (as make_workbooks.py writes them). Each benchmark is
// repeated (10 times unless --benchmark_repetitions says otherwise) and the
// console shows the aggregates: the median is the figure to read.

#include "analysis/classanalysis/analysissettings.h"
#include "analysis/classanalysis/classanalysis.h"
#include "analysis/grid/gridrows.h"
#include "analysis/grid/scoregrid.h"
#include "analysis/grid/workbookimport.h"
#include "workbook/open/openworkbook.h"

#include "childprocess.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct WorkbookFile {
    std::string label;
    std::string path;
};

void addFromEnvironment(std::vector<WorkbookFile> &files, const char *variable, const char *label) {
    if (const char *path = std::getenv(variable); path && *path) files.push_back({label, path});
}

void addFromDirectory(std::vector<WorkbookFile> &files, const std::string &directory,
                      const char *label, const char *name) {
    for (const WorkbookFile &file : files)
        if (file.label == label) return;
    const std::string path = directory + '/' + name;
    if (QFileInfo::exists(QString::fromStdString(path))) files.push_back({label, path});
}

std::vector<WorkbookFile> workbookFiles(int argc, char **argv) {
    std::vector<WorkbookFile> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (equals != std::string::npos && equals > 0)
            files.push_back({argument.substr(0, equals), argument.substr(equals + 1)});
        else
            files.push_back(
                {QFileInfo(QString::fromStdString(argument)).completeBaseName().toStdString(),
                 argument});
    }
    if (!files.empty()) return files;
    addFromEnvironment(files, "SCORE_BENCH_CLASS", "class30");
    addFromEnvironment(files, "SCORE_BENCH_LARGE", "large-xlwt");
    addFromEnvironment(files, "SCORE_BENCH_LARGE_GNUMERIC", "large-gnumeric");
    if (const char *directory = std::getenv("SCORE_BENCH_DIR"); directory && *directory) {
        addFromDirectory(files, directory, "class30", "class30.xls");
        addFromDirectory(files, directory, "large-xlwt", "large-xlwt.xls");
        addFromDirectory(files, directory, "large-gnumeric", "large-gnumeric.xls");
        addFromDirectory(files, directory, "large-xlsx", "large-openpyxl.xlsx");
        addFromDirectory(files, directory, "large-ods", "large-gnumeric.ods");
    }
    return files;
}

analysis::ImportFields importFields(const std::string &path) {
    analysis::ImportFields fields;
    fields.path = QString::fromStdString(path);
    return fields;
}

// An import that fails, or brings no student into the first grid row, would
// time the wrong thing.
std::string checkImport(const std::string &path) {
    analysis::ScoreGrid grid;
    const analysis::ImportOutcome outcome = analysis::importWorkbook(importFields(path), grid);
    if (!outcome.ok()) return "import failed: " + outcome.message.toStdString();
    if (grid.text(0, analysis::ScoreGrid::NumberColumn).isEmpty() ||
        grid.text(0, analysis::ScoreGrid::NameColumn).isEmpty())
        return "the first grid row is empty";
    return {};
}

void benchOpen(benchmark::State &state, const std::string &path) {
    const QString file = QString::fromStdString(path);
    for (auto _ : state) {
        int error = 0;
        const std::unique_ptr<analysis::Workbook> workbook = analysis::openWorkbook(file, &error);
        if (!workbook) {
            state.SkipWithError("the workbook can't be opened");
            break;
        }
        benchmark::DoNotOptimize(workbook->sheetIndex(QStringLiteral("Sheet1")));
    }
}

void benchImport(benchmark::State &state, const std::string &path) {
    const analysis::ImportFields fields = importFields(path);
    analysis::ScoreGrid grid;
    for (auto _ : state) {
        const analysis::ImportOutcome outcome = analysis::importWorkbook(fields, grid);
        if (!outcome.ok()) {
            state.SkipWithError("import failed");
            break;
        }
        benchmark::DoNotOptimize(grid);
    }
}

// The analysis of the 100 grid rows (the class size left empty: every row
// with any text), from the grid to every figure.
void benchAnalysis(benchmark::State &state, const std::string &path) {
    analysis::ScoreGrid grid;
    if (!analysis::importWorkbook(importFields(path), grid).ok()) {
        state.SkipWithError("import failed");
        return;
    }
    const analysis::AnalysisSettings settings = analysis::defaultAnalysisSettings();
    for (auto _ : state) {
        const analysis::GridRowsOutcome rows = analysis::gridAnalysisInput(grid, QString());
        benchmark::DoNotOptimize(analysis::analyseClass(*rows.input, settings));
    }
}

// The bytes of the whole file, walked as the sheet walk goes (a 16-bit length
// every 16 bytes, the records' usual stride), in the two ways a reader can
// have them: in place in a mapping, prefetching ahead and letting 2 MiB
// behind it go at a time, as the .xls reader does; or copied by read() into
// one reused buffer of 1 MiB.
std::uint64_t walkBytes(const std::uint8_t *bytes, std::size_t length) {
    std::uint64_t sum = 0;
    for (std::size_t at = 0; at + 2 <= length; at += 16)
        sum += std::uint64_t(bytes[at]) | std::uint64_t(bytes[at + 1]) << 8;
    return sum;
}

void benchWalkMapped(benchmark::State &state, const std::string &path) {
    constexpr std::size_t Batch = 2u << 20;
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (fd < 0 || fstat(fd, &info) != 0 || info.st_size == 0) {
            state.SkipWithError("the file can't be opened");
            if (fd >= 0) close(fd);
            break;
        }
        const auto length = std::size_t(info.st_size);
        void *mapped = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
        close(fd);
        if (mapped == MAP_FAILED) {
            state.SkipWithError("the file can't be mapped");
            break;
        }
        const auto *bytes = static_cast<const std::uint8_t *>(mapped);
        std::uint64_t sum = 0;
        for (std::size_t at = 0; at < length; at += Batch) {
            const std::size_t part = std::min(Batch, length - at);
            for (std::size_t ahead = 0; ahead < part; ahead += 2048)
                __builtin_prefetch(bytes + at + ahead + 2048);
            sum += walkBytes(bytes + at, part);
            if (part == Batch) madvise(const_cast<std::uint8_t *>(bytes + at), part, MADV_DONTNEED);
        }
        munmap(mapped, length);
        benchmark::DoNotOptimize(sum);
    }
}

void benchWalkRead(benchmark::State &state, const std::string &path) {
    std::vector<std::uint8_t> buffer(1u << 20);
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            state.SkipWithError("the file can't be opened");
            break;
        }
        std::uint64_t sum = 0;
        ssize_t got = 0;
        while ((got = read(fd, buffer.data(), buffer.size())) > 0)
            sum += walkBytes(buffer.data(), std::size_t(got));
        close(fd);
        benchmark::DoNotOptimize(sum);
    }
}

// The time is the wall-clock time of the whole score-report run with these
// arguments after the workbook, start-up included; child_cpu_ms, the CPU time
// the process used, is less disturbed by other load.
void benchScoreReport(benchmark::State &state, const std::string &path,
                      const std::vector<std::string> &options) {
    double cpuMs = 0;
    std::vector<std::string> arguments{SCORE_REPORT_EXECUTABLE, path};
    arguments.insert(arguments.end(), options.begin(), options.end());
    for (auto _ : state) {
        if (const int status = runChild(arguments, {}, &cpuMs); status != 0) {
            state.SkipWithError(
                ("score-report exited with status " + std::to_string(status)).c_str());
            break;
        }
    }
    state.counters["child_cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
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
    for (int i = 1; i < count; ++i) {
        if (std::string_view(arguments[std::size_t(i)]).starts_with("--")) {
            std::fprintf(stderr, "bench_import: unknown option %s\n", arguments[std::size_t(i)]);
            return 64;
        }
    }

    const std::vector<WorkbookFile> files = workbookFiles(count, arguments.data());
    if (files.empty()) {
        std::fprintf(stderr, "bench_import: no workbooks; give [LABEL=]PATH arguments or set "
                             "SCORE_BENCH_DIR (see make_workbooks.py)\n");
        return 64;
    }
    for (const WorkbookFile &file : files) {
        if (const std::string problem = checkImport(file.path); !problem.empty()) {
            std::fprintf(stderr, "bench_import: %s: %s\n", file.path.c_str(), problem.c_str());
            return 1;
        }
    }

    for (const WorkbookFile &file : files) {
        benchmark::RegisterBenchmark(("open/" + file.label).c_str(), benchOpen, file.path)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("import/" + file.label).c_str(), benchImport, file.path)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    // Both ways of walking a large sheet's bytes, for the workbooks whose
    // sheets are walked whole (no row-block index).
    for (const WorkbookFile &file : files) {
        if (file.label.starts_with("class")) continue;
        benchmark::RegisterBenchmark(("walk_mapped/" + file.label).c_str(), benchWalkMapped,
                                     file.path)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("walk_read/" + file.label).c_str(), benchWalkRead, file.path)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    const std::string exportPath =
        QDir::temp().filePath(QStringLiteral("bench_import_export.xlsx")).toStdString();
    for (const WorkbookFile &file : files) {
        const bool isClass = file.label.starts_with("class");
        if (isClass)
            benchmark::RegisterBenchmark(("analysis/" + file.label).c_str(), benchAnalysis,
                                         file.path)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        const std::pair<std::string, std::vector<std::string>> runs[] = {
            {"score_report/", {"--json"}},
            {"score_report_analysis/", {"--analysis", "--json"}},
            {"score_report_export/", {"--export", exportPath}}};
        for (const auto &[name, options] : runs)
            if (isClass || name == "score_report/")
                benchmark::RegisterBenchmark((name + file.label).c_str(), benchScoreReport,
                                             file.path, options)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(QString::fromStdString(exportPath));
    return 0;
}
