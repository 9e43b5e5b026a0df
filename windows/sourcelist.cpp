#include "windows/sourcelist.h"

#include "skin/skinnedbutton.h"
#include "windows/documentcommands.h"
#include "windows/filedialog.h"
#include "windows/settingsfields.h"
#include "workbook/workbook.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QVBoxLayout>

SourceList::SourceList(QWidget *window, QWidget *panel, QVBoxLayout *column, const Texts &texts,
                       int fixedHeight, std::function<bool()> busy)
    : QObject(window), m_window(window), m_texts(texts), m_busy(std::move(busy)) {
    column->addWidget(headingLabel(texts.heading));
    m_list = new QListWidget;
    m_list->setObjectName(QString::fromLatin1(texts.listName));
    if (fixedHeight > 0) {
        m_list->setFixedHeight(fixedHeight);
        column->addWidget(m_list);
    } else {
        column->addWidget(m_list, 1);
    }
    auto *buttons = new QHBoxLayout;
    SkinnedButton *addFilesButton =
        commandButton(panel, "addFilesButton", QStringLiteral("添加文件"), 1200);
    SkinnedButton *addFolderButton =
        commandButton(panel, "addFolderButton", QStringLiteral("添加文件夹"), 1400);
    SkinnedButton *removeButton =
        commandButton(panel, "removeButton", QStringLiteral("移　除"), 1200);
    for (SkinnedButton *button : {addFilesButton, addFolderButton, removeButton})
        buttons->addWidget(button);
    column->addLayout(buttons);
    m_everySheetBox = new QCheckBox(texts.everySheet);
    m_everySheetBox->setObjectName(QStringLiteral("everySheetBox"));
    column->addWidget(m_everySheetBox);
    connect(addFilesButton, &SkinnedButton::clicked, this, &SourceList::addFiles);
    connect(addFolderButton, &SkinnedButton::clicked, this, &SourceList::addFolder);
    connect(removeButton, &SkinnedButton::clicked, this, &SourceList::removeSelected);
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

void SourceList::addFiles() {
    addPaths(FileDialog::getOpenFileNames(
        m_window,
        QStringLiteral("所有工作簿 (%1);;所有文件 (*)").arg(analysis::workbookPatterns())));
}

void SourceList::addFolder() {
    if (const std::optional<QString> folder =
            FileDialog::getExistingDirectory(m_window, m_texts.folderTitle))
        addPaths({*folder});
}

void SourceList::addPaths(const QStringList &paths) {
    if (m_busy()) return;
    const bool wasEmpty = m_sources.empty();
    for (const analysis::ClassSource &source :
         analysis::sourcesOfPaths(paths, m_everySheetBox->isChecked())) {
        m_sources.push_back(source);
        auto *item = new QListWidgetItem(m_list);
        item->setToolTip(source.label);
        showState(m_list->count() - 1, analysis::sourceStateText(analysis::SourceState::Waiting));
    }
    emit changed(wasEmpty);
}

void SourceList::removeSelected() {
    const int row = m_list->currentRow();
    if (m_busy() || row < 0) return;
    m_sources.erase(m_sources.begin() + row);
    delete m_list->takeItem(row);
    emit changed(false);
}

void SourceList::showState(int row, const QString &state) {
    const analysis::ClassSource &source = m_sources[std::size_t(row)];
    QString name = QFileInfo(source.path).fileName();
    if (source.kind == analysis::ClassSource::Kind::EverySheet) name += m_texts.everySheetTag;
    m_list->item(row)->setText(name + QStringLiteral("　") + state);
}

std::function<void(std::size_t, analysis::SourceState)> SourceList::stateWatcher() {
    return [this](std::size_t source, analysis::SourceState state) {
        QMetaObject::invokeMethod(
            this,
            [this, source, state] { showState(int(source), analysis::sourceStateText(state)); },
            Qt::QueuedConnection);
    };
}

void SourceList::showWaiting() {
    for (int row = 0; row < m_list->count(); ++row)
        showState(row, analysis::sourceStateText(analysis::SourceState::Waiting));
}

// A failure is told beside its source, in the program's words.
void SourceList::showFailures(const std::vector<analysis::SourceFailure> &failures) {
    for (const analysis::SourceFailure &failure : failures)
        if (failure.sourceIndex < m_sources.size())
            showState(int(failure.sourceIndex), failure.message);
}

// Dropped files and folders join the list as the browse dialog's would.
bool SourceList::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_window) return false;
    if (event->type() == QEvent::DragEnter) {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (!m_busy() && enter->mimeData()->hasUrls()) enter->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        QStringList paths;
        for (const QUrl &url : drop->mimeData()->urls())
            if (url.isLocalFile()) paths << url.toLocalFile();
        addPaths(paths);
        drop->acceptProposedAction();
        return true;
    }
    return false;
}
