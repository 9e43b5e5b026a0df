#include "pages/simplepdf.h"

#include "analysis/slips/slipfiles.h"
#include "pages/truetypesubset.h"

#include <QDateTime>
#include <QHash>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRawFont>
#include <QTextItem>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

namespace pages {

namespace {

// A number as a content stream writes it: at most three decimals, written
// by hand, as printf's rounding took a fifth of a page's time.
void appendNumber(QByteArray &out, double value) {
    const long long thousandths = std::isfinite(value) ? std::llround(value * 1000) : 0;
    unsigned long long whole = thousandths < 0 ? 0ull - static_cast<unsigned long long>(thousandths)
                                               : static_cast<unsigned long long>(thousandths);
    char text[32];
    char *const end = text + sizeof text;
    char *start = end;
    int fraction = int(whole % 1000);
    whole /= 1000;
    if (fraction) {
        int digits = 3;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        for (int i = 0; i < digits; ++i, fraction /= 10)
            *--start = char('0' + fraction % 10);
        *--start = '.';
    }
    do {
        *--start = char('0' + whole % 10);
        whole /= 10;
    } while (whole);
    if (thousandths < 0) *--start = '-';
    out.append(start, end - start).append(' ');
}

void appendHex4(QByteArray &out, unsigned value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    out.append(text, 4);
}

void appendMatrix(QByteArray &out, const QTransform &m) {
    for (const double v : {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()})
        appendNumber(out, v);
    out += "cm\n";
}

void appendColor(QByteArray &out, const QColor &color, const char *operation) {
    for (const float v : {color.redF(), color.greenF(), color.blueF()})
        appendNumber(out, v);
    out += operation;
    out += '\n';
}

} // namespace

class SimplePdfEngine : public QPaintEngine {
public:
    SimplePdfEngine(QString title, QString creator)
        : QPaintEngine(QPaintEngine::AllFeatures), m_title(std::move(title)),
          m_creator(std::move(creator)) {}

    bool begin(QPaintDevice *) override {
        if (m_pages.empty()) m_pages.emplace_back();
        return true;
    }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState &state) override;
    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    void drawTextItem(const QPointF &p, const QTextItem &item) override;
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { m_failed = true; }
    void drawImage(const QRectF &, const QImage &, const QRectF &,
                   Qt::ImageConversionFlags) override {
        m_failed = true;
    }

    void newPage() { m_pages.emplace_back(); }
    QByteArray document() const;

private:
    // A face as one document embeds it: the glyphs it draws, numbered in
    // the order they were first drawn (0 is .notdef), and what each stands
    // for, for the text a reader copies or searches.
    struct EmbeddedFace {
        std::shared_ptr<const TrueTypeFace> face;
        QString postScriptName;
        std::vector<std::uint32_t> glyphs{0}; // the face's glyph of each number
        QHash<std::uint32_t, std::uint32_t> numbers;
        std::vector<QString> texts{QString()};

        std::uint32_t number(std::uint32_t glyph, const QString &text) {
            const auto found = numbers.constFind(glyph);
            if (found != numbers.constEnd()) return *found;
            glyphs.push_back(glyph);
            texts.push_back(text);
            return *numbers.insert(glyph, std::uint32_t(glyphs.size() - 1));
        }
    };

    void paintShape(const QByteArray &path, bool close, bool fill, bool evenOdd);
    const QRawFont &rawFont(const QFont &font);
    int faceIndex(const std::shared_ptr<const TrueTypeFace> &face, const QRawFont &raw);

    QString m_title, m_creator;
    std::vector<QByteArray> m_pages;
    std::vector<EmbeddedFace> m_faces;
    QHash<QString, QRawFont> m_rawFonts; // by QFont::key()
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    bool m_failed = false;
};

void SimplePdfEngine::updateState(const QPaintEngineState &changed) {
    const DirtyFlags dirty = changed.state();
    if (dirty & DirtyPen) m_pen = changed.pen();
    if (dirty & DirtyBrush) m_brush = changed.brush();
    if (dirty & DirtyTransform) m_transform = changed.transform();
    const bool clipped = (dirty & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled)) &&
                         changed.isClipEnabled() && changed.clipOperation() != Qt::NoClip;
    if (clipped || ((dirty & DirtyOpacity) && changed.opacity() < 1) ||
        ((dirty & DirtyCompositionMode) &&
         changed.compositionMode() != QPainter::CompositionMode_SourceOver))
        m_failed = true;
}

