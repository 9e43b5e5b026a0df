#pragma once

#include <QString>

#include <optional>

class QWidget;

// The open-file dialog of the browse command. Tests queue the answers the
// dialog would give, so that no dialog ever opens under them.
namespace FileDialog {

// The chosen file's full path, or nothing when the user cancels.
std::optional<QString> getOpenFileName(QWidget *parent, const QString &filter,
                                       const QString &startIn);

void setNextFileName(const QString &path);
void setNextCancel();
// The filter the last call offered, for tests.
QString lastFilter();

} // namespace FileDialog
