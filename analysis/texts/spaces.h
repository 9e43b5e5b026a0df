#pragma once

#include <QString>

namespace analysis {

// The text without the leading and trailing characters `trimmed` selects.
template <typename Trimmed> QString trimEnds(const QString &text, Trimmed trimmed) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && trimmed(text[begin]))
        ++begin;
    while (end > begin && trimmed(text[end - 1]))
        --end;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

// Removes leading and trailing ordinary spaces (U+0020) only; tabs, line
// breaks and ideographic spaces are part of the text.
inline QString trimSpaces(const QString &text) {
    return trimEnds(text, [](QChar c) { return c == u' '; });
}

// Ordinary and ideographic spaces (U+3000) trimmed from both ends.
inline QString trimWideSpaces(const QString &text) {
    return trimEnds(text, [](QChar c) { return c == u' ' || c == u'\u3000'; });
}

} // namespace analysis
