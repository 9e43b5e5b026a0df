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

} // namespace analysis
