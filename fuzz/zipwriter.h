#pragma once

// Writes a zip archive of stored (uncompressed) members, as the fuzz targets
// need to put mutated parts back into a package the reader accepts, and as
// tests build packages of their own making.

#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

namespace scorefuzz {

struct ZipMember {
    QByteArray name;
    QByteArray data;
};

namespace detail {

inline std::uint32_t crc32(const QByteArray &data) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : data)
        crc = table[(crc ^ std::uint8_t(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

inline void put16(QByteArray &out, std::uint32_t value) {
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

inline void put32(QByteArray &out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

} // namespace detail

inline QByteArray writeZip(const std::vector<ZipMember> &members) {
    using namespace detail;
    constexpr std::uint32_t Utf8Names = 0x0800;
    constexpr std::uint32_t Dos1980 = 0x0021; // 1 January 1980
    QByteArray out;
    QByteArray directory;
    for (const ZipMember &member : members) {
        const std::uint32_t offset = std::uint32_t(out.size());
        const std::uint32_t crc = crc32(member.data);
        const auto size = std::uint32_t(member.data.size());
        put32(out, 0x04034B50);
        put16(out, 20);
        put16(out, Utf8Names);
        put16(out, 0); // stored
        put16(out, 0);
        put16(out, Dos1980);
        put32(out, crc);
        put32(out, size);
        put32(out, size);
        put16(out, std::uint32_t(member.name.size()));
        put16(out, 0);
        out += member.name;
        out += member.data;

        put32(directory, 0x02014B50);
        put16(directory, 20);
        put16(directory, 20);
        put16(directory, Utf8Names);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, Dos1980);
        put32(directory, crc);
        put32(directory, size);
        put32(directory, size);
        put16(directory, std::uint32_t(member.name.size()));
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, 0);
        put32(directory, offset);
        directory += member.name;
    }
    const std::uint32_t directoryOffset = std::uint32_t(out.size());
    out += directory;
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, std::uint32_t(members.size()));
    put16(out, std::uint32_t(members.size()));
    put32(out, std::uint32_t(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}

} // namespace scorefuzz
