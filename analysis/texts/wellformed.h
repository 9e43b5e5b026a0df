#pragma once

#include <QByteArray>
#include <QString>

namespace analysis {

// The text with each lone surrogate (a sheet name may hold one) replaced by
// U+FFFD, as its UTF-8 would be.
QString wellFormed(const QString &text);

// JSON text that every reader accepts and a terminal can show: an escaped
// lone surrogate (\udXXX without its pair, as QJsonDocument writes one)
// becomes \ufffd, and DEL and the C1 controls, which QJsonDocument leaves
// raw, are escaped.
QByteArray wellFormedJson(const QByteArray &json);

// Appends text as a JSON string, escaped as wellFormedJson leaves the text of
// QJsonDocument: for lists written one row at a time, never held as a tree.
void appendJsonString(QByteArray &out, const QString &text);

} // namespace analysis
