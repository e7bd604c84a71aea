// Base64 through nettle: standard alphabet, "=" fill, no line breaks. Decoding is strict
// (no stray "=", no bits left over in the last character) apart from whitespace, which
// values copied between tools and tables pick up.

#include <nettle/base64.h>

#include <string>

#include "settings/cipher/text_cipher.h"

namespace torvik {
namespace {

bool IsWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string Base64Encode(std::span<const uint8_t> bytes)
{
    std::string text(BASE64_ENCODE_RAW_LENGTH(bytes.size()), '\0');
    base64_encode_raw(text.data(), bytes.size(), bytes.data());
    return text;
}

std::vector<uint8_t> Base64Decode(std::string_view text)
{
    base64_decode_ctx context;
    base64_decode_init(&context);
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3 + 3);
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsWhitespace(text[i])) {
            continue;
        }
        uint8_t byte = 0;
        const int produced = base64_decode_single(&context, &byte, static_cast<uint8_t>(text[i]));
        if (produced < 0) {
            throw CipherError("Invalid Base64 text: character " + std::to_string(i + 1) + " is not allowed there");
        }
        if (produced > 0) {
            bytes.push_back(byte);
        }
    }
    if (base64_decode_final(&context) == 0) {
        throw CipherError("Invalid Base64 text: it ends inside a group of four characters");
    }
    return bytes;
}

}  // namespace torvik
