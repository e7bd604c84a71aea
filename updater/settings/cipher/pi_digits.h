// The hexadecimal digits of pi, the "nothing up my sleeve" constant that both of
// LockBox's algorithms start from.
#pragma once

#include <array>
#include <cstdint>

namespace torvik::cipher {

// The first 256 bytes of pi's fractional part (24 3F 6A 88 …): the initial digest buffer
// of LMD and, read as big-endian words, Blowfish's initial P array (its first 18 words).
extern const std::array<uint8_t, 256> kPiFractionBytes;

}  // namespace torvik::cipher
