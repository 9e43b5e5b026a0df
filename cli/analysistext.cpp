#include "cli/analysistext.h"

#include "analysis/texts/displaywidth.h"
#include "analysis/texts/wellformed.h"

#include <QJsonDocument>

#include <algorithm>

namespace report {

namespace {

constexpr int ColumnGap = 2;

QString padded(const QString &text, int width, bool right) {
    const QString fill(width - analysis::displayWidth(text), u' ');
    return right ? fill + text : text + fill;
}

QString linesText(const QString &title, const QStringList &lines) {
    QString out = title + u'\n';
    for (const QString &line : lines)
        out += QStringLiteral("  ") + oneLine(line) + u'\n';
    return out;
}

} // namespace

QString jsonText(const QJsonObject &object) {
    return QString::fromUtf8(
               analysis::wellFormedJson(QJsonDocument(object).toJson(QJsonDocument::Compact))) +
           u'\n';
}

QString oneLine(QString text) {
    if (!text.contains(u'\t') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    return text;
}

// Written line by line from the table itself: a rank list of a whole grade
// is not copied.
QString tableText(const analysis::Table &table) {
    std::vector<analysis::TableCell> header;
    for (const QString &name : table.header)
        header.push_back({name, std::nullopt});
    std::vector<int> widths(header.size(), 0);
    const auto measure = [&widths](const std::vector<analysis::TableCell> &line) {
        for (std::size_t c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], analysis::displayWidth(oneLine(line[c].text)));
    };
    measure(header);
    for (const std::vector<analysis::TableCell> &row : table.rows)
        measure(row);
    QString out = table.title + u'\n';
    const auto append = [&](const std::vector<analysis::TableCell> &line) {
        const qsizetype start = out.size();
        for (std::size_t c = 0; c < line.size(); ++c)
            out += padded(oneLine(line[c].text), widths[c], line[c].number.has_value()) +
                   QString(ColumnGap, u' ');
        while (out.size() > start && out.endsWith(u' '))
            out.chop(1);
        out += u'\n';
    };
    append(header);
    for (const std::vector<analysis::TableCell> &row : table.rows)
        append(row);
    return out;
}

QString analysisText(const analysis::AnalysisTables &tables) {
    QStringList parts;
    for (const analysis::Table *table :
         {&tables.figures, &tables.grades, &tables.bands, &tables.ranking})
        parts << tableText(*table);
    if (!tables.notes.isEmpty()) parts << linesText(QStringLiteral("说明"), tables.notes);
    parts << linesText(QStringLiteral("口径说明"), tables.rules);
    return parts.join(u'\n');
}

} // namespace report
