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
    const QString path = QFileDialog::getOpenFileName(parent, QString(), directory, filter);
    if (path.isEmpty()) return std::nullopt;
    return QFileInfo(path).absoluteFilePath();
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
