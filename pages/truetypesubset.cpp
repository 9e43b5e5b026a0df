#include "pages/truetypesubset.h"

#include <QHash>
#include <QMutex>

#include <algorithm>
#include <string_view>
#include <utility>

namespace pages {

namespace {

std::uint32_t be16(const QByteArray &table, qsizetype at) {
    return std::uint32_t(std::uint8_t(table[at])) << 8 | std::uint8_t(table[at + 1]);
}
std::uint32_t be32(const QByteArray &table, qsizetype at) {
    return be16(table, at) << 16 | be16(table, at + 2);
}
void put16(QByteArray &table, qsizetype at, std::uint32_t value) {
    table[at] = char(value >> 8);
    table[at + 1] = char(value);
}
void put32(QByteArray &table, qsizetype at, std::uint32_t value) {
    put16(table, at, value >> 16);
    put16(table, at + 2, value & 0xFFFF);
}
void append32(QByteArray &out, std::uint32_t value) {
    out.append(char(value >> 24))
        .append(char(value >> 16))
        .append(char(value >> 8))
        .append(char(value));
}

std::uint32_t checksum(const QByteArray &data) {
    std::uint32_t sum = 0;
    for (qsizetype i = 0; i < data.size(); i += 4) {
        std::uint32_t word = 0;
        for (qsizetype k = 0; k < 4; ++k)
            word = word << 8 | (i + k < data.size() ? std::uint8_t(data[i + k]) : 0);
        sum += word;
    }
    return sum;
}

// The tables, in tag order, as one font file.
QByteArray assemble(const std::vector<std::pair<const char *, QByteArray>> &tables) {
    const std::uint32_t count = std::uint32_t(tables.size());
    std::uint32_t power = 1, log = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log;
    }
    QByteArray font;
    append32(font, 0x00010000);
    font.append(char(count >> 8)).append(char(count));
    font.append(char((power * 16) >> 8)).append(char(power * 16));
    font.append(char(log >> 8)).append(char(log));
    const std::uint32_t shift = count * 16 - power * 16;
    font.append(char(shift >> 8)).append(char(shift));
    std::uint32_t offset = 12 + 16 * count;
    for (const auto &[tag, data] : tables) {
        font.append(tag, 4);
        append32(font, checksum(data));
        append32(font, offset);
        append32(font, std::uint32_t(data.size()));
        offset += (std::uint32_t(data.size()) + 3) & ~3u;
    }
    qsizetype headAt = -1;
    for (const auto &[tag, data] : tables) {
        if (std::string_view(tag, 4) == "head") headAt = font.size();
        font += data;
        font.append((4 - data.size() % 4) % 4, '\0');
    }
    if (headAt >= 0) put32(font, headAt + 8, 0xB1B0AFBA - checksum(font));
    return font;
}

// Component flags of a composite glyph.
constexpr std::uint32_t WordArguments = 0x0001, HasScale = 0x0008, MoreComponents = 0x0020,
                        HasXYScale = 0x0040, HasTwoByTwo = 0x0080;

} // namespace

std::shared_ptr<const TrueTypeFace> TrueTypeFace::of(const QRawFont &font) {
    static QMutex lock;
    static QHash<QString, std::shared_ptr<const TrueTypeFace>> faces;
    const QString key = font.familyName() + u'\n' + font.styleName();
    const QMutexLocker locked(&lock);
    if (const auto found = faces.constFind(key); found != faces.constEnd()) return *found;
    auto face = std::make_shared<TrueTypeFace>();
    std::shared_ptr<const TrueTypeFace> read = face->read(font) ? std::move(face) : nullptr;
    faces.insert(key, read);
    return read;
}

