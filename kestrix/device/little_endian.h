// Fixed-width little-endian integers in the bytes exchanged with the reader (command
// packets, pipe numbers, driver request blocks), assembled byte by byte whatever the
// host's order.
#pragma once

#include <cstdint>

namespace kestrix {

inline void StoreLe16(uint8_t* p, uint16_t value)
{
    p[0] = static_cast<uint8_t>(value & 0xFF);
    p[1] = static_cast<uint8_t>(value >> 8);
}

inline void StoreLe32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

inline void StoreLe64(uint8_t* p, uint64_t value)
{
    for (int i = 0; i < 8; ++i) {
        p[i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

inline uint16_t LoadLe16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t LoadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

inline uint64_t LoadLe64(const uint8_t* p)
{
    return static_cast<uint64_t>(LoadLe32(p)) | static_cast<uint64_t>(LoadLe32(p + 4)) << 32;
}

}  // namespace kestrix
