#include "analysis/export/safefile.h"

#include "analysis/export/temporaryfile.h"
#include "analysis/texts/filenames.h"
#include "analysis/texts/messages.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace analysis {

namespace {

bool sameFile(const QByteArray &a, const QString &b) {
    struct stat first {
    }, second{};
    return !b.isEmpty() && ::stat(a.constData(), &first) == 0 &&
           ::stat(nameBytes(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// The mode the finished file gets: an existing target's, or what a newly
// created file would get.
mode_t fileMode(const struct stat *existing) {
    if (existing) return existing->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

QByteArray folderOf(const QByteArray &path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// Every byte written, or the error number of the write that failed.
int writeAll(int descriptor, const QByteArray &bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(descriptor, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : ENOSPC;
        done += written;
    }
    return ::fsync(descriptor) == 0 ? 0 : errno;
}

QString failureMessage(int error, const QString &target) {
    if (error == ENOSPC || error == EDQUOT) return messages::exportDiskFull(target);
    if (error == ENAMETOOLONG) return messages::exportNameTooLong(target);
    return messages::exportCannotWrite(target);
}

// Writes the bytes beside finalName and puts them in its place; returns 0 or
// the error number of the step that failed.
int replaceFile(const QByteArray &finalName, mode_t mode, const QByteArray &bytes) {
    TemporaryFile temporary(folderOf(finalName), mode);
    if (temporary.error()) return temporary.error();
    if (const int error = writeAll(temporary.descriptor(), bytes)) return error;
    if (::fchmod(temporary.descriptor(), mode) != 0) return errno;
    return temporary.replace(finalName);
}

// Why the target can't be written, or nothing; finalName is what it names.
QString refusal(const QString &target, const QStringList &protectedPaths, QByteArray *finalName,
                struct stat *existing, bool *exists) {
    const QByteArray name = nameBytes(target);
    *exists = ::stat(name.constData(), existing) == 0;
    if (*exists && S_ISDIR(existing->st_mode)) return messages::exportIsDirectory(target);
    if (*exists && !S_ISREG(existing->st_mode)) return messages::exportNotAFile(target);
    for (const QString &protectedPath : protectedPaths)
        if (sameFile(name, protectedPath)) return messages::exportIsSourceWorkbook(target);
    // A link is followed, so that the file it names is replaced, not the link.
    char resolved[PATH_MAX];
    *finalName = *exists && ::realpath(name.constData(), resolved) ? QByteArray(resolved) : name;
    return {};
}

} // namespace

QString writeFileSafely(const QString &target, const QStringList &protectedPaths,
                        const std::function<QString(QByteArray *bytes)> &produce) {
    QByteArray finalName;
    struct stat existing {};
    bool exists = false;
    if (const QString refused = refusal(target, protectedPaths, &finalName, &existing, &exists);
        !refused.isEmpty())
        return refused;
    QByteArray bytes;
    if (const QString failed = produce(&bytes); !failed.isEmpty()) return failed;
    const int error = replaceFile(finalName, fileMode(exists ? &existing : nullptr), bytes);
    return error ? failureMessage(error, target) : QString();
}

} // namespace analysis
