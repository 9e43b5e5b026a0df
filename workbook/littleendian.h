#pragma once

#include <cstdint>
#include <cstring>

namespace analysis {

// Fields of the binary containers (compound file, BIFF records, zip headers)
// are little-endian whatever the machine.

inline std::uint16_t le16(const std::uint8_t *p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

inline std::uint32_t le32(const std::uint8_t *p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline std::uint64_t le64(const std::uint8_t *p) {
    return std::uint64_t(le32(p)) | (std::uint64_t(le32(p + 4)) << 32);
}

inline double leDouble(const std::uint8_t *p) {
    const std::uint64_t bits = le64(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace analysis
