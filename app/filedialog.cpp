#include "app/filedialog.h"

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
} // namespace

std::optional<QString> FileDialog::getOpenFileName(QWidget *parent, const QString &filter,
                                                   const QString &startIn) {
    offeredFilter() = filter;
    if (!queuedAnswers().empty()) {
        std::optional<QString> answer = queuedAnswers().front();
        queuedAnswers().pop_front();
        return answer;
    }
    const QString directory = startIn.isEmpty() ? QString() : QFileInfo(startIn).absolutePath();
    QFileDialog dialog(parent, QStringLiteral("打开工作簿"), directory, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog speaks the program's language; a desktop's dialog would
    // speak the desktop's.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
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
