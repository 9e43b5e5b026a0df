#include "windows/filedialog.h"

#include "windows/filecolumns.h"

#include <QFileDialog>
#include <QFileInfo>

#include <deque>

namespace {
QString &offeredFilter() {
    static QString filter;
    return filter;
}

// One answer is the files chosen at once; a single-file dialog takes the first.
std::deque<std::optional<QStringList>> &queuedAnswers() {
    static std::deque<std::optional<QStringList>> answers;
    return answers;
}

// The answer a test queued, if any, for the dialog offering this filter.
std::optional<std::optional<QStringList>> queuedAnswers(const QString &filter) {
    offeredFilter() = filter;
    if (queuedAnswers().empty()) return std::nullopt;
    std::optional<std::optional<QStringList>> answer(std::in_place, queuedAnswers().front());
    queuedAnswers().pop_front();
    return answer;
}

std::optional<std::optional<QString>> queuedAnswer(const QString &filter) {
    const auto answer = queuedAnswers(filter);
    if (!answer) return std::nullopt;
    if (!*answer || (*answer)->isEmpty()) return std::optional<QString>();
    return std::optional<QString>((*answer)->constFirst());
}

QStringList chosenFiles(QFileDialog &dialog) {
    // Qt's own dialog speaks the program's language; a desktop's dialog would
    // speak the desktop's.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new windows::FileColumns(&dialog));
    QStringList paths;
    if (dialog.exec() == QDialog::Accepted)
        for (const QString &path : dialog.selectedFiles())
            paths << QFileInfo(path).absoluteFilePath();
    return paths;
}

std::optional<QString> chosenFile(QFileDialog &dialog) {
    const QStringList paths = chosenFiles(dialog);
    return paths.isEmpty() ? std::nullopt : std::optional<QString>(paths.constFirst());
}
} // namespace

std::optional<QString> FileDialog::getOpenFileName(QWidget *parent, const QString &filter,
                                                   const QString &startIn) {
    if (const auto answer = queuedAnswer(filter)) return *answer;
    const QString directory = startIn.isEmpty() ? QString() : QFileInfo(startIn).absolutePath();
    QFileDialog dialog(parent, QStringLiteral("打开工作簿"), directory, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

QStringList FileDialog::getOpenFileNames(QWidget *parent, const QString &filter) {
    if (const auto answer = queuedAnswers(filter)) return answer->value_or(QStringList());
    QFileDialog dialog(parent, QStringLiteral("打开工作簿"), QString(), filter);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    return chosenFiles(dialog);
}

std::optional<QString> FileDialog::getExistingDirectory(QWidget *parent, const QString &caption) {
    if (const auto answer = queuedAnswer(QString())) return *answer;
    QFileDialog dialog(parent, caption);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return chosenFile(dialog);
}

std::optional<QString> FileDialog::getSaveFileName(QWidget *parent, const QString &caption,
                                                   const QString &filter, const QString &suggested,
                                                   const QString &suffix) {
    std::optional<QString> path;
    if (const auto answer = queuedAnswer(filter)) {
        path = *answer;
    } else {
        QFileDialog dialog(parent, caption, suggested, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        path = chosenFile(dialog);
    }
    // A folder given as the name stays one, for the export to refuse: an
    // ending added to "folder/" would write a hidden ".pdf" inside it.
    const bool folder = path && (path->endsWith(u'/') || QFileInfo(*path).isDir());
    if (path && !folder && !path->endsWith(u'.' + suffix, Qt::CaseInsensitive))
        *path += u'.' + suffix;
    return path;
}

void FileDialog::setNextFileName(const QString &path) {
    queuedAnswers().push_back(QStringList{path});
}

void FileDialog::setNextFileNames(const QStringList &paths) {
    queuedAnswers().push_back(paths);
}

void FileDialog::setNextCancel() {
    queuedAnswers().push_back(std::nullopt);
}

QString FileDialog::lastFilter() {
    return offeredFilter();
}
