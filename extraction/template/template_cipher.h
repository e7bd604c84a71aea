// The template's encryption: DES (FIPS 46-3) in ECB mode under the module's fixed key.
// The library only encrypts; readers of templates decrypt with the same key.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace fenrax {

// Parity bits (the lowest of each byte) are ignored, as the standard says.
inline constexpr std::array<uint8_t, 8> kTemplateKey = {0x07, 0x03, 0x05, 0x09, 0x02, 0x06, 0x03, 0x05};

// Encrypts the buffer in place, 8-byte block by block from the start; a trailing partial
// block (never the case for the two template sizes) is left as it is.
void EncryptTemplate(std::span<uint8_t> buffer);

}  // namespace fenrax
