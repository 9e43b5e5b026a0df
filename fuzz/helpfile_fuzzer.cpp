// Feeds arbitrary bytes to the help file decoder. Besides running clean under
// the sanitizers, helpText must keep the promises of helpfile.h:
//
// - an empty file gives an empty text; any other file gives a text that ends
//   with CR LF;
// - the text is the GBK-decoded bytes with every line end (CR, or CR LF) made
//   CR LF and a final CR LF added when the last line has none; a lone LF stays
//   in its line. The check rebuilds that text in a second, plainer way;
// - GBK never uses the byte 0x0D inside a character, so every CR byte of the
//   file ends exactly one line: the text has one CR LF for each CR byte, plus
//   one when the last line has no line end of its own;
// - decoding never produces more characters than there are bytes.

#include "analysis/texts/helpfile.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "helpfile_fuzzer: %s\n", what);
    std::abort();
}

// The help text built another way: mark every line end, then write them all
// as CR LF.
QString expectedText(const QString &decoded) {
    if (decoded.isEmpty()) return {};
    QString text = decoded;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(QStringLiteral("\r"), QStringLiteral("\r\n"));
    if (!text.endsWith(QStringLiteral("\r\n"))) text.append(QStringLiteral("\r\n"));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = analysis::helpText(bytes);
    const QString decoded = analysis::decodeGbk(bytes);

    if (size == 0) {
        if (!text.isEmpty()) fail("an empty file gave a non-empty text");
        return 0;
    }
    if (decoded.isEmpty()) fail("non-empty bytes decoded to nothing");
    if (decoded.size() > qsizetype(size)) fail("more characters than bytes");
    if (!text.endsWith(QStringLiteral("\r\n"))) fail("the text does not end with CR LF");
    if (text != expectedText(decoded)) fail("the text is not the decoded lines, each with CR LF");

    const qsizetype crBytes = bytes.count('\r');
    if (decoded.count(u'\r') != crBytes) fail("a CR byte did not decode to CR");
    const bool lastLineOpen = !decoded.endsWith(u'\r') && !decoded.endsWith(QStringLiteral("\r\n"));
    if (text.count(QStringLiteral("\r\n")) != crBytes + (lastLineOpen ? 1 : 0))
        fail("the number of line ends differs from the CR bytes of the file");
    if (text.count(u'\r') != text.count(QStringLiteral("\r\n")))
        fail("a CR in the text is not followed by LF");
    return 0;
}
