// Fixed-width little-endian integers in byte layouts that leave the process (grammar
// images, byte code). Values are assembled byte by byte, whatever the host's order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lxra {

inline int32_t ReadInt32LE(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    const uint32_t value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    return static_cast<int32_t>(value);
}

inline void WriteInt32LE(char* p, int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
}

// Reads the word at offset when it lies wholly inside size bytes.
inline bool ReadInt32At(const char* data, size_t size, size_t offset, int32_t& value)
{
    if (offset > size || size - offset < 4) {
        return false;
    }
    value = ReadInt32LE(data + offset);
    return true;
}

}  // namespace lxra
