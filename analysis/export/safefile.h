#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace analysis {

// Writes a file so that nothing is lost: `write` fills a temporary file beside
// the target and returns an empty text or the message of its failure; the
// file replaces the target only when `write` succeeded. The
// target is refused when it is a directory or the same file (same device and
// inode, whatever the name) as `protectedPath`. Returns an empty text, or the
// message of the failure; on every failure an existing target stays as it was.
QString writeFileSafely(const QString &target, const QString &protectedPath,
                        const std::function<QString(const QString &temporaryPath)> &write);
// The same, refusing a target that is any of the protected files.
QString writeFileSafely(const QString &target, const QStringList &protectedPaths,
                        const std::function<QString(const QString &temporaryPath)> &write);

} // namespace analysis