void SimplePdfEngine::paintShape(const QByteArray &path, bool close, bool fill, bool evenOdd) {
    fill = fill && m_brush.style() != Qt::NoBrush;
    const bool stroke = m_pen.style() != Qt::NoPen;
    if (!fill && !stroke) return;
    if ((fill && (m_brush.style() != Qt::SolidPattern || m_brush.color().alpha() != 255)) ||
        (stroke && (m_pen.brush().style() != Qt::SolidPattern || m_pen.color().alpha() != 255 ||
                    (m_pen.isCosmetic() && m_pen.widthF() > 0)))) {
        m_failed = true;
        return;
    }
    QByteArray &out = m_pages.back();
    out += "q\n";
    appendMatrix(out, m_transform);
    if (fill) appendColor(out, m_brush.color(), "rg");
    if (stroke) {
        appendColor(out, m_pen.color(), "RG");
        appendNumber(out, m_pen.widthF());
        out += "w ";
        out += m_pen.capStyle() == Qt::FlatCap    ? "0 J "
               : m_pen.capStyle() == Qt::RoundCap ? "1 J "
                                                  : "2 J ";
        out += m_pen.joinStyle() == Qt::RoundJoin   ? "1 j"
               : m_pen.joinStyle() == Qt::BevelJoin ? "2 j"
                                                    : "0 j";
        out += '\n';
        if (m_pen.style() != Qt::SolidLine) {
            // Qt's dashes are in pen widths.
            out += '[';
            const double width = std::max(m_pen.widthF(), 1.0);
            for (const qreal dash : m_pen.dashPattern())
                appendNumber(out, dash * width);
            out += "] ";
            appendNumber(out, m_pen.dashOffset() * width);
            out += "d\n";
        }
    }
    out += path;
    if (close && !fill) out += "h ";
    out += fill && stroke ? (evenOdd ? "B*" : "B") : fill ? (evenOdd ? "f*" : "f") : "S";
    out += "\nQ\n";
}

void SimplePdfEngine::drawPath(const QPainterPath &path) {
    QByteArray shape;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element &e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            appendNumber(shape, e.x);
            appendNumber(shape, e.y);
            shape += "m\n";
            break;
        case QPainterPath::LineToElement:
            appendNumber(shape, e.x);
            appendNumber(shape, e.y);
            shape += "l\n";
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 >= path.elementCount()) {
                m_failed = true;
                return;
            }
            for (int k = 0; k < 3; ++k) {
                appendNumber(shape, path.elementAt(i + k).x);
                appendNumber(shape, path.elementAt(i + k).y);
            }
            shape += "c\n";
            i += 2;
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    paintShape(shape, false, true, path.fillRule() == Qt::OddEvenFill);
}

void SimplePdfEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) {
    if (count < 2) return;
    QByteArray shape;
    for (int i = 0; i < count; ++i) {
        appendNumber(shape, points[i].x());
        appendNumber(shape, points[i].y());
        shape += i ? "l\n" : "m\n";
    }
    const bool polyline = mode == PolylineMode;
    paintShape(shape, !polyline, !polyline, mode == OddEvenMode);
}

const QRawFont &SimplePdfEngine::rawFont(const QFont &font) {
    const QString key = font.key();
    auto found = m_rawFonts.find(key);
    if (found == m_rawFonts.end()) found = m_rawFonts.insert(key, QRawFont::fromFont(font));
    return *found;
}

int SimplePdfEngine::faceIndex(const std::shared_ptr<const TrueTypeFace> &face,
                               const QRawFont &raw) {
    for (std::size_t i = 0; i < m_faces.size(); ++i)
        if (m_faces[i].face == face) return int(i);
    QString name;
    for (const QChar c : raw.familyName() + raw.styleName())
        if (c.unicode() < 0x80 && c.isLetterOrNumber()) name += c;
    EmbeddedFace embedded;
    embedded.face = face;
    embedded.postScriptName = name.isEmpty() ? QStringLiteral("Face") : name;
    m_faces.push_back(std::move(embedded));
    return int(m_faces.size()) - 1;
}

