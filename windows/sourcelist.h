#pragma once

#include "analysis/grade/gradecomparison.h"
#include "analysis/grade/gradesource.h"

#include <QObject>

#include <functional>
#include <vector>

class QCheckBox;
class QListWidget;
class QVBoxLayout;
class QWidget;
class SkinnedButton;

// The list of sources the grade comparison and the exam windows read: its
// heading, the list with each source's state, 添加文件 / 添加文件夹 / 移除,
// the check for every sheet, and the files and folders dropped on the
// window. While busy() holds (a run reads the list) nothing is added or
// removed.
class SourceList : public QObject {
    Q_OBJECT

public:
    struct Texts {
        QString heading;       // above the list
        QString everySheet;    // the check's caption
        QString everySheetTag; // after the name of a file read sheet by sheet
        QString folderTitle;   // the folder dialog's title
        const char *listName;  // the list's object name
    };

    // Builds the parts into column of panel; a list of fixedHeight, or
    // taking the column's room when it is 0. Drops on window join the list.
    SourceList(QWidget *window, QWidget *panel, QVBoxLayout *column, const Texts &texts,
               int fixedHeight, std::function<bool()> busy);

    const std::vector<analysis::ClassSource> &sources() const { return m_sources; }

    // Adds workbooks and folders, each folder as its workbooks.
    void addPaths(const QStringList &paths);
    void addFiles();
    void addFolder();
    void removeSelected();

    void showState(int row, const QString &state);
    // For the reading threads: each source's state, handed to the list's
    // own thread and shown there.
    std::function<void(std::size_t source, analysis::SourceState state)> stateWatcher();
    void showWaiting();
    void showFailures(const std::vector<analysis::SourceFailure> &failures);

signals:
    // The list was added to or taken from; wasEmpty: it held nothing before.
    void changed(bool wasEmpty);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    Texts m_texts;
    std::function<bool()> m_busy;
    QListWidget *m_list;
    QCheckBox *m_everySheetBox;                   // files added from now on: every sheet
    std::vector<analysis::ClassSource> m_sources; // the list, folders expanded
};
