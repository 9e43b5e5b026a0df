#include "windows/filecolumns.h"

#include <QDateTime>
#include <QFileSystemModel>

namespace windows {

namespace {
// QFileSystemModel's columns.
constexpr int TypeColumn = 2, DateColumn = 3;
} // namespace

QVariant FileColumns::data(const QModelIndex &index, int role) const {
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    const int column = index.column();
    if (!files || role != Qt::DisplayRole || (column != TypeColumn && column != DateColumn))
        return QIdentityProxyModel::data(index, role);
    const QFileInfo info = files->fileInfo(mapToSource(index));
    if (column == DateColumn) return info.lastModified().toString(QStringLiteral("yyyy/M/d HH:mm"));
    if (info.isDir()) return QStringLiteral("文件夹");
    // The MIME database's comments are English where the system locale is.
    const QString suffix = info.suffix().toUpper();
    return suffix.isEmpty() ? QStringLiteral("文件") : suffix + QStringLiteral(" 文件");
}

} // namespace windows
