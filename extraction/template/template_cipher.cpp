#include "template/template_cipher.h"

#include <nettle/des.h>

namespace fenrax {

void EncryptTemplate(std::span<uint8_t> buffer)
{
    des_ctx context{};
    // The result only tells whether the key is weak; the module key is not.
    (void)des_set_key(&context, kTemplateKey.data());
    const size_t whole = buffer.size() - buffer.size() % DES_BLOCK_SIZE;
    des_encrypt(&context, whole, buffer.data(), buffer.data());
}

}  // namespace fenrax