bool TrueTypeFace::read(const QRawFont &font) {
    m_head = font.fontTable("head");
    m_hhea = font.fontTable("hhea");
    m_maxp = font.fontTable("maxp");
    m_hmtx = font.fontTable("hmtx");
    m_glyf = font.fontTable("glyf");
    m_cvt = font.fontTable("cvt ");
    m_fpgm = font.fontTable("fpgm");
    m_prep = font.fontTable("prep");
    const QByteArray loca = font.fontTable("loca");
    const QByteArray os2 = font.fontTable("OS/2");
    if (m_head.size() < 54 || m_hhea.size() < 36 || m_maxp.size() < 6 || m_glyf.isEmpty())
        return false;
    m_unitsPerEm = int(be16(m_head, 18));
    for (int i = 0; i < 4; ++i)
        m_box[i] = std::int16_t(be16(m_head, 36 + 2 * i));
    const bool longOffsets = be16(m_head, 50) == 1;
    const qsizetype glyphs = qsizetype(be16(m_maxp, 4));
    m_horizontalMetrics = int(be16(m_hhea, 34));
    m_ascent = std::int16_t(be16(m_hhea, 4));
    m_descent = std::int16_t(be16(m_hhea, 6));
    if (os2.size() >= 6) m_weightClass = int(be16(os2, 4));
    if (m_unitsPerEm < 16 || glyphs == 0 || m_horizontalMetrics == 0 ||
        m_horizontalMetrics > glyphs ||
        m_hmtx.size() < 4 * m_horizontalMetrics + 2 * (glyphs - m_horizontalMetrics) ||
        loca.size() < (glyphs + 1) * (longOffsets ? 4 : 2))
        return false;
    m_offsets.resize(std::size_t(glyphs) + 1);
    for (qsizetype g = 0; g <= glyphs; ++g)
        m_offsets[std::size_t(g)] = longOffsets ? be32(loca, 4 * g) : 2 * be16(loca, 2 * g);
    for (std::size_t g = 0; g + 1 < m_offsets.size(); ++g)
        if (m_offsets[g] > m_offsets[g + 1] || m_offsets[g + 1] > std::uint32_t(m_glyf.size()))
            return false;
    return true;
}

int TrueTypeFace::advance(std::uint32_t glyph) const {
    // Glyphs past the long metrics share the last advance.
    const std::uint32_t metric = std::min<std::uint32_t>(glyph, m_horizontalMetrics - 1);
    return glyph < std::uint32_t(glyphCount()) ? int(be16(m_hmtx, 4 * metric)) : 0;
}

std::uint32_t TrueTypeFace::leftBearing(std::uint32_t glyph) const {
    const std::uint32_t metrics = std::uint32_t(m_horizontalMetrics);
    return be16(m_hmtx, glyph < metrics ? 4 * glyph + 2 : 4 * metrics + 2 * (glyph - metrics));
}

QByteArray TrueTypeFace::subset(std::vector<std::uint32_t> glyphs) const {
    QHash<std::uint32_t, std::uint32_t> numbers; // the face's glyph to the subset's
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        numbers.insert(glyphs[i], std::uint32_t(i));
    QByteArray glyf, loca, hmtx;
    // Composites name their components, which join the subset as they are met.
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const std::uint32_t g = glyphs[i];
        if (g >= std::uint32_t(glyphCount()) || glyphs.size() > 0xFFFF) return {};
        append32(loca, std::uint32_t(glyf.size()));
        // Every glyph of the subset has a long metric of its own.
        hmtx.append(char(advance(g) >> 8)).append(char(advance(g)));
        hmtx.append(char(leftBearing(g) >> 8)).append(char(leftBearing(g)));
        QByteArray data = m_glyf.mid(m_offsets[g], m_offsets[g + 1] - m_offsets[g]);
        if (data.size() >= 10 && std::int16_t(be16(data, 0)) < 0) {
            qsizetype at = 10;
            for (std::uint32_t flags = MoreComponents; flags & MoreComponents;) {
                if (at + 4 > data.size()) return {};
                flags = be16(data, at);
                const std::uint32_t component = be16(data, at + 2);
                auto number = numbers.constFind(component);
                if (number == numbers.constEnd()) {
                    number = numbers.insert(component, std::uint32_t(glyphs.size()));
                    glyphs.push_back(component);
                }
                put16(data, at + 2, *number);
                at += 4 + (flags & WordArguments ? 4 : 2) +
                      (flags & HasScale      ? 2
                       : flags & HasXYScale  ? 4
                       : flags & HasTwoByTwo ? 8
                                             : 0);
            }
        }
        glyf += data;
        glyf.append((4 - glyf.size() % 4) % 4, '\0');
    }
    append32(loca, std::uint32_t(glyf.size()));

    const std::uint32_t count = std::uint32_t(glyphs.size());
    QByteArray head = m_head, hhea = m_hhea, maxp = m_maxp;
    put32(head, 8, 0);  // the whole font's checksum, set once it is assembled
    put16(head, 50, 1); // long offsets
    put16(maxp, 4, count);
    put16(hhea, 34, count);
    std::vector<std::pair<const char *, QByteArray>> tables;
    if (!m_cvt.isEmpty()) tables.emplace_back("cvt ", m_cvt);
    if (!m_fpgm.isEmpty()) tables.emplace_back("fpgm", m_fpgm);
    tables.emplace_back("glyf", glyf);
    tables.emplace_back("head", head);
    tables.emplace_back("hhea", hhea);
    tables.emplace_back("hmtx", hmtx);
    tables.emplace_back("loca", loca);
    tables.emplace_back("maxp", maxp);
    if (!m_prep.isEmpty()) tables.emplace_back("prep", m_prep);
    return assemble(tables);
}

} // namespace pages
