#pragma once

#include <QString>

namespace analysis {

// Removes leading and trailing ordinary spaces (U+0020) only; tabs, line
// breaks and ideographic spaces are part of the text.
inline QString trimSpaces(const QString &text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

} // namespace analysis
