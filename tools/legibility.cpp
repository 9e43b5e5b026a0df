// Measures how legibly a face renders the main window's result figures: the
// figure texts in their colours on the result frame's blue, 10.5 pt, for each
// face and each hinting and antialiasing setting, at device pixel ratios 1
// and 2. Per setting it prints, summed over the nine figures:
//   digit height  ink rows of "0123456789" in device pixels
//   stroke        mean stroke width in device pixels: twice the ink over
//                 the ink's outline (coverage steps between neighbours)
//   solid         share of the ink carried by pixels at least 3/4 covered
//   contrast      mean WCAG contrast ratio of ink pixels against the frame
//                 (the specified colours reach 1.08 for red, 1.47 for
//                 orange and 3.4 for yellow at full cover)
// Coverage comes from the colour distance to the background along the
// text colour. Run it on the display the program uses (offscreen or xcb):
//
//   build-tools/legibility "AR PL UMing CN" "Noto Serif CJK SC"
//
// With LEGIBILITY_SHEET=FILE.png it also writes the rendered figures, one
// row per setting, to look at side by side.
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

struct Figure {
    const char *text;
    QColor color;
};
const Figure Figures[] = {
    {"2337", QColor(255, 128, 0)},
    {"77.9", QColor(255, 255, 0)},
    {"9", QColor(255, 0, 0)},
    {"10", QColor(255, 0, 255)},
    {"8", QColor(255, 0, 255)},
    {"3", QColor(255, 0, 0)},
    {"30", QColor(255, 0, 0)},
    {"90", QColor(255, 128, 0)},
    {"33.3333333333333", QColor(255, 0, 255)},
};
const QColor Frame(118, 118, 245);

double luminance(const QColor &c) {
    const auto channel = [](double v) {
        v /= 255;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor &a, const QColor &b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QImage render(const QFont &font, const QString &text, const QColor &color, qreal ratio) {
    const QFontMetrics metrics(font);
    QImage image(QSize(metrics.horizontalAdvance(text) + 4, metrics.height() + 4) * ratio,
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Frame);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPoint(2, 2 + metrics.ascent()), text);
    return image;
}

// How far the pixel lies from the frame towards the text colour, 0..1.
double coverage(QRgb pixel, const QColor &color) {
    double best = 0, span = 0;
    for (const auto &[p, f, b] : {std::tuple{qRed(pixel), color.red(), Frame.red()},
                                  std::tuple{qGreen(pixel), color.green(), Frame.green()},
                                  std::tuple{qBlue(pixel), color.blue(), Frame.blue()}})
        if (std::abs(f - b) > span) {
            span = std::abs(f - b);
            best = double(p - b) / (f - b);
        }
    return std::clamp(best, 0.0, 1.0);
}

struct Measure {
    double ink = 0, solidInk = 0, outline = 0, contrastSum = 0, pixels = 0;
    int digitTop = 1 << 20, digitBottom = -1;
};

void measure(const QImage &image, const QColor &color, Measure &m, bool digits) {
    const auto at = [&](int x, int y) {
        return x < image.width() && y < image.height() ? coverage(image.pixel(x, y), color) : 0.0;
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const double a = coverage(pixel, color);
            m.outline += std::abs(a - at(x + 1, y)) + std::abs(a - at(x, y + 1));
            if (a <= 0.1) continue;
            m.ink += a;
            if (a >= 0.75) m.solidInk += a;
            m.contrastSum += contrast(QColor(pixel), Frame);
            m.pixels += 1;
            if (digits) {
                m.digitTop = std::min(m.digitTop, y);
                m.digitBottom = std::max(m.digitBottom, y);
            }
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication application(argc, argv);
    QTextStream out(stdout);
    const std::pair<const char *, QFont::HintingPreference> hintings[] = {
        {"default", QFont::PreferDefaultHinting},
        {"none", QFont::PreferNoHinting},
        {"vertical", QFont::PreferVerticalHinting},
        {"full", QFont::PreferFullHinting}};
    QImage sheet(1000, 40 * 16 * (argc - 1), QImage::Format_RGB32);
    sheet.fill(Frame);
    QPainter sheetPainter(&sheet);
    int sheetRow = 0;
    out << "face | hinting | antialias | ratio | digit height | stroke | solid | contrast\n";
    for (int i = 1; i < argc; ++i)
        for (const auto &[hintingName, hinting] : hintings)
            for (bool antialias : {true, false})
                for (qreal ratio : {1.0, 2.0}) {
                    QFont font(QString::fromLocal8Bit(argv[i]));
                    font.setPointSizeF(10.5);
                    font.setHintingPreference(hinting);
                    font.setStyleStrategy(antialias ? QFont::PreferAntialias : QFont::NoAntialias);
                    Measure m;
                    measure(render(font, QStringLiteral("0123456789"), Qt::white, ratio), Qt::white,
                            m, true);
                    Measure figures;
                    int x = 0;
                    for (const Figure &f : Figures) {
                        const QImage image =
                            render(font, QString::fromLatin1(f.text), f.color, ratio);
                        measure(image, f.color, figures, false);
                        sheetPainter.drawImage(QPoint(x, sheetRow * 40), image);
                        x += image.width() + 8;
                    }
                    ++sheetRow;
                    out << argv[i] << " | " << hintingName << " | " << (antialias ? "on" : "off")
                        << " | " << ratio << " | " << (m.digitBottom - m.digitTop + 1) << " | "
                        << QString::number(2 * figures.ink / figures.outline, 'f', 2) << " | "
                        << QString::number(figures.solidInk / figures.ink, 'f', 2) << " | "
                        << QString::number(figures.contrastSum / figures.pixels, 'f', 2) << "\n";
                }
    if (qEnvironmentVariableIsSet("LEGIBILITY_SHEET"))
        sheet.save(qEnvironmentVariable("LEGIBILITY_SHEET"));
    return 0;
}
