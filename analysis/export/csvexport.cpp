#include "analysis/export/csvexport.h"

namespace analysis {

namespace {

// A field is quoted when it holds a separator, a quote or a line break.
QString field(const QString &text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

void appendLine(QString &out, const QStringList &fields) {
    QStringList quoted;
    for (const QString &text : fields)
        quoted << field(text);
    out += quoted.join(u',') + QStringLiteral("\r\n");
}

void appendTable(QString &out, const Table &table) {
    appendLine(out, {table.title});
    appendLine(out, table.header);
    for (const std::vector<TableCell> &row : table.rows) {
        QStringList texts;
        for (const TableCell &cell : row)
            texts << cell.text;
        appendLine(out, texts);
    }
    out += QStringLiteral("\r\n");
}

void appendLines(QString &out, const QString &title, const QStringList &lines) {
    appendLine(out, {title});
    for (const QString &line : lines)
        appendLine(out, {line});
}

} // namespace

QByteArray analysisCsv(const AnalysisTables &tables) {
    QString out = QStringLiteral("\uFEFF");
    for (const Table *table : {&tables.ranking, &tables.figures, &tables.grades, &tables.bands})
        appendTable(out, *table);
    if (!tables.notes.isEmpty()) {
        appendLines(out, QStringLiteral("说明"), tables.notes);
        out += QStringLiteral("\r\n");
    }
    appendLines(out, QStringLiteral("口径说明"), tables.rules);
    return out.toUtf8();
}

QByteArray tablesCsv(const std::vector<const Table *> &tables) {
    QString out = QStringLiteral("\uFEFF");
    for (const Table *table : tables)
        if (!table->rows.empty()) appendTable(out, *table);
    return out.toUtf8();
}

} // namespace analysis
