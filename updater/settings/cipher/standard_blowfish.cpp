#include "settings/cipher/standard_blowfish.h"

namespace torvik::cipher {

StandardBlowfish::StandardBlowfish(const CipherKey& key)
{
    static_assert(sizeof(CipherKey) == BLOWFISH128_KEY_SIZE);
    (void)blowfish128_set_key(&context_, key.data());
}

void StandardBlowfish::Encipher(std::span<uint8_t, 8> block) const
{
    blowfish_encrypt(&context_, block.size(), block.data(), block.data());
}

void StandardBlowfish::Decipher(std::span<uint8_t, 8> block) const
{
    blowfish_decrypt(&context_, block.size(), block.data(), block.data());
}

}  // namespace torvik::cipher
