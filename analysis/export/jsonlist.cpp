#include "analysis/export/jsonlist.h"

#include "analysis/texts/wellformed.h"

#include <QJsonDocument>
#include <QLocale>

namespace analysis {

namespace {

// Pieces of about this size are handed on.
constexpr qsizetype PieceSize = 1 << 16;

} // namespace

void writeJsonWithList(const QJsonObject &head, const char *key, std::size_t count,
                       const std::function<void(std::size_t, QByteArray &)> &item,
                       const JsonPieces &write) {
    // The items' strings are escaped as they are written; the head as
    // QJsonDocument leaves it needs mending once.
    QByteArray out = wellFormedJson(QJsonDocument(head).toJson(QJsonDocument::Compact));
    out.chop(1);
    if (!head.isEmpty()) out += ',';
    out += '"';
    out += key;
    out += "\":[";
    for (std::size_t k = 0; k < count; ++k) {
        if (k) out += ',';
        item(k, out);
        if (out.size() < PieceSize) continue;
        write(out);
        out.resize(0);
    }
    out += "]}";
    write(out);
}

void appendJsonNumber(QByteArray &out, const std::optional<double> &value) {
    if (value)
        out += QByteArray::number(*value, 'g', QLocale::FloatingPointShortest);
    else
        out += "null";
}

} // namespace analysis
