#include "analysis/texts/filenames.h"

#include <fcntl.h>
#include <unistd.h>

namespace analysis {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at `at`, or 0.
int sequenceLength(const QByteArray &bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0; };
    const uchar lead = byte(at);
    if (lead < 0x80) return 1;
    const bool continuation1 = (byte(at + 1) & 0xC0) == 0x80;
    const bool continuation2 = (byte(at + 2) & 0xC0) == 0x80;
    const bool continuation3 = (byte(at + 3) & 0xC0) == 0x80;
    if (lead >= 0xC2 && lead <= 0xDF) return continuation1 ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const uchar second = byte(at + 1);
        // No overlong form and no surrogate.
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0)) return 0;
        return continuation1 && continuation2 ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const uchar second = byte(at + 1);
        if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) return 0;
        return continuation1 && continuation2 && continuation3 ? 4 : 0;
    }
    return 0;
}

} // namespace

QString nameFromBytes(const QByteArray &bytes) {
    QString name;
    name.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = sequenceLength(bytes, at);
        if (length == 0) {
            name += QChar(char16_t(EscapeBase + uchar(bytes[at])));
            ++at;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + at, length);
        at += length;
    }
    return name;
}

QByteArray nameBytes(const QString &name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (u < EscapeBase + 0x80 || u > EscapeBase + 0xFF) continue;
        bytes += QStringView(name).mid(from, i - from).toUtf8();
        bytes += char(u - EscapeBase);
        from = i + 1;
    }
    bytes += QStringView(name).mid(from).toUtf8();
    return bytes;
}

OpenableName::OpenableName(const QString &name) : m_path(name) {
    const QByteArray bytes = nameBytes(name);
    if (bytes == name.toUtf8()) return;
    m_descriptor = ::open(bytes.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_descriptor >= 0) m_path = QStringLiteral("/proc/self/fd/%1").arg(m_descriptor);
}

OpenableName::~OpenableName() {
    if (m_descriptor >= 0) ::close(m_descriptor);
}

} // namespace analysis
