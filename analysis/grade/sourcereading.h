#pragma once

// What the grade comparison and the whole-exam analysis share in reading
// their sources: how a class's workbook is opened, which sources name the
// same sheets twice, and the reading threads.

#include "analysis/grade/gradecomparison.h"
#include "analysis/grade/gradesource.h"
#include "workbook/workbook.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace analysis {

// Opens a class's workbook: read whole when small, mapped when large;
// anything but a regular file is refused as a file that can't be opened.
std::unique_ptr<Workbook> openClassWorkbook(const QString &path, int *error);

// For each source, the index of an earlier one that names the same sheets
// of the same file (same device and inode: a second name or a hard link),
// or nothing.
std::vector<std::optional<std::size_t>> repeatedSources(const std::vector<ClassSource> &sources);

// Reads source i and tells whether it was read without a failure.
using ReadSource = std::function<bool(std::size_t source)>;

// Reads every source on a thread per core (control.threads), each thread
// with a reader of its own from newReader, taking the next source not yet
// taken. The watcher hears of one source at a time; cancelling leaves the
// sources not yet read as Cancelled.
void readEachSource(std::size_t count, const CompareControl &control,
                    const std::function<ReadSource()> &newReader);

} // namespace analysis
