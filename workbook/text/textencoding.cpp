#include "workbook/text/textencoding.h"

#include "workbook/importerrors.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace analysis::text {

namespace {

enum class Bom { None, Utf8, Utf16Le, Utf16Be };

Bom byteOrderMark(const std::uint8_t *data, std::size_t size, std::size_t *length) {
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
        *length = 3;
        return Bom::Utf8;
    }
    *length = 2;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) return Bom::Utf16Le;
    if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) return Bom::Utf16Be;
    *length = 0;
    return Bom::None;
}

// Control characters other than tab, line ends, form feed and the old
// end-of-file mark: what text never holds and binary data is full of.
bool isControl(std::uint32_t c) {
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A;
}

// Well-formed multi-byte sequences and ill-formed ones in bytes read as
// UTF-8: GBK text has about as many of each, UTF-8 damaged in a few places
// far more of the first.
struct Utf8Census {
    std::size_t sequences = 0;
    std::size_t faults = 0;
};

std::size_t sequenceLength(const std::uint8_t *p, std::size_t left) {
    const std::uint8_t lead = p[0];
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || left < length) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((p[i] & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((lead == 0xE0 && p[1] < 0xA0) || (lead == 0xED && p[1] >= 0xA0) ||
        (lead == 0xF0 && p[1] < 0x90) || (lead == 0xF4 && p[1] >= 0x90))
        return 0;
    return length;
}

Utf8Census utf8Census(const std::uint8_t *data, std::size_t size) {
    Utf8Census census;
    for (std::size_t i = 0; i < size;) {
        // Eight ASCII bytes at a time: most of a table is digits and separators.
        if (std::uint64_t word; i + 8 <= size) {
            std::memcpy(&word, data + i, 8);
            if ((word & 0x8080808080808080u) == 0) {
                i += 8;
                continue;
            }
        }
        if (data[i] < 0x80) {
            ++i;
            continue;
        }
        if (const std::size_t length = sequenceLength(data + i, size - i)) {
            ++census.sequences;
            i += length;
        } else {
            ++census.faults;
            ++i;
        }
    }
    return census;
}

// bytesHaveNoNul: the bytes were searched for a NUL already (chooseEncoding),
// which in UTF-8 and GB18030 is the only way to write U+0000.
int decodeWith(QStringDecoder decoder, const std::uint8_t *data, std::size_t size, QString *text,
               bool bytesHaveNoNul = false) {
    if (!decoder.isValid()) return CannotOpen;
    *text = decoder.decode(QByteArrayView(data, qsizetype(size)));
    if (decoder.hasError() || (!bytesHaveNoNul && text->contains(QChar(0)))) {
        text->clear();
        return CannotOpen;
    }
    return NoError;
}

constexpr auto Strict = QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;

// The decoder of an encoding chooseEncoding gives, as strict as every other.
QStringDecoder decoderFor(TextEncoding::Kind kind) {
    switch (kind) {
    case TextEncoding::Kind::Utf16Le:
        return QStringDecoder(QStringDecoder::Utf16LE, Strict);
    case TextEncoding::Kind::Utf16Be:
        return QStringDecoder(QStringDecoder::Utf16BE, Strict);
    case TextEncoding::Kind::Gb18030:
        return QStringDecoder("GB18030", Strict);
    case TextEncoding::Kind::Utf8:
    case TextEncoding::Kind::None:
        break;
    }
    return QStringDecoder(QStringDecoder::Utf8, Strict);
}

// The names pages give for Chinese text all mean GB18030 or a part of it.
QStringDecoder declaredDecoder(QByteArray name) {
    name = name.toLower();
    if (name == "gb2312" || name == "gbk" || name == "x-gbk" || name == "gb_2312-80" ||
        name == "cp936" || name == "euc-cn")
        name = "GB18030";
    return QStringDecoder(name.constData(), Strict);
}

} // namespace

