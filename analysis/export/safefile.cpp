#include "analysis/export/safefile.h"

#include "analysis/texts/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace analysis {

namespace {

bool sameFile(const QString &a, const QString &b) {
    struct stat first {
    }, second{};
    return !a.isEmpty() && !b.isEmpty() && ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The mode the finished file gets: an existing target's, or what a newly
// created file would get.
mode_t fileMode(const QByteArray &target) {
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool syncToDisk(const QByteArray &path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

} // namespace

QString writeFileSafely(const QString &target, const QString &protectedPath,
                        const std::function<QString(const QString &temporaryPath)> &write) {
    return writeFileSafely(target, QStringList{protectedPath}, write);
}

QString writeFileSafely(const QString &target, const QStringList &protectedPaths,
                        const std::function<QString(const QString &temporaryPath)> &write) {
    const QFileInfo info(target);
    if (info.isDir()) return messages::exportIsDirectory(target);
    for (const QString &protectedPath : protectedPaths)
        if (sameFile(target, protectedPath)) return messages::exportIsSourceWorkbook(target);
    // A link is followed, so that the file it names is replaced, not the link.
    const QString finalPath = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray finalName = QFile::encodeName(finalPath);

    QTemporaryFile temporary(QFileInfo(finalPath).absolutePath() + QStringLiteral("/.") +
                             QFileInfo(finalPath).fileName() + QStringLiteral(".XXXXXX"));
    if (!temporary.open()) return messages::exportCannotWrite(target);
    temporary.close();
    const QByteArray temporaryName = QFile::encodeName(temporary.fileName());
    if (const QString failed = write(temporary.fileName()); !failed.isEmpty()) return failed;
    if (::chmod(temporaryName.constData(), fileMode(finalName)) != 0 ||
        !syncToDisk(temporaryName) ||
        std::rename(temporaryName.constData(), finalName.constData()) != 0)
        return messages::exportCannotWrite(target);
    temporary.setAutoRemove(false); // renamed: nothing of it is left to remove
    return {};
}

} // namespace analysis
