#include "workbook/text/wholefile.h"

namespace analysis::text {

namespace {

// Far beyond any class list, and within the 32-bit offsets of a grid sheet.
constexpr std::uint64_t MaxBytes = 512u << 20;

} // namespace

const std::uint8_t *wholeFile(ByteSource &source, QByteArray *copy) {
    const std::uint64_t size = source.size();
    if (size > MaxBytes) return nullptr;
    if (const std::uint8_t *bytes = source.view(0, std::size_t(size))) return bytes;
    copy->resize(qsizetype(size));
    auto *out = reinterpret_cast<std::uint8_t *>(copy->data());
    return source.read(0, std::size_t(size), out) ? out : nullptr;
}

} // namespace analysis::text
