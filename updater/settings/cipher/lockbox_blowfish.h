// The "Blowfish" of the existing tools. Their block function reads the block once before
// the rounds, so the rounds cancel out and every 8-byte block is XORed with one 64-bit
// constant that the key schedule leaves behind: enciphering and deciphering are the same
// operation. Values written by those tools can only be read this way.
#pragma once

#include <cstdint>
#include <span>

#include "settings/cipher/text_cipher.h"

namespace torvik::cipher {

class LockBoxBlowfish {
public:
    explicit LockBoxBlowfish(const CipherKey& key);

    // Enciphers or deciphers one 8-byte block in place.
    void Apply(std::span<uint8_t, 8> block) const;

private:
    uint32_t low_ = 0;   // XORed into bytes 0-3 as a little-endian word
    uint32_t high_ = 0;  // into bytes 4-7
};

}  // namespace torvik::cipher
