#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <string>

namespace analysis {

// JSON text written a piece at a time. A district's list of students is
// millions of short pieces, each of which QByteArray's general insert would
// cost more than the piece itself.
class JsonText {
public:
    JsonText &operator+=(char c) {
        m_text.push_back(c);
        return *this;
    }
    JsonText &operator+=(QByteArrayView bytes) {
        m_text.append(bytes.data(), std::size_t(bytes.size()));
        return *this;
    }
    JsonText &operator+=(const JsonText &other) {
        m_text += other.m_text;
        return *this;
    }
    bool isEmpty() const { return m_text.empty(); }
    void clear() { m_text.clear(); }
    // The text without a copy, valid while it is left unchanged.
    QByteArray bytes() const {
        return QByteArray::fromRawData(m_text.data(), qsizetype(m_text.size()));
    }

private:
    friend void appendJsonString(JsonText &out, const QString &text);
    std::string m_text;
};

// Appends text as a JSON string, escaped as wellFormedJson leaves the text of
// QJsonDocument: a lone surrogate as U+FFFD, quotes, backslashes and control
// characters (C0, DEL, C1) escaped.
void appendJsonString(JsonText &out, const QString &text);
void appendJsonString(QByteArray &out, const QString &text);

// A number as QJsonDocument writes it (shortest exact form), or null.
void appendJsonNumber(JsonText &out, const std::optional<double> &value);

} // namespace analysis
