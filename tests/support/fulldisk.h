#pragma once

// A small file system of its own for one test, filled up around an old
// file: an export onto it must fail with the full-disk message and leave the
// old file as it was. Mounting needs root; elsewhere the test is skipped.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <unistd.h>

class FullDisk {
public:
    // oldFile holds "old"; all but freePages pages of the rest are taken.
    explicit FullDisk(const QString &oldFile, int freePages = 0) {
        if (::geteuid() != 0) {
            m_unavailable = QStringLiteral("mounting a small file system needs root");
            return;
        }
        m_mountPoint = QFile::encodeName(m_dir.path());
        if (::mount("tmpfs", m_mountPoint.constData(), "tmpfs", 0, "size=256k") != 0) {
            m_unavailable = QStringLiteral("tmpfs can't be mounted here");
            return;
        }
        m_mounted = true;
        QFile old(path(oldFile)), fill(path(QStringLiteral("fill")));
        m_filled = old.open(QIODevice::WriteOnly) && old.write("old") == 3 && old.flush() &&
                   fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        while (m_filled && fill.write(QByteArray(4096, 'x')) == 4096) {
        }
        m_filled = m_filled && fill.resize(fill.size() - 4096 * freePages);
    }
    ~FullDisk() {
        if (m_mounted) ::umount(m_mountPoint.constData());
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    // Why the disk can't be had here; empty when it is mounted.
    QString unavailable() const { return m_unavailable; }
    bool filled() const { return m_filled; }
    QString folder() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QByteArray contents(const QString &name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_mountPoint;
    QString m_unavailable;
    bool m_mounted = false, m_filled = false;
};
