#pragma once

// What the grade comparison and the whole-exam analysis share in reading
// their sources: how a class's workbook is opened, which sources name the
// same sheets twice, and the reading threads.

#include "analysis/grade/gradecomparison.h"
#include "analysis/grade/gradesource.h"
#include "analysis/texts/messages.h"
#include "workbook/workbook.h"

#include <QFileInfo>
#include <QString>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace analysis {

// Opens a class's workbook: read whole when small, mapped when large;
// anything but a regular file is refused as a file that can't be opened.
std::unique_ptr<Workbook> openClassWorkbook(const QString &path, int *error);

// A failure of the workbook layer, numbered, in the program's words.
SourceFailure sourceFailure(const QString &source, int number);

// The sheets a source names: one, or every one (none when its sheet is missing).
std::vector<int> sheetsOfSource(const ClassSource &source, const Workbook &workbook);

// For each source, the index of an earlier one that names the same sheets
// of the same file (same device and inode: a second name or a hard link),
// or nothing.
std::vector<std::optional<std::size_t>> repeatedSources(const std::vector<ClassSource> &sources);

// Reads source i and tells whether it was read without a failure.
using ReadSource = std::function<bool(std::size_t source)>;

// Runs the work of every index below count on up to threads threads (0: one
// per core), each with a worker of its own from newWorker, each taking the
// next index not yet taken.
using IndexWork = std::function<void(std::size_t index)>;
void runOnThreads(std::size_t count, int threads, const std::function<IndexWork()> &newWorker);

// Reads every source on a thread per core (control.threads), each thread
// with a reader of its own from newReader, taking the next source not yet
// taken. The watcher hears of one source at a time; cancelling leaves the
// sources not yet read as Cancelled.
void readEachSource(std::size_t count, const CompareControl &control,
                    const std::function<ReadSource()> &newReader);

// The results of reading every source as readEachSource does: newRead gives
// each thread its own function from a source's index to its Result (which
// has failures); a source that repeats an earlier one is not read again but
// fails, naming the earlier one.
template <typename Result, typename NewRead>
std::vector<Result> readUnrepeated(const std::vector<ClassSource> &sources,
                                   const CompareControl &control, const NewRead &newRead) {
    std::vector<Result> results(sources.size());
    const std::vector<std::optional<std::size_t>> repeats = repeatedSources(sources);
    readEachSource(sources.size(), control, [&]() -> ReadSource {
        return [&, read = newRead()](std::size_t i) {
            if (repeats[i])
                results[i].failures.push_back(
                    {sources[i].label, std::nullopt,
                     messages::sourceRepeated(sources[*repeats[i]].label)});
            else
                results[i] = read(i);
            return results[i].failures.empty();
        };
    });
    return results;
}

// Names the tables the sources gave (each Result's namedBySheet has one entry
// a table): after the sheet when the workbook gives more than one table, else
// after the file; a name already taken gets "（2）", "（3）"… in list order.
// nameOf(result, t) gives the table's name and whether it takes part in
// that numbering.
template <typename Result, typename NameOf>
void nameAfterSheetOrFile(const std::vector<ClassSource> &sources, std::vector<Result> &results,
                          const NameOf &nameOf) {
    std::map<QString, int> tablesOfFile;
    for (std::size_t i = 0; i < sources.size(); ++i)
        tablesOfFile[QFileInfo(sources[i].path).absoluteFilePath()] +=
            int(results[i].namedBySheet.size());
    std::map<QString, int> taken;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const QFileInfo file(sources[i].path);
        for (std::size_t t = 0; t < results[i].namedBySheet.size(); ++t) {
            const auto [name, numbered] = nameOf(results[i], t);
            if (!results[i].namedBySheet[t] && tablesOfFile[file.absoluteFilePath()] < 2)
                *name = file.completeBaseName();
            if (!numbered) continue;
            const int seen = ++taken[*name];
            if (seen > 1) *name += QStringLiteral("（%1）").arg(seen);
        }
    }
}

// Moves each result's failures to out, each with the index of its source.
template <typename Result>
void takeFailures(std::vector<Result> &results, std::vector<SourceFailure> *out) {
    for (std::size_t i = 0; i < results.size(); ++i)
        for (SourceFailure &failure : results[i].failures) {
            failure.sourceIndex = i;
            out->push_back(std::move(failure));
        }
}

} // namespace analysis
