#include "workbook/text/csvsheet.h"

#include "workbook/importerrors.h"

#include <algorithm>
#include <array>
#include <map>

namespace analysis::text {

namespace {

constexpr std::array<QChar, 3> Separators{u',', u'\t', u';'};
constexpr int SniffedLines = 20;

bool isLineEnd(QChar c) {
    return c == u'\n' || c == u'\r';
}

// The lines among the counted ones that have the most common number (above
// none) of this separator.
int agreeingLines(const std::vector<int> &counts) {
    std::map<int, int> lines;
    for (const int count : counts)
        if (count > 0) ++lines[count];
    int most = 0;
    for (const auto &[count, number] : lines)
        most = std::max(most, number);
    return most;
}

// One field from *position: its text, quotes undone. Leaves *position on the
// separator or line end after it, or at the end.
int readField(QStringView text, QChar separator, qsizetype *position, QString *quoted,
              QStringView *field) {
    qsizetype at = *position;
    const qsizetype size = text.size();
    if (at < size && text[at] == u'"') {
        quoted->clear();
        for (++at;;) {
            const qsizetype quote = text.indexOf(u'"', at);
            if (quote < 0) {
                // Open to the end: readable only if no line was swallowed.
                QStringView rest = text.mid(at);
                while (!rest.isEmpty() && isLineEnd(rest.back()))
                    rest.chop(1);
                if (rest.contains(u'\n') || rest.contains(u'\r')) return CannotOpen;
                quoted->append(rest);
                at = size;
                break;
            }
            quoted->append(text.mid(at, quote - at));
            at = quote + 1;
            if (at < size && text[at] == u'"') {
                quoted->append(u'"');
                ++at;
                continue;
            }
            break;
        }
        // Text between a closing quote and the separator is kept, as
        // spreadsheet programs keep it.
        const qsizetype tail = at;
        while (at < size && text[at] != separator && !isLineEnd(text[at]))
            ++at;
        quoted->append(text.mid(tail, at - tail));
        *field = *quoted;
    } else {
        const qsizetype begin = at;
        while (at < size && text[at] != separator && !isLineEnd(text[at]))
            ++at;
        *field = text.mid(begin, at - begin);
    }
    *position = at;
    return NoError;
}

} // namespace

QChar sniffSeparator(QStringView text) {
    std::array<std::vector<int>, Separators.size()> counts;
    for (auto &line : counts)
        line.push_back(0);
    bool quoted = false;
    int lines = 0;
    for (qsizetype i = 0; i < text.size() && lines < SniffedLines; ++i) {
        const QChar c = text[i];
        if (c == u'"') quoted = !quoted;
        if (quoted) continue;
        if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) {
            ++lines;
            for (auto &line : counts)
                line.push_back(0);
        }
        for (std::size_t s = 0; s < Separators.size(); ++s)
            counts[s].back() += c == Separators[s];
    }
    std::size_t best = 0;
    int bestLines = 0;
    for (std::size_t s = 0; s < Separators.size(); ++s)
        if (const int agreeing = agreeingLines(counts[s]); agreeing > bestLines) {
            best = s;
            bestLines = agreeing;
        }
    return Separators[best];
}

int readCsv(QStringView text, QChar separator, GridSheet *sheet) {
    const qsizetype size = text.size();
    qsizetype at = 0;
    QString quoted;
    while (at < size) {
        if (!sheet->startRow()) return CannotOpen;
        for (int column = 1;; ++column) {
            if (column > GridSheet::MaxColumns) return CannotOpen;
            QStringView field;
            if (const int failure = readField(text, separator, &at, &quoted, &field))
                return failure;
            sheet->addCell(column, field);
            if (at >= size || text[at] != separator) break;
            ++at;
        }
        // A line end: CR LF, LF or CR.
        if (at < size && text[at] == u'\r') ++at;
        if (at < size && text[at] == u'\n') ++at;
    }
    return NoError;
}

} // namespace analysis::text
