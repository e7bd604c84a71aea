// Little-endian integers in the byte layouts the SDK reads and writes (templates, BMP
// files), assembled byte by byte whatever the host's order. Offsets are checked by the
// callers against the real size of the buffer before these run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace dactis {

inline uint16_t LoadLE16(std::span<const uint8_t> bytes, size_t offset)
{
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

inline uint32_t LoadLE32(std::span<const uint8_t> bytes, size_t offset)
{
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

inline void StoreLE16(std::span<uint8_t> bytes, size_t offset, uint16_t value)
{
    bytes[offset] = static_cast<uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void StoreLE32(std::span<uint8_t> bytes, size_t offset, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace dactis