bool looksLikeText(const std::uint8_t *data, std::size_t size) {
    std::size_t bom = 0;
    const Bom mark = byteOrderMark(data, size, &bom);
    const std::size_t end = std::min<std::size_t>(size, bom + 4096);
    std::size_t units = 0, controls = 0;
    for (std::size_t i = bom; i < end; ++units) {
        std::uint32_t c = data[i++];
        if (mark == Bom::Utf16Le || mark == Bom::Utf16Be) {
            if (i == end) break;
            c = mark == Bom::Utf16Le ? c | std::uint32_t(data[i]) << 8 : c << 8 | data[i];
            ++i;
        }
        controls += isControl(c);
    }
    return (units > 0 || bom > 0) && controls <= std::max<std::size_t>(1, units / 32);
}

TextEncoding chooseEncoding(const std::uint8_t *data, std::size_t size) {
    TextEncoding chosen;
    using Kind = TextEncoding::Kind;
    switch (byteOrderMark(data, size, &chosen.markLength)) {
    case Bom::Utf16Le:
        chosen.kind = Kind::Utf16Le;
        return chosen;
    case Bom::Utf16Be:
        chosen.kind = Kind::Utf16Be;
        return chosen;
    case Bom::Utf8:
    case Bom::None:
        break;
    }
    const std::uint8_t *text = data + chosen.markLength;
    const std::size_t length = size - chosen.markLength;
    if (std::memchr(text, 0, length)) return chosen;
    const Utf8Census census = utf8Census(text, length);
    if (census.faults == 0)
        chosen.kind = Kind::Utf8;
    else if (chosen.markLength == 0 && census.sequences < 16 * census.faults)
        chosen.kind = Kind::Gb18030;
    return chosen;
}

DecodedText::DecodedText(std::unique_ptr<ByteSource> source, QByteArray copy,
                         const std::uint8_t *bytes, std::size_t begin, std::size_t size,
                         TextEncoding::Kind kind)
    : m_source(std::move(source)), m_copy(std::move(copy)), m_bytes(bytes), m_next(begin),
      m_size(size), m_kind(kind) {}

int DecodedText::more() {
    // Large enough to keep the decoder calls few, small enough that a class
    // at the top of a long file decodes little more than itself.
    constexpr std::size_t Part = 64 * 1024;
    if (complete()) return NoError;
    std::size_t end = std::min(m_size, m_next + Part);
    if (end < m_size) {
        const void *lineFeed = std::memchr(m_bytes + end, '\n', m_size - end);
        end = lineFeed ? std::size_t(static_cast<const std::uint8_t *>(lineFeed) - m_bytes) + 1
                       : m_size;
    }
    QStringDecoder decoder = decoderFor(m_kind);
    const QString part = decoder.decode(QByteArrayView(m_bytes + m_next, qsizetype(end - m_next)));
    if (decoder.hasError() || (m_source && !m_source->intact())) return CannotOpen;
    m_text += part;
    m_next = end;
    return NoError;
}

int decodeText(const std::uint8_t *data, std::size_t size, QString *text) {
    return decodeText(data, size, nullptr, text);
}

int decodeText(const std::uint8_t *data, std::size_t size, const char *declared, QString *text) {
    text->clear();
    using Kind = TextEncoding::Kind;
    const TextEncoding chosen = chooseEncoding(data, size);
    const std::size_t bom = chosen.markLength;
    if (chosen.kind == Kind::Utf16Le || chosen.kind == Kind::Utf16Be) {
        if ((size - bom) % 2 != 0) return CannotOpen;
        return decodeWith(decoderFor(chosen.kind), data + bom, size - bom, text);
    }
    // A declared encoding is tried only where no byte-order mark decides.
    if (bom == 0 && declared && decodeWith(declaredDecoder(declared), data, size, text) == NoError)
        return NoError;
    if (chosen.kind == Kind::None) return CannotOpen;
    return decodeWith(decoderFor(chosen.kind), data + bom, size - bom, text, true);
}

} // namespace analysis::text
