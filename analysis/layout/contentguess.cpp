#include "analysis/layout/contentguess.h"

#include "analysis/layout/headerwords.h"

#include <QSet>

#include <algorithm>
#include <functional>

namespace analysis {

namespace {

enum class Content { Other, Number, Name, Score };

bool isDigits(const QString &text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool isChineseName(const QString &text) {
    return text.size() >= 2 && text.size() <= 4 &&
           std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x4e00 && c.unicode() <= 0x9fff; });
}

bool isScore(const QString &text, double *value) {
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && *value >= 0 && *value <= 1000;
}

// The texts of a column in rows first..last, empty ones left out.
QStringList columnTexts(const SheetSample &sample, int column, int first, int last) {
    QStringList texts;
    for (int row = first; row <= last; ++row)
        if (const QString text = sample.text(row, column); !text.isEmpty()) texts.append(text);
    return texts;
}

bool allOf(const QStringList &texts, const std::function<bool(const QString &)> &test) {
    return std::all_of(texts.begin(), texts.end(), test);
}

// A count down the rows (1, 2, 3, …) numbers the rows, it is no score.
bool isRowCount(const QStringList &texts) {
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (texts[i] != QString::number(i + 1)) return false;
    return true;
}

Content columnContent(const QStringList &texts) {
    if (texts.size() < 2) return Content::Other;
    const qsizetype distinct = QSet<QString>(texts.begin(), texts.end()).size();
    if (distinct == texts.size() && allOf(texts, [](const QString &text) {
            return text.size() >= 4 && text.size() <= 20 && isDigits(text);
        }))
        return Content::Number;
    if (distinct * 2 > texts.size() && allOf(texts, isChineseName)) return Content::Name;
    double value = 0;
    if (!isRowCount(texts) &&
        allOf(texts, [&](const QString &text) { return isScore(text, &value); }))
        return Content::Score;
    return Content::Other;
}

// The rows of the list: from the first row of two or more texts to the last
// before an empty row or a footer row.
std::pair<int, int> listRows(const SheetSample &sample) {
    int first = 1;
    while (first <= sample.rows() && sample.textCount(first) < 2)
        ++first;
    int last = first;
    while (last + 1 <= sample.rows() && !sample.rowEmpty(last + 1) &&
           !isFooterText(sample.firstText(last + 1)))
        ++last;
    return {first, last};
}

ContentGuess guessRows(const SheetSample &sample, int first, int last) {
    ContentGuess guess{first, last < sample.rows() ? last : 0, 0, 0, {}};
    for (int column = 1; column <= sample.columns(); ++column) {
        switch (columnContent(columnTexts(sample, column, first, last))) {
        case Content::Number:
            if (!guess.number) guess.number = column;
            break;
        case Content::Name:
            if (!guess.name) guess.name = column;
            break;
        case Content::Score:
            guess.scores.push_back(column);
            break;
        case Content::Other:
            break;
        }
    }
    return guess;
}

int found(const ContentGuess &guess) {
    return (guess.number > 0) + (guess.name > 0) + int(guess.scores.size());
}

} // namespace

ContentGuess guessFromContent(const SheetSample &sample) {
    const auto [first, last] = listRows(sample);
    if (first > sample.rows()) return {};
    const ContentGuess withTop = guessRows(sample, first, last);
    if (first == last) return withTop;
    // A header row of words the table does not know is left above the list.
    const ContentGuess below = guessRows(sample, first + 1, last);
    return found(below) > found(withTop) ? below : withTop;
}

} // namespace analysis
