#include "analysis/texts/helpfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <iconv.h>
#include <vector>

namespace analysis {

QString decodeGbk(const QByteArray &bytes) {
    iconv_t converter = iconv_open("UTF-16LE", "GBK");
    if (converter == iconv_t(-1))
        return QString::fromLatin1(bytes); // cannot happen with glibc; keep the bytes visible
    QString out;
    out.reserve(bytes.size());
    std::vector<char> buffer(64 * 1024);
    char *in = const_cast<char *>(bytes.constData());
    std::size_t inLeft = std::size_t(bytes.size());
    while (inLeft > 0) {
        char *outPointer = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
        const std::size_t produced = buffer.size() - outLeft;
        out.append(reinterpret_cast<const QChar *>(buffer.data()), qsizetype(produced / 2));
        if (result != std::size_t(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or cut-off sequence: mark it and go on with the next byte.
        out.append(QChar::ReplacementCharacter);
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    return out;
}

QString helpText(const QByteArray &gbkBytes) {
    const QString decoded = decodeGbk(gbkBytes);
    QString text;
    text.reserve(decoded.size() + decoded.size() / 16);
    qsizetype lineStart = 0;
    const qsizetype size = decoded.size();
    while (lineStart < size) {
        qsizetype end = decoded.indexOf(u'\r', lineStart);
        if (end < 0) end = size;
        text.append(QStringView(decoded).sliced(lineStart, end - lineStart));
        text.append(u"\r\n");
        lineStart = end + 1;
        if (end < size && lineStart < size && decoded[lineStart] == u'\n')
            ++lineStart; // CR LF is one line end
    }
    return text;
}

QString helpFileFailureMessage() {
    return QStringLiteral("无法打开帮助文件！");
}

HelpFile readHelpFile(const QString &path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {false, helpFileFailureMessage()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return {false, helpFileFailureMessage()};
    return {true, helpText(bytes)};
}

} // namespace analysis
