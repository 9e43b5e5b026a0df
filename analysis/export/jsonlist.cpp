#include "analysis/export/jsonlist.h"

#include "analysis/grade/sourcereading.h"
#include "analysis/texts/wellformed.h"

#include <QJsonDocument>
#include <QThread>

#include <algorithm>

namespace analysis {

namespace {

// Items are written this many at a time on each thread, the batch of all
// threads handed on in order before the next is begun.
constexpr std::size_t ItemsPerThread = 2048;

} // namespace

void writeJsonWithList(const QJsonObject &head, const char *key, std::size_t count,
                       const std::function<void(std::size_t, JsonText &)> &item,
                       const JsonPieces &write, const JsonText &members) {
    // The items' strings are escaped as they are written; the head as
    // QJsonDocument leaves it needs mending once.
    QByteArray out = wellFormedJson(QJsonDocument(head).toJson(QJsonDocument::Compact));
    out.chop(1);
    if (!head.isEmpty()) out += ',';
    if (!members.isEmpty()) {
        out += members.bytes();
        out += ',';
    }
    out += '"';
    out += key;
    out += "\":[";
    // Each chunk of a batch is written on its own thread: a district's list
    // is the most of the run's output.
    const std::size_t threads = std::max(1, QThread::idealThreadCount());
    std::vector<JsonText> chunks(count > ItemsPerThread ? threads : 1);
    write(out);
    for (std::size_t first = 0; first < count; first += ItemsPerThread * chunks.size()) {
        runOnThreads(chunks.size(), int(chunks.size()), [&]() -> IndexWork {
            return [&](std::size_t c) {
                JsonText &chunk = chunks[c];
                chunk.clear();
                const std::size_t begin = first + c * ItemsPerThread;
                const std::size_t end = std::min(count, begin + ItemsPerThread);
                for (std::size_t k = begin; k < end; ++k) {
                    if (k) chunk += ',';
                    item(k, chunk);
                }
            };
        });
        // Handed on as they are: copying them into one text touched as much
        // fresh memory again.
        for (const JsonText &chunk : chunks)
            if (!chunk.isEmpty()) write(chunk.bytes());
    }
    write(QByteArrayLiteral("]}"));
}

void appendJsonStudent(JsonText &out, const QString &className, const QString &number,
                       const QString &name) {
    out += "{\"class\":";
    appendJsonString(out, className);
    out += ",\"number\":";
    appendJsonString(out, number);
    out += ",\"name\":";
    appendJsonString(out, name);
}

} // namespace analysis
