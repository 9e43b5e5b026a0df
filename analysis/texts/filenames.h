#pragma once

#include <QByteArray>
#include <QString>

namespace analysis {

// A file name's bytes as text, without loss: valid UTF-8 is decoded, and each
// byte that is not part of it becomes U+DC00 + the byte (U+DC80…U+DCFF, lone
// low surrogates, which no decoded text holds), so that nameBytes
// gives the bytes back. Qt's own decoding would turn them into U+FFFD and
// name another file.
QString nameFromBytes(const QByteArray &bytes);
QByteArray nameBytes(const QString &name);

// A name Qt's file classes can open: the name itself, or, when its bytes are
// not UTF-8, the file opened by its bytes and named through /proc/self/fd.
// The descriptor is closed with this object; a reader that opened the name
// keeps the file open on its own.
class OpenableName {
public:
    explicit OpenableName(const QString &name);
    ~OpenableName();
    OpenableName(const OpenableName &) = delete;
    OpenableName &operator=(const OpenableName &) = delete;
    const QString &path() const { return m_path; }

private:
    QString m_path;
    int m_descriptor = -1;
};

} // namespace analysis
