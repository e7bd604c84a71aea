// Standard Blowfish (16 rounds, ECB), for deployments that choose a real cipher.
#pragma once

#include <nettle/blowfish.h>

#include <cstdint>
#include <span>

#include "settings/cipher/text_cipher.h"

namespace torvik::cipher {

class StandardBlowfish {
public:
    // Keys that nettle calls weak (a repeated S-box entry, about one in 30 000) are used
    // as they are: they weaken reduced-round variants only, and refusing one would make a
    // pass phrase unusable.
    explicit StandardBlowfish(const CipherKey& key);

    void Encipher(std::span<uint8_t, 8> block) const;
    void Decipher(std::span<uint8_t, 8> block) const;

private:
    blowfish_ctx context_{};
};

}  // namespace torvik::cipher
