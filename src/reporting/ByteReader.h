#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Little-endian reads from an untrusted byte buffer: every read checks its bounds first, and
// offsets and lengths are compared without overflow.
namespace tamsel {

using Bytes = std::span<const std::uint8_t>;

inline bool InBounds(Bytes bytes, std::uint64_t offset, std::uint64_t length) {
    return offset <= bytes.size() && length <= bytes.size() - offset;
}

inline bool ReadU16(Bytes bytes, std::uint64_t offset, std::uint16_t& out) {
    if (!InBounds(bytes, offset, 2)) {
        return false;
    }
    out = static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
    return true;
}

inline bool ReadU32(Bytes bytes, std::uint64_t offset, std::uint32_t& out) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!ReadU16(bytes, offset, low) || !ReadU16(bytes, offset + 2, high)) {
        return false;
    }
    out = low | (static_cast<std::uint32_t>(high) << 16);
    return true;
}

inline bool ReadU64(Bytes bytes, std::uint64_t offset, std::uint64_t& out) {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    if (!ReadU32(bytes, offset, low) || !ReadU32(bytes, offset + 4, high)) {
        return false;
    }
    out = low | (static_cast<std::uint64_t>(high) << 32);
    return true;
}

}  // namespace tamsel
