#pragma once

#include <QStringList>

#include <optional>

class QWidget;

// The open-file dialog of the browse command and the save dialogs of the
// exports. Tests queue the answers the dialogs would give, so that no dialog
// ever opens under them.
namespace FileDialog {

// The chosen file's full path, or nothing when the user cancels.
std::optional<QString> getOpenFileName(QWidget *parent, const QString &filter,
                                       const QString &startIn);

// The chosen files' full paths (several at once), empty when the user cancels.
QStringList getOpenFileNames(QWidget *parent, const QString &filter);

// The chosen folder's full path, or nothing when the user cancels.
std::optional<QString> getExistingDirectory(QWidget *parent, const QString &caption);

// The full path to write, or nothing when the user cancels; a name without
// the filter's ending gets it, a folder does not.
std::optional<QString> getSaveFileName(QWidget *parent, const QString &caption,
                                       const QString &filter, const QString &suggested,
                                       const QString &suffix);

void setNextFileName(const QString &path);
void setNextFileNames(const QStringList &paths); // the answer of one multiple choice
void setNextCancel();
// The filter the last call offered, for tests.
QString lastFilter();

} // namespace FileDialog
