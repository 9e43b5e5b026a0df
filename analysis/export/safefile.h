#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace analysis {

// Writes a file so that nothing is lost: `produce` makes the file's bytes in
// memory and returns an empty text or the message of its failure; only then
// are they written, every write checked, into a temporary file in the
// target's folder (unnamed where the file system allows, else a short hidden
// name removed on a terminal's signals), which replaces the target once all
// of it is on disk. The target is refused when it is a directory, not a
// regular file (a named pipe, a device; a link is followed) or the same file
// (same device and inode, whatever the name) as one of `protectedPaths`.
// Names are taken as their bytes (see nameBytes). Returns an empty text, or
// the message of the failure (a full disk told as such); on every failure an
// existing target stays as it was, and no temporary file is left.
QString writeFileSafely(const QString &target, const QStringList &protectedPaths,
                        const std::function<QString(QByteArray *bytes)> &produce);

} // namespace analysis
