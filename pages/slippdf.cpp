#include "pages/slippdf.h"

#include "analysis/export/safefile.h"
#include "analysis/slips/slipfiles.h"
#include "analysis/texts/messages.h"
#include "pages/slippainter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPdfWriter>

namespace pages {

namespace {

QString writePdf(const SlipLayout &layout, const QString &path, const QStringList &protectedPaths,
                 const std::vector<int> &pages, const QString &title) {
    // The PDF is made in memory; writeFileSafely checks every write of it.
    return analysis::writeFileSafely(path, protectedPaths, [&](QByteArray *bytes) {
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
        result.failure =
            writePdf(layout, folder.filePath(files[s].fileName), request.protectedPaths, {int(s)},
                     analysis::slipPdfTitle(files[s].fileName));
        if (!result.failure.isEmpty()) return result;
        ++result.written;
    }
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
    if (!request.perStudentFolder.isEmpty()) {
        result = writeStudentPdfs(request);
    }
    return result;
}

} // namespace pages
