#include "pages/slippdf.h"

#include "analysis/export/safefile.h"
#include "analysis/slips/slipfiles.h"
#include "analysis/texts/messages.h"
#include "pages/simplepdf.h"
#include "pages/slippainter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPdfWriter>

#include <algorithm>
#include <atomic>
#include <thread>

namespace pages {

namespace {

QString writePdf(const SlipLayout &layout, const QString &path, const QStringList &protectedPaths,
                 const std::vector<int> &pages, const QString &title) {
    // The PDF is made in memory; writeFileSafely checks every write of it.
    return analysis::writeFileSafely(path, protectedPaths, [&](QByteArray *bytes) {
        SimplePdf simple(title, analysis::messages::applicationTitle());
        paintSlipPages(simple, layout, pages);
        *bytes = simple.document();
        if (!bytes->isEmpty()) return QString();
        // What the simple writer can't draw as Qt would, Qt's writer does.
        QBuffer buffer(bytes);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setTitle(title);
            writer.setCreator(analysis::messages::applicationTitle());
            paintSlipPages(writer, layout, pages);
        }
        return QString();
    });
}

// The names in the folder no student's PDF may take: all but the regular
// files that are slips this program wrote for the student of that name.
QStringList takenNames(const QDir &folder) {
    QStringList taken;
    const QString creator = analysis::messages::applicationTitle();
    for (const QFileInfo &entry : folder.entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot)) {
        QFile file(entry.filePath());
        const bool ownSlip =
            entry.isFile() && !entry.isSymLink() &&
            entry.fileName().endsWith(QLatin1String(".pdf")) && file.open(QIODevice::ReadOnly) &&
            analysis::isSlipPdf(file.read(4096), analysis::slipPdfTitle(entry.fileName()), creator);
        if (!ownSlip) taken << entry.fileName();
    }
    return taken;
}

// Writes the students' files on a thread per core (up to 8): each file embeds
// its fonts anew, the most of the work. Returns the first failure in the
// students' order; *written counts the files written.
QString writeEach(const SlipLayout &layout, const QDir &folder,
                  const std::vector<analysis::SlipFile> &files, const QStringList &protectedPaths,
                  int *written) {
    std::vector<QString> failures(files.size());
    std::atomic<std::size_t> next{0};
    std::atomic<int> done{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        for (std::size_t s = next++; s < files.size() && !failed; s = next++) {
            failures[s] = writePdf(layout, folder.filePath(files[s].fileName), protectedPaths,
                                   {int(s)}, analysis::slipPdfTitle(files[s].fileName));
            if (failures[s].isEmpty())
                ++done;
            else
                failed = true;
        }
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads && t < files.size(); ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &thread : pool)
        thread.join();
    *written = done;
    for (const QString &failure : failures)
        if (!failure.isEmpty()) return failure;
    return {};
}

} // namespace

SlipLayout layoutRequestedSlips(const analysis::SlipPdfRequest &request, SlipForm form) {
    std::vector<analysis::SlipContent> contents;
    contents.reserve(request.students->size());
    for (const analysis::SlipStudent &student : *request.students)
        contents.push_back(
            analysis::slipContent(request.exam, student, request.options, request.settings));
    return layoutSlips(std::move(contents), form);
}

QString writeSlipsPdf(const SlipLayout &layout, const QString &path,
                      const QStringList &protectedPaths) {
    return writePdf(layout, path, protectedPaths, {}, QStringLiteral("成绩条"));
}

analysis::SlipPdfResult writeStudentPdfs(const analysis::SlipPdfRequest &request) {
    analysis::SlipPdfResult result;
    const QDir folder(request.perStudentFolder);
    if (!QDir().mkpath(folder.absolutePath()) || !QFileInfo(folder.absolutePath()).isWritable()) {
        result.failure = analysis::messages::slipFolderInvalid(request.perStudentFolder);
        return result;
    }
    const std::vector<analysis::SlipFile> files =
        analysis::slipFileNames(*request.students, takenNames(folder));
    const SlipLayout layout = layoutRequestedSlips(request, SlipForm::PagePerStudent);
    for (std::size_t s = 0; s < files.size(); ++s) {
        const analysis::SlipStudent &student = (*request.students)[s];
        if (files[s].changed)
            result.renamed << analysis::messages::slipFileRenamed(student.number, student.name,
                                                                  files[s].fileName);
    }
    result.failure = writeEach(layout, folder, files, request.protectedPaths, &result.written);
    return result;
}

analysis::SlipPdfResult writeRequestedSlips(const analysis::SlipPdfRequest &request) {
    analysis::SlipPdfResult result;
    if (!request.path.isEmpty()) {
        const SlipLayout layout = layoutRequestedSlips(
            request, request.pagePerStudent ? SlipForm::PagePerStudent : SlipForm::Strips);
        result.failure = writeSlipsPdf(layout, request.path, request.protectedPaths);
        if (!result.failure.isEmpty()) return result;
    }
    if (!request.perStudentFolder.isEmpty()) result = writeStudentPdfs(request);
    result.oneFile = !request.path.isEmpty();
    return result;
}

} // namespace pages