void SimplePdfEngine::drawTextItem(const QPointF &p, const QTextItem &item) {
    const QString text = item.text();
    if (m_failed || text.isEmpty()) return;
    const QRawFont &raw = rawFont(item.font());
    const std::shared_ptr<const TrueTypeFace> face =
        raw.isValid() ? TrueTypeFace::of(raw) : nullptr;
    const QList<uint> characters = text.toUcs4();
    const QList<quint32> glyphs = face ? raw.glyphIndexesForString(text) : QList<quint32>();
    bool drawable = face && item.renderFlags() == QTextItem::RenderFlags() &&
                    glyphs.size() == characters.size() && m_pen.color().alpha() == 255;
    for (qsizetype i = 0; drawable && i < characters.size(); ++i)
        drawable = raw.supportsCharacter(characters[i]) && glyphs[i] != 0 &&
                   int(glyphs[i]) < face->glyphCount();
    if (!drawable) {
        m_failed = true;
        return;
    }
    EmbeddedFace &embedded = m_faces[std::size_t(faceIndex(face, raw))];
    const int index = int(&embedded - m_faces.data());
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
    double laidOut = 0;
    for (const QPointF &a : advances)
        laidOut += a.x();
    // The advances Qt laid the line out with, however it spaced the glyphs.
    const double spread = laidOut > 0 && item.width() > 0 ? item.width() / laidOut : 1.0;
    const double size = raw.pixelSize();

    QByteArray &out = m_pages.back();
    out += "q\n";
    appendMatrix(out, m_transform);
    out += "BT /F" + QByteArray::number(index + 1) + ' ';
    appendNumber(out, size);
    out += "Tf\n";
    appendColor(out, m_pen.color(), "rg");
    QByteArray run("[<");
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        const char32_t character = characters[i];
        appendHex4(run, embedded.number(glyphs[i], QString::fromUcs4(&character, 1)));
        const double own = double(face->advance(glyphs[i])) / face->unitsPerEm() * size;
        const double shift = (own - advances[i].x() * spread) * 1000 / size;
        if (i + 1 < glyphs.size() && std::abs(shift) >= 0.05) {
            run += "> ";
            appendNumber(run, shift);
            run += '<';
        }
    }
    run += ">] TJ\n";
    const auto at = [&](double x) {
        out += "1 0 0 -1 ";
        appendNumber(out, x);
        appendNumber(out, p.y());
        out += "Tm ";
    };
    at(p.x());
    out += run;
    // A face without a bold weight is made bold as Qt's writer makes it: the
    // glyphs drawn again half a line's thickness on, as no text of their own.
    if (item.font().weight() >= QFont::DemiBold && face->weightClass() < 600) {
        out += "/Span << /ActualText <> >> BDC\n";
        at(p.x() + raw.lineThickness() / 2);
        out += run;
        out += "EMC\n";
    }
    out += "ET\nQ\n";
}

