#include "windows/filedialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include <deque>

namespace {
QString &offeredFilter() {
    static QString filter;
    return filter;
}

std::deque<std::optional<QString>> &queuedAnswers() {
    static std::deque<std::optional<QString>> answers;
    return answers;
}

// The answer a test queued, if any, for the dialog offering this filter.
std::optional<std::optional<QString>> queuedAnswer(const QString &filter) {
    offeredFilter() = filter;
    if (queuedAnswers().empty()) return std::nullopt;
    std::optional<std::optional<QString>> answer(std::in_place, queuedAnswers().front());
    queuedAnswers().pop_front();
    return answer;
}

std::optional<QString> chosenFile(QFileDialog &dialog) {
    // Qt's own dialog speaks the program's language; a desktop's dialog would
    // speak the desktop's.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
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
    if (path && !path->endsWith(u'.' + suffix, Qt::CaseInsensitive)) *path += u'.' + suffix;
    return path;
}

void FileDialog::setNextFileName(const QString &path) {
    queuedAnswers().push_back(path);
}

void FileDialog::setNextCancel() {
    queuedAnswers().push_back(std::nullopt);
}

QString FileDialog::lastFilter() {
    return offeredFilter();
}
