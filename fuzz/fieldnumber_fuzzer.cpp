// Feeds arbitrary UTF-8 text to the field number rule. Besides running clean
// under the sanitizers, the rule must keep two of its promises: blanks are
// skipped wherever they stand, so inserting one changes nothing, and
// readFieldInteger is readFieldNumber followed by toInt16.

#include "analysis/grid/fieldnumber.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "fieldnumber_fuzzer: %s\n", what);
    std::abort();
}

bool same(double a, double b) {
    return a == b ? std::signbit(a) == std::signbit(b) : std::isnan(a) && std::isnan(b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double value = analysis::readFieldNumber(text);
    if (std::isnan(value)) fail("a text read as NaN");
    if (analysis::readFieldInteger(text) != analysis::toInt16(value))
        fail("readFieldInteger differs from toInt16(readFieldNumber)");

    // A blank at a position the input itself chooses.
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    static const char16_t blanks[] = {u' ', u'\t', u'\n'};
    QString spaced = text;
    spaced.insert(qsizetype(hash % std::uint32_t(text.size() + 1)),
                  QChar(blanks[(hash >> 16) % 3]));
    if (!same(analysis::readFieldNumber(spaced), value))
        fail("a blank inserted into the text changed its number");
    return 0;
}
