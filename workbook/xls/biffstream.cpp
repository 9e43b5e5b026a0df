#include "workbook/xls/biffstream.h"

#include "workbook/littleendian.h"

#include <algorithm>

namespace analysis::xls {

namespace {
// Large enough for the longest record with its header.
constexpr std::size_t WindowSize = 128 * 1024;
} // namespace

BiffStream::BiffStream(Stream &stream) : m_stream(stream), m_size(stream.size()) {}

const std::uint8_t *BiffStream::refill(std::uint64_t position, std::size_t length) {
    if (position > m_size || length > m_size - position || length > WindowSize) return nullptr;
    std::size_t fill = std::size_t(std::min<std::uint64_t>(WindowSize, m_size - position));
    // A walk through a large sheet goes forward: the window it leaves need not
    // stay resident.
    if (m_windowData && m_windowData != m_window.data())
        m_stream.releaseView(m_windowData, m_windowLength);
    m_windowLength = 0;
    std::size_t available = 0;
    if (const std::uint8_t *view = m_stream.view(position, length, fill, &available)) {
        m_windowData = view;
        m_windowStart = position;
        m_windowLength = available;
        return view;
    }
    if (m_window.size() < WindowSize) m_window.resize(WindowSize);
    m_windowData = m_window.data();
    // A broken chain later in the stream must not hide the bytes before it.
    if (!m_stream.read(position, fill, m_window.data())) {
        fill = length;
        if (!m_stream.read(position, fill, m_window.data())) return nullptr;
    }
    m_windowStart = position;
    m_windowLength = fill;
    return m_windowData;
}

ContinuedReader::ContinuedReader(BiffStream &stream, const RecordHeader &first,
                                 std::uint32_t offset)
    : m_stream(stream), m_record(first), m_offset(offset) {}

bool ContinuedReader::enterContinue() {
    RecordHeader next;
    if (m_stream.header(m_record.next(), &next) != BiffStream::Read::Ok ||
        next.type != record::Continue)
        return false;
    m_record = next;
    m_offset = 0;
    return true;
}

bool ContinuedReader::read(std::uint8_t *out, std::size_t length) {
    while (length > 0) {
        if (m_offset >= m_record.length && !enterContinue()) return false;
        const std::size_t take = std::min<std::size_t>(length, m_record.length - m_offset);
        const std::uint8_t *p = m_stream.bytes(m_record.position + 4 + m_offset, take);
        if (!p) return false;
        if (out) {
            std::copy_n(p, take, out);
            out += take;
        }
        m_offset += std::uint32_t(take);
        length -= take;
    }
    return true;
}

bool ContinuedReader::skip(std::uint64_t length) {
    while (length > 0) {
        if (m_offset >= m_record.length && !enterContinue()) return false;
        const std::uint64_t take = std::min<std::uint64_t>(length, m_record.length - m_offset);
        m_offset += std::uint32_t(take);
        length -= take;
    }
    return true;
}

bool ContinuedReader::readU8(std::uint8_t *value) {
    return read(value, 1);
}

bool ContinuedReader::readU16(std::uint16_t *value) {
    std::uint8_t b[2];
    if (!read(b, 2)) return false;
    *value = le16(b);
    return true;
}

bool ContinuedReader::readU32(std::uint32_t *value) {
    std::uint8_t b[4];
    if (!read(b, 4)) return false;
    *value = le32(b);
    return true;
}

bool ContinuedReader::readCharacters(std::uint32_t count, bool twoByte, QString *out) {
    out->reserve(out->size() + qsizetype(std::min<std::uint32_t>(count, m_record.length)));
    while (count > 0) {
        if (m_offset >= m_record.length) {
            std::uint8_t options;
            if (!enterContinue() || !readU8(&options)) return false;
            twoByte = options & 1;
        }
        const std::uint32_t width = twoByte ? 2 : 1;
        const std::uint32_t available = (m_record.length - m_offset) / width;
        const std::uint32_t take = std::min(count, available);
        if (take == 0) return false; // half a character before the record's end
        const std::uint8_t *p = m_stream.bytes(m_record.position + 4 + m_offset, take * width);
        if (!p) return false;
        if (twoByte)
            for (std::uint32_t i = 0; i < take; ++i)
                out->append(QChar(le16(p + 2 * i)));
        else
            out->append(QLatin1StringView(reinterpret_cast<const char *>(p), qsizetype(take)));
        m_offset += take * width;
        count -= take;
    }
    return true;
}

bool ContinuedReader::readCodePageCharacters(std::uint32_t count, QStringDecoder &decoder,
                                             QString *out) {
    QByteArray bytes(qsizetype(std::min<std::uint32_t>(count, m_record.length)), Qt::Uninitialized);
    bytes.resize(0);
    while (count > 0) {
        if (m_offset >= m_record.length && !enterContinue()) return false;
        const std::uint32_t take = std::min<std::uint32_t>(count, m_record.length - m_offset);
        const std::uint8_t *p = m_stream.bytes(m_record.position + 4 + m_offset, take);
        if (!p) return false;
        bytes.append(reinterpret_cast<const char *>(p), qsizetype(take));
        m_offset += take;
        count -= take;
    }
    out->append(decoder.decode(bytes));
    return true;
}

bool readUnicodeString(ContinuedReader &reader, bool lengthIsByte, QString *out) {
    std::uint16_t count = 0;
    if (lengthIsByte) {
        std::uint8_t small;
        if (!reader.readU8(&small)) return false;
        count = small;
    } else if (!reader.readU16(&count)) {
        return false;
    }
    std::uint8_t options;
    if (!reader.readU8(&options)) return false;
    std::uint16_t runs = 0;
    std::uint32_t phonetic = 0;
    if ((options & 0x08) && !reader.readU16(&runs)) return false;
    if ((options & 0x04) && !reader.readU32(&phonetic)) return false;
    return reader.readCharacters(count, options & 1, out) && reader.skip(std::uint64_t(runs) * 4) &&
           reader.skip(phonetic);
}

} // namespace analysis::xls
