#pragma once

#include "analysis/export/jsontext.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <functional>

namespace analysis {

// Hands on JSON text in pieces as it is made.
using JsonPieces = std::function<void(const QByteArray &piece)>;

// Writes the object head with one more key, a list written item by item, to
// write in pieces of a few thousand items: a district's list of students is
// never held as a tree of JSON values, nor as one text. item appends its
// JSON, escaped as appendJsonString does; it is called on a thread per core.
// members, when given, are more members written by hand ("a":…,"b":…), put
// between the head's and the list.
void writeJsonWithList(const QJsonObject &head, const char *key, std::size_t count,
                       const std::function<void(std::size_t item, JsonText &out)> &item,
                       const JsonPieces &write, const JsonText &members = JsonText());

// Opens a student's object in a list with what identifies them:
// {"class":…,"number":…,"name":…, the caller goes on and closes it.
void appendJsonStudent(JsonText &out, const QString &className, const QString &number,
                       const QString &name);

} // namespace analysis