QByteArray SimplePdfEngine::document() const {
    if (m_failed) return {};
    QByteArray pdf("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    std::vector<qsizetype> offsets;
    const auto open = [&](int number) {
        if (offsets.size() < std::size_t(number)) offsets.resize(std::size_t(number));
        offsets[std::size_t(number - 1)] = pdf.size();
        pdf += QByteArray::number(number) + " 0 obj\n";
    };
    const auto stream = [&](int number, const QByteArray &dictionary, const QByteArray &data) {
        // Fastest packing: a tenth larger files, a third less time for a folder
        // of them. qCompress puts the length before the zlib stream.
        const QByteArray packed = qCompress(data, 1).mid(4);
        open(number);
        pdf += "<< /Length " + QByteArray::number(packed.size()) + " /Filter /FlateDecode " +
               dictionary + ">>\nstream\n" + packed + "\nendstream\nendobj\n";
    };
    const auto ref = [](int number) { return QByteArray::number(number) + " 0 R"; };
    const int pageCount = int(m_pages.size());
    const int firstFace = 4 + 2 * pageCount; // five objects each

    // The document information first, where a later run looks for it.
    open(1);
    pdf += "<<\n/Title " + analysis::pdfInfoString(m_title) + "\n/Creator " +
           analysis::pdfInfoString(m_creator) + "\n/Producer " +
           analysis::pdfInfoString(m_creator) + "\n/CreationDate (D:" +
           QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
           "Z)\n>>\nendobj\n";
    open(2);
    pdf += "<< /Type /Catalog /Pages 3 0 R >>\nendobj\n";
    open(3);
    pdf += "<< /Type /Pages /Kids [";
    for (int i = 0; i < pageCount; ++i)
        pdf += ref(4 + 2 * i) + ' ';
    pdf += "] /Count " + QByteArray::number(pageCount) + " >>\nendobj\n";
    QByteArray fonts;
    for (int f = 0; f < int(m_faces.size()); ++f)
        fonts += "/F" + QByteArray::number(f + 1) + ' ' + ref(firstFace + 5 * f) + ' ';
    // Page units are tenths of a point, y downwards.
    QByteArray pageSize, pageUnits("0.1 0 0 -0.1 0 ");
    appendNumber(pageSize, SimplePdf::Width / 10.0);
    appendNumber(pageSize, SimplePdf::Height / 10.0);
    appendNumber(pageUnits, SimplePdf::Height / 10.0);
    pageUnits += "cm\n";
    for (int i = 0; i < pageCount; ++i) {
        open(4 + 2 * i);
        pdf += "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 " + pageSize +
               "] /Resources << /Font << " + fonts + ">> /ProcSet [/PDF /Text] >> /Contents " +
               ref(5 + 2 * i) + " >>\nendobj\n";
        stream(5 + 2 * i, {}, pageUnits + m_pages[std::size_t(i)]);
    }
    for (int f = 0; f < int(m_faces.size()); ++f) {
        const EmbeddedFace &e = m_faces[std::size_t(f)];
        const TrueTypeFace &face = *e.face;
        const int first = firstFace + 5 * f;
        // The subset's tag: six letters of the glyphs it holds.
        std::uint32_t hash = 2166136261u;
        for (const std::uint32_t g : e.glyphs)
            hash = (hash ^ g) * 16777619u;
        QByteArray name;
        for (int i = 0; i < 6; ++i, hash /= 26)
            name += char('A' + hash % 26);
        name += '+' + e.postScriptName.toLatin1();
        const auto units = [&](int value) {
            return QByteArray::number(std::lround(double(value) * 1000 / face.unitsPerEm()));
        };
        open(first);
        pdf += "<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
               " /Encoding /Identity-H /DescendantFonts [" + ref(first + 1) + "] /ToUnicode " +
               ref(first + 4) + " >>\nendobj\n";
        open(first + 1);
        pdf += "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
               " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
               " /FontDescriptor " +
               ref(first + 2) + " /CIDToGIDMap /Identity /W [";
        for (std::size_t g = 1; g < e.glyphs.size(); ++g)
            pdf +=
                QByteArray::number(qsizetype(g)) + " [" + units(face.advance(e.glyphs[g])) + "] ";
        pdf += "] >>\nendobj\n";
        open(first + 2);
        const std::int16_t *box = face.boundingBox();
        pdf += "<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [" +
               units(box[0]) + ' ' + units(box[1]) + ' ' + units(box[2]) + ' ' + units(box[3]) +
               "] /ItalicAngle 0 /Ascent " + units(face.ascent()) + " /Descent " +
               units(face.descent()) + " /CapHeight " + units(face.ascent()) +
               " /StemV 80 /FontFile2 " + ref(first + 3) + " >>\nendobj\n";
        const QByteArray program = face.subset(e.glyphs);
        if (program.isEmpty()) return {};
        stream(first + 3, "/Length1 " + QByteArray::number(program.size()) + ' ', program);
        QByteArray map("/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                       "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n");
        for (std::size_t from = 1; from < e.texts.size(); from += 100) {
            const std::size_t end = std::min(e.texts.size(), from + 100);
            map += QByteArray::number(qsizetype(end - from)) + " beginbfchar\n";
            for (std::size_t g = from; g < end; ++g) {
                map += '<';
                appendHex4(map, unsigned(g));
                map += "> <";
                for (const QChar c : e.texts[g])
                    appendHex4(map, c.unicode());
                map += ">\n";
            }
            map += "endbfchar\n";
        }
        map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
        stream(first + 4, {}, map);
    }
    const qsizetype table = pdf.size();
    pdf +=
        "xref\n0 " + QByteArray::number(qsizetype(offsets.size()) + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", static_cast<long long>(offset));
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + QByteArray::number(qsizetype(offsets.size()) + 1) +
           " /Root 2 0 R /Info 1 0 R >>\nstartxref\n" + QByteArray::number(table) + "\n%%EOF\n";
    return pdf;
}

SimplePdf::SimplePdf(const QString &title, const QString &creator)
    : m_engine(std::make_unique<SimplePdfEngine>(title, creator)) {}

SimplePdf::~SimplePdf() = default;

void SimplePdf::newPage() {
    m_engine->newPage();
}

QByteArray SimplePdf::document() const {
    return m_engine->document();
}

QPaintEngine *SimplePdf::paintEngine() const {
    return m_engine.get();
}

int SimplePdf::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
        return Width;
    case PdmHeight:
        return Height;
    case PdmWidthMM:
        return 210;
    case PdmHeightMM:
        return 297;
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 720;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace pages
