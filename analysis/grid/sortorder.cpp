#include "analysis/grid/sortorder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace analysis {

namespace {

// A whole text that reads as a decimal number, such as " 85", "85.5", "-3",
// "1E3"; "85分" or "" are not numbers.
std::optional<double> wholeNumber(const QString &text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 64) return std::nullopt;
    std::string latin = trimmed.toStdString();
    std::size_t start = 0;
    if (latin[0] == '+' || latin[0] == '-') start = 1;
    bool digitSeen = false;
    for (std::size_t i = start; i < latin.size(); ++i) {
        const char c = latin[i];
        if (c >= '0' && c <= '9')
            digitSeen = true;
        else if (c == '.' || c == 'e' || c == 'E' ||
                 ((c == '+' || c == '-') && i > start &&
                  (latin[i - 1] == 'e' || latin[i - 1] == 'E')))
            continue;
        else
            return std::nullopt;
    }
    if (!digitSeen) return std::nullopt;
    double value = 0;
    const char *first = latin.data() + start;
    const char *last = latin.data() + latin.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (end != last || error != std::errc()) return std::nullopt;
    return latin[0] == '-' ? -value : value;
}

// Higher ranks sort first.
enum class Rank { BlankRow = 0, EmptyCell = 1, Text = 2, Number = 3 };

struct Key {
    Rank rank;
    double number = 0;
    QString text;
};

} // namespace

void sortDescending(ScoreGrid &grid, int firstRow, int lastRow, int firstColumn, int lastColumn) {
    firstRow = std::clamp(firstRow, 0, ScoreGrid::Rows - 1);
    lastRow = std::clamp(lastRow, 0, ScoreGrid::Rows - 1);
    firstColumn = std::clamp(firstColumn, 0, ScoreGrid::Columns - 1);
    lastColumn = std::clamp(lastColumn, 0, ScoreGrid::Columns - 1);
    if (firstRow > lastRow) std::swap(firstRow, lastRow);
    if (firstColumn > lastColumn) std::swap(firstColumn, lastColumn);

    struct Row {
        std::vector<Key> keys;
        std::array<QString, ScoreGrid::Columns> cells;
    };
    std::vector<Row> rows;
    for (int r = firstRow; r <= lastRow; ++r) {
        Row row;
        const bool blank = grid.isRowBlank(r);
        for (int c = 0; c < ScoreGrid::Columns; ++c)
            row.cells[c] = grid.text(r, c);
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const QString &text = row.cells[c];
            if (blank)
                row.keys.push_back({Rank::BlankRow, 0, {}});
            else if (const std::optional<double> number = wholeNumber(text))
                row.keys.push_back({Rank::Number, *number, {}});
            else if (text.trimmed().isEmpty())
                row.keys.push_back({Rank::EmptyCell, 0, {}});
            else
                row.keys.push_back({Rank::Text, 0, text});
        }
        rows.push_back(std::move(row));
    }

    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    collator.setNumericMode(true);
    const auto compareKeys = [&collator](const Key &a, const Key &b) {
        if (a.rank != b.rank) return a.rank > b.rank ? -1 : 1;
        if (a.rank == Rank::Number) return a.number > b.number ? -1 : (a.number < b.number ? 1 : 0);
        if (a.rank == Rank::Text) {
            int order = collator.compare(a.text, b.text);
            if (order == 0) order = a.text.compare(b.text);
            return order > 0 ? -1 : (order < 0 ? 1 : 0);
        }
        return 0;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const Row &a, const Row &b) {
        for (std::size_t k = 0; k < a.keys.size(); ++k) {
            const int order = compareKeys(a.keys[k], b.keys[k]);
            if (order != 0) return order < 0;
        }
        return false;
    });

    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = 0; c < ScoreGrid::Columns; ++c)
            grid.setText(r, c, rows[std::size_t(r - firstRow)].cells[c]);
}

void sortDescending(ScoreGrid &grid, int keyColumn) {
    sortDescending(grid, 0, ScoreGrid::Rows - 1, keyColumn, keyColumn);
}

} // namespace analysis
