#pragma once

#include <QIdentityProxyModel>

namespace windows {

// The file dialog's columns in the program's language: Qt names a folder's
// type "Folder" and writes the dates in the system locale's words whatever
// the translation loaded. Over a QFileSystemModel only.
class FileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override;
};

} // namespace windows
