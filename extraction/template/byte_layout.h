// Little-endian fields of the template, written byte by byte whatever the host's order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace fenrax {

inline void StoreLittleEndian16(std::span<uint8_t> bytes, size_t offset, uint16_t value)
{
    bytes[offset] = static_cast<uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline uint16_t LoadLittleEndian16(std::span<const uint8_t> bytes, size_t offset)
{
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

}  // namespace fenrax
