#pragma once

#include <QByteArray>
#include <QString>

namespace analysis {

// Text for a terminal: a control character other than line break and tab
// (C0, DEL and C1, which a terminal would obey: clear the screen, move the
// cursor) is shown as a visible escape, \x1B or \u009B, a file name's byte
// that is not UTF-8 (U+DC80…U+DCFF, see nameFromBytes) as \xFF, and any
// other lone surrogate as U+FFFD, so that a cell's text can only be read,
// never act.
QString terminalText(const QString &text);

// The same for UTF-8 text: terminalText(QString::fromUtf8(utf8)).toUtf8(),
// without the round trip where nothing is to be shown otherwise.
QByteArray terminalUtf8(const QByteArray &utf8);

} // namespace analysis
