#pragma once

#include <QByteArray>
#include <QRawFont>

#include <cstdint>
#include <memory>
#include <vector>

namespace pages {

// A face with TrueType outlines, its tables read once, from which a font
// program holding only the glyphs a document draws is made for embedding in
// a PDF, numbered anew in the order the document first drew them.
class TrueTypeFace {
public:
    // The face of the font, or null when it has no TrueType outlines or its
    // tables don't hold together.
    static std::shared_ptr<const TrueTypeFace> of(const QRawFont &font);

    int unitsPerEm() const { return m_unitsPerEm; }
    int glyphCount() const { return int(m_offsets.size()) - 1; }
    // The glyph's advance in font units.
    int advance(std::uint32_t glyph) const;
    // In font units: xMin, yMin, xMax, yMax.
    const std::int16_t *boundingBox() const { return m_box; }
    int ascent() const { return m_ascent; }
    int descent() const { return m_descent; }
    // The weight class the face was drawn with (400 regular, 700 bold).
    int weightClass() const { return m_weightClass; }

    // The font program whose glyph i is the face's glyph glyphs[i] (glyphs[0]
    // is .notdef, 0), followed by the glyphs their composites are built from;
    // empty when a glyph lies beyond the face or the subset grows past 65,535.
    QByteArray subset(std::vector<std::uint32_t> glyphs) const;

private:
    bool read(const QRawFont &font);
    std::uint32_t leftBearing(std::uint32_t glyph) const;

    QByteArray m_head, m_hhea, m_maxp, m_hmtx, m_glyf, m_cvt, m_fpgm, m_prep;
    std::vector<std::uint32_t> m_offsets; // of each glyph in glyf, one past the last
    int m_unitsPerEm = 0;
    int m_horizontalMetrics = 0;
    int m_ascent = 0, m_descent = 0, m_weightClass = 400;
    std::int16_t m_box[4] = {};
};

} // namespace pages
