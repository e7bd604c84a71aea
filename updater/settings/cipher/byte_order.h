// 32-bit words kept in bytes: little-endian in LockBox's digest and ciphers, big-endian
// where Blowfish reads its key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

namespace torvik::cipher {

inline std::span<const uint8_t, 4> WordBytes(std::span<const uint8_t> bytes, size_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < 4) {
        throw std::out_of_range("word beyond the end of its buffer");
    }
    return std::span<const uint8_t, 4>(bytes.data() + offset, 4);
}

inline uint32_t LoadLittleEndian32(std::span<const uint8_t> bytes, size_t offset)
{
    const auto b = WordBytes(bytes, offset);
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

inline uint32_t LoadBigEndian32(std::span<const uint8_t> bytes, size_t offset)
{
    const auto b = WordBytes(bytes, offset);
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | uint32_t{b[3]};
}

inline void StoreLittleEndian32(std::span<uint8_t> bytes, size_t offset, uint32_t word)
{
    (void)WordBytes(bytes, offset);
    for (size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(word >> (8 * i));
    }
}

}  // namespace torvik::cipher
