#pragma once

#include "workbook/bytesource.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace analysis::text {

// Whether bytes that are neither a zip nor a compound file are text in one of
// the encodings decodeText reads: judged from their first 4 KiB, where a
// binary file's control characters show at once. A text file damaged by a
// stray NUL still counts as text, and decoding then refuses it.
bool looksLikeText(const std::uint8_t *data, std::size_t size);

// The encoding of a text file as decodeText chooses it, told from its bytes
// without decoding them: a byte-order mark decides; else UTF-8 if every byte
// sequence is UTF-8, else GB18030. None for text that no encoding fits (UTF-8
// damaged here and there, a NUL byte in UTF-8 or GB18030). UTF-8 chosen is
// sound throughout; GB18030 is known sound only once decoded.
struct TextEncoding {
    enum class Kind { None, Utf8, Gb18030, Utf16Le, Utf16Be };
    Kind kind = Kind::None;
    std::size_t markLength = 0; // the byte-order mark's bytes
};
TextEncoding chooseEncoding(const std::uint8_t *data, std::size_t size);

// The text of a file, decoded a part at a time as it is read, or given
// whole. A part ends after a line feed: UTF-8 and GB18030 never use that byte
// inside a character, so that each part decodes on its own.
class DecodedText {
public:
    explicit DecodedText(QString whole) : m_text(std::move(whole)) {}
    // The bytes from begin to size, in UTF-8 or GB18030; the source (and the
    // copy the bytes may lie in) kept for as long as they are read.
    DecodedText(std::unique_ptr<ByteSource> source, QByteArray copy, const std::uint8_t *bytes,
                std::size_t begin, std::size_t size, TextEncoding::Kind kind);

    // The text decoded so far, from where forget() left it.
    QStringView text() const { return m_text; }
    bool complete() const { return m_next >= m_size; }
    // Decodes the next part onto the text: NoError, or CannotOpen for bytes
    // that don't decode or a file cut short under the view.
    int more();
    // Lets go of the text before at, which has been read.
    void forget(qsizetype at) { m_text.remove(0, at); }

private:
    std::unique_ptr<ByteSource> m_source;
    QByteArray m_copy;
    const std::uint8_t *m_bytes = nullptr;
    std::size_t m_next = 0, m_size = 0;
    TextEncoding::Kind m_kind = TextEncoding::Kind::Utf8;
    QString m_text;
};

// Decodes a text file: a byte-order mark (UTF-8, UTF-16 LE or BE) decides;
// else UTF-8 if the whole file is UTF-8, else GB18030 (which GBK and GB2312
// are part of). Text that none of them decodes soundly, UTF-8 damaged here
// and there, or text holding a NUL is refused: CannotOpen, else NoError.
int decodeText(const std::uint8_t *data, std::size_t size, QString *text);

// The same with an encoding the file declares (a web page's charset), tried
// first when there is no byte-order mark; null for none.
int decodeText(const std::uint8_t *data, std::size_t size, const char *declared, QString *text);

} // namespace analysis::text
