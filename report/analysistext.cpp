#include "report/analysistext.h"

#include "analysis/displaywidth.h"

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

QString oneLine(QString text) {
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    return text;
}

QString tableText(const analysis::Table &table) {
    std::vector<std::vector<analysis::TableCell>> lines;
    std::vector<analysis::TableCell> header;
    for (const QString &name : table.header)
        header.push_back({name, std::nullopt});
    lines.push_back(header);
    lines.insert(lines.end(), table.rows.begin(), table.rows.end());
    std::vector<int> widths(header.size(), 0);
    for (std::vector<analysis::TableCell> &line : lines)
        for (std::size_t c = 0; c < line.size(); ++c) {
            line[c].text = oneLine(line[c].text);
            widths[c] = std::max(widths[c], analysis::displayWidth(line[c].text));
        }
    QString out = table.title + u'\n';
    for (const std::vector<analysis::TableCell> &line : lines) {
        QString text;
        for (std::size_t c = 0; c < line.size(); ++c)
            text += padded(line[c].text, widths[c], line[c].number.has_value()) +
                    QString(ColumnGap, u' ');
        while (text.endsWith(u' '))
            text.chop(1);
        out += text + u'\n';
    }
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
