#pragma once

#include "workbook/littleendian.h"
#include "workbook/xls/compoundfile.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace analysis::xls {

namespace record {
constexpr std::uint16_t Formula = 0x0006;
constexpr std::uint16_t Eof = 0x000A;
constexpr std::uint16_t DateMode = 0x0022;
constexpr std::uint16_t FilePass = 0x002F;
constexpr std::uint16_t Continue = 0x003C;
constexpr std::uint16_t CodePage = 0x0042;
constexpr std::uint16_t BoundSheet = 0x0085;
constexpr std::uint16_t MulRk = 0x00BD;
constexpr std::uint16_t MulBlank = 0x00BE;
constexpr std::uint16_t RString = 0x00D6;
constexpr std::uint16_t DbCell = 0x00D7;
constexpr std::uint16_t Xf = 0x00E0;
constexpr std::uint16_t Sst = 0x00FC;
constexpr std::uint16_t LabelSst = 0x00FD;
constexpr std::uint16_t Blank = 0x0201;
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t Label = 0x0204;
constexpr std::uint16_t BoolErr = 0x0205;
constexpr std::uint16_t Formula3 = 0x0206;
constexpr std::uint16_t String = 0x0207;
constexpr std::uint16_t Row = 0x0208;
constexpr std::uint16_t Rk = 0x027E;
constexpr std::uint16_t Formula4 = 0x0406;
constexpr std::uint16_t Format = 0x041E;
constexpr std::uint16_t Bof = 0x0809;
} // namespace record

struct RecordHeader {
    std::uint16_t type = 0;
    std::uint16_t length = 0;
    std::uint64_t position = 0; // of the header in the stream
    std::uint64_t next() const { return position + 4 + length; }
};

// Reads the records of a BIFF stream through a window of the stream, so that
// a scan costs one read per window rather than one per record.
class BiffStream {
public:
    explicit BiffStream(Stream &stream);

    enum class Read { Ok, End, Damaged };
    // End when the stream ends exactly at the position; Damaged when a record
    // is cut off or its bytes can't be read.
    Read header(std::uint64_t position, RecordHeader *out) {
        if (position == m_size) return Read::End;
        const std::uint8_t *p = bytes(position, 4);
        if (!p) return Read::Damaged;
        out->type = le16(p);
        out->length = le16(p + 2);
        out->position = position;
        return out->length > m_size - position - 4 ? Read::Damaged : Read::Ok;
    }
    // The body of a record whose header was read, or null when it isn't there.
    const std::uint8_t *body(const RecordHeader &header) {
        return bytes(header.position + 4, header.length);
    }
    // Bytes of the stream, valid until the next call; null when not there.
    // Scans stay inside the window almost always, so that path is inline.
    const std::uint8_t *bytes(std::uint64_t position, std::size_t length) {
        if (position >= m_windowStart && position - m_windowStart <= m_windowLength &&
            length <= m_windowLength - (position - m_windowStart))
            return m_windowData + (position - m_windowStart);
        return refill(position, length);
    }

    // The bytes from the position to the end of the window, refilling it when
    // the position lies outside; *available tells how many. For scans that
    // walk many small records in place.
    const std::uint8_t *span(std::uint64_t position, std::size_t *available) {
        if (!bytes(position, std::min<std::uint64_t>(4, m_size - position))) return nullptr;
        *available = m_windowLength - std::size_t(position - m_windowStart);
        return m_windowData + (position - m_windowStart);
    }

private:
    const std::uint8_t *refill(std::uint64_t position, std::size_t length);

    Stream &m_stream;
    std::uint64_t m_size;
    std::vector<std::uint8_t> m_window; // the copy, when the stream can't be seen in place
    const std::uint8_t *m_windowData = nullptr;
    std::uint64_t m_windowStart = 0;
    std::size_t m_windowLength = 0;
};

// Reads data that runs on from a record into the CONTINUE records after it,
// as the shared strings and long texts do.
class ContinuedReader {
public:
    ContinuedReader(BiffStream &stream, const RecordHeader &first, std::uint32_t offset);

    bool read(std::uint8_t *out, std::size_t length);
    bool skip(std::uint64_t length);
    bool readU8(std::uint8_t *value);
    bool readU16(std::uint16_t *value);
    bool readU32(std::uint32_t *value);
    // Characters of a BIFF8 string. Where the characters cross into a
    // CONTINUE record, that record begins with a new option byte that says
    // whether the rest is stored in one or two bytes a character.
    bool readCharacters(std::uint32_t count, bool twoByte, QString *out);
    // Byte characters of a BIFF5 string, in the workbook's code page.
    bool readCodePageCharacters(std::uint32_t count, QStringDecoder &decoder, QString *out);

private:
    bool enterContinue();

    BiffStream &m_stream;
    RecordHeader m_record;
    std::uint32_t m_offset;
};

// A BIFF8 string: length, option byte, optional rich-text and phonetic sizes,
// characters, then the rich-text runs and phonetic data, which are skipped.
bool readUnicodeString(ContinuedReader &reader, bool lengthIsByte, QString *out);

} // namespace analysis::xls
