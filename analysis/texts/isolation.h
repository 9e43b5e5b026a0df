#pragma once

#include <QString>
#include <QStringList>

namespace analysis {

// Texts joined into one, each in its own bidirectional isolate (U+2068 …
// U+2069), so that a right-to-left override in one name ends with it and
// never reverses the next.
inline QString joinIsolated(const QStringList &texts, QChar separator) {
    if (texts.size() < 2) return texts.join(separator);
    QStringList isolated;
    for (const QString &text : texts)
        isolated << u'\u2068' + text + u'\u2069';
    return isolated.join(separator);
}

} // namespace analysis
