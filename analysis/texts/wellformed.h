#pragma once

#include <QByteArray>

namespace analysis {

// Whether the UTF-8 byte c, with the byte after it, starts DEL or a C1
// control: raw in QJsonDocument's text, escaped in the program's JSON.
inline bool isRawControl(unsigned char c, unsigned char next) {
    return c == 0x7F || (c == 0xC2 && next >= 0x80 && next <= 0x9F);
}

// JSON text that every reader accepts and a terminal can show: an escaped
// lone surrogate (\udXXX without its pair, as QJsonDocument writes one)
// becomes \ufffd, and DEL and the C1 controls, which QJsonDocument leaves
// raw, are escaped.
QByteArray wellFormedJson(const QByteArray &json);

} // namespace analysis
