#include "analysis/grade/sourcereading.h"

#include "analysis/grid/workbookimport.h"
#include "analysis/texts/filenames.h"
#include "workbook/bytesource.h"
#include "workbook/importerrors.h"
#include "workbook/open/openworkbook.h"

#include <QFileInfo>
#include <QThread>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <numeric>
#include <thread>
#include <tuple>

namespace analysis {

// A class's workbook is small: it is read whole at once, since mapping and
// unmapping thousands of files from several threads costs more than copying
// them (each unmapping stops the other threads to flush their page tables).
// A larger one is mapped, as the import maps it.
// Anything but a regular file (a named pipe, which would never end) is
// refused as a file that can't be opened.
SourceFailure sourceFailure(const QString &source, int number) {
    return {source, number, importFailureMessage(number)};
}

std::vector<int> sheetsOfSource(const ClassSource &source, const Workbook &workbook) {
    const QStringList names = workbook.sheetNames();
    if (source.kind == ClassSource::Kind::EverySheet) {
        std::vector<int> all(std::size_t(names.size()));
        std::iota(all.begin(), all.end(), 0);
        return all;
    }
    if (source.sheet.isEmpty()) return names.isEmpty() ? std::vector<int>{} : std::vector<int>{0};
    const int index = workbook.sheetIndex(source.sheet);
    return index < 0 ? std::vector<int>{} : std::vector<int>{index};
}

std::unique_ptr<Workbook> openClassWorkbook(const QString &path, int *error) {
    constexpr std::uint64_t WholeReadLimit = 1 << 20;
    const OpenableName name(path);
    const QFileInfo info(name.path());
    if (!info.isFile()) {
        *error = CannotOpen;
        return nullptr;
    }
    if (std::optional<QByteArray> bytes = readSmallFile(name.path(), WholeReadLimit))
        return openWorkbook(memorySource(std::move(*bytes)), error);
    return openWorkbook(name.path(), error);
}

// For each source, the index of an earlier one that names the same sheets
// of the same file (same device and inode: a second name or a hard link),
// or nothing.
std::vector<std::optional<std::size_t>> repeatedSources(const std::vector<ClassSource> &sources) {
    std::map<std::tuple<dev_t, ino_t, int, QString>, std::size_t> first;
    std::vector<std::optional<std::size_t>> repeats(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        struct stat status {};
        if (sources[i].kind == ClassSource::Kind::Folder ||
            ::stat(nameBytes(sources[i].path).constData(), &status) != 0)
            continue;
        const auto [at, added] = first.emplace(
            std::tuple{status.st_dev, status.st_ino, int(sources[i].kind), sources[i].sheet}, i);
        if (!added) repeats[i] = at->second;
    }
    return repeats;
}

void readEachSource(std::size_t count, const CompareControl &control,
                    const std::function<ReadSource()> &newReader) {
    std::mutex reporting;
    const auto report = [&](std::size_t source, SourceState state) {
        if (!control.progress) return;
        const std::lock_guard lock(reporting);
        control.progress(source, state);
    };
    runOnThreads(count, control.threads, [&]() -> IndexWork {
        return [&, read = newReader()](std::size_t i) {
            if (control.cancel && control.cancel->load()) {
                report(i, SourceState::Cancelled);
                return;
            }
            report(i, SourceState::Reading);
            report(i, read(i) ? SourceState::Read : SourceState::Failed);
        };
    });
}

void runOnThreads(std::size_t count, int threads, const std::function<IndexWork()> &newWorker) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        const IndexWork job = newWorker();
        for (std::size_t i = next++; i < count; i = next++)
            job(i);
    };
    const int wanted = threads > 0 ? threads : QThread::idealThreadCount();
    const std::size_t used = std::clamp<std::size_t>(std::size_t(std::max(wanted, 1)), 1,
                                                     std::max<std::size_t>(count, 1));
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < used; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
}

} // namespace analysis
