// Multi-byte numbers of a link frame are big-endian, whatever the host's order.
#pragma once

#include <cstdint>

namespace seriallink {

inline uint16_t ReadUint16BE(const uint8_t* p)
{
    return static_cast<uint16_t>(static_cast<unsigned>(p[0]) << 8 | p[1]);
}

inline void WriteUint16BE(uint8_t* p, uint16_t value)
{
    p[0] = static_cast<uint8_t>(value >> 8);
    p[1] = static_cast<uint8_t>(value & 0xFF);
}

}  // namespace seriallink
