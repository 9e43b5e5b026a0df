#pragma once

#include <QString>

namespace analysis {

// The part of the text without the leading and trailing characters
// `trimmed` selects.
template <typename Trimmed> QStringView trimmedView(QStringView text, Trimmed trimmed) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && trimmed(text[begin]))
        ++begin;
    while (end > begin && trimmed(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// The same as a text of its own (the text itself when nothing is trimmed).
template <typename Trimmed> QString trimEnds(const QString &text, Trimmed trimmed) {
    const QStringView view = trimmedView(text, trimmed);
    return view.size() == text.size() ? text : view.toString();
}

// Removes leading and trailing ordinary spaces (U+0020) only; tabs, line
// breaks and ideographic spaces are part of the text.
inline QString trimSpaces(const QString &text) {
    return trimEnds(text, [](QChar c) { return c == u' '; });
}

// Ordinary and ideographic spaces (U+3000) trimmed from both ends.
inline bool isWideSpace(QChar c) {
    return c == u' ' || c == u'\u3000';
}
inline QString trimWideSpaces(const QString &text) {
    return trimEnds(text, isWideSpace);
}
// The same without a text of its own, for the reading of every cell: copies
// of one shared text on several threads contend for its count.
inline QStringView wideTrimmedView(QStringView text) {
    return trimmedView(text, isWideSpace);
}

} // namespace analysis
