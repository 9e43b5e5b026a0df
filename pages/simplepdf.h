#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QString>

#include <memory>

namespace pages {

class SimplePdfEngine;

// An A4 PDF of text, rules and filled boxes drawn with QPainter, written
// without Qt's PDF engine: that one scans every code point of a face for
// each document it embeds the face in, some ten milliseconds a file, which a
// folder of a PDF per student pays thousands of times. Here a face's tables
// are read once per run and each document embeds only its own glyphs.
//
// Anything it can't draw as Qt would (an image, a clip, a gradient, a
// translucent colour, a character its face lacks, a face without TrueType
// outlines) makes it give up: document() is then empty, and the caller
// draws with QPdfWriter instead.
class SimplePdf : public QPaintDevice {
public:
    // Page units: a tenth of a point, y downwards.
    static constexpr int Width = 5953, Height = 8419;

    SimplePdf(const QString &title, const QString &creator);
    ~SimplePdf() override;

    // Ends the page and begins another.
    void newPage();
    // The whole PDF once the painter has ended, or empty when it gave up.
    QByteArray document() const;

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<SimplePdfEngine> m_engine;
};

} // namespace pages
