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

namespace {

// Where a line's scan stands, as readField reads the line: a quote opens a
// field only at its start, a doubled one inside quotes is a quote, and text
// after a closing quote belongs to the field.
enum class Scan { FieldStart, Plain, Quoted, AfterQuote };

class CsvRows final : public PendingRows {
public:
    CsvRows(std::unique_ptr<DecodedText> text, QChar separator)
        : m_text(std::move(text)), m_separator(separator) {}
    int addRow(GridSheet &sheet) override;
    bool done() const override { return m_text->complete() && m_at >= m_text->text().size(); }

private:
    int decodeLine();
    bool lineEnds();

    std::unique_ptr<DecodedText> m_text;
    QChar m_separator;
    qsizetype m_at = 0;   // where the next line starts in the text
    qsizetype m_scan = 0; // how far the next line has been scanned for its end
    Scan m_state = Scan::FieldStart;
    QString m_quoted; // a quoted field's text, quotes undone
};

// Scans on from m_scan for the end of the line that starts at m_at: a line
// end outside quotes.
bool CsvRows::lineEnds() {
    const QStringView text = m_text->text();
    for (; m_scan < text.size(); ++m_scan) {
        const QChar c = text[m_scan];
        switch (m_state) {
        case Scan::FieldStart:
        case Scan::Plain:
            if (isLineEnd(c)) return true;
            m_state = c == m_separator                           ? Scan::FieldStart
                      : c == u'"' && m_state == Scan::FieldStart ? Scan::Quoted
                                                                 : Scan::Plain;
            break;
        case Scan::Quoted:
            if (c == u'"') m_state = Scan::AfterQuote;
            break;
        case Scan::AfterQuote:
            if (isLineEnd(c)) return true;
            m_state = c == u'"' ? Scan::Quoted : c == m_separator ? Scan::FieldStart : Scan::Plain;
            break;
        }
    }
    return false;
}

// Decodes until the next line lies whole in the text, or the file ends.
int CsvRows::decodeLine() {
    while (!lineEnds() && !m_text->complete())
        if (const int failure = m_text->more()) return failure;
    return NoError;
}

int CsvRows::addRow(GridSheet &sheet) {
    // The text read so far is let go now and then: the sheet holds its fields.
    if (m_at > (1 << 20)) {
        m_text->forget(m_at);
        m_scan -= m_at;
        m_at = 0;
    }
    if (const int failure = decodeLine()) return failure;
    const QStringView text = m_text->text();
    const qsizetype size = text.size();
    if (m_at >= size) return NoError; // the file ended with the last line
    if (!sheet.startRow()) return CannotOpen;
    for (int column = 1;; ++column) {
        if (column > GridSheet::MaxColumns) return CannotOpen;
        QStringView field;
        if (const int failure = readField(text, m_separator, &m_at, &m_quoted, &field))
            return failure;
        sheet.addCell(column, field);
        if (m_at >= size || text[m_at] != m_separator) break;
        ++m_at;
    }
    // A line end: CR LF, LF or CR; a part ends after a line feed, so that a
    // CR LF is never split between two.
    if (m_at < size && text[m_at] == u'\r') ++m_at;
    if (m_at < size && text[m_at] == u'\n') ++m_at;
    m_scan = m_at;
    m_state = Scan::FieldStart;
    return NoError;
}

} // namespace

std::shared_ptr<PendingRows> csvRows(std::unique_ptr<DecodedText> text, QChar separator) {
    return std::make_shared<CsvRows>(std::move(text), separator);
}

} // namespace analysis::text
