// Enciphered texts in LockBox's block convention: whole 8-byte blocks, the last one
// holding the text's tail (0 to 7 bytes), zero-filled, with the tail's length in its
// eighth byte. A text that fills its blocks exactly therefore gains a block of count 0.

#include "settings/cipher/text_cipher.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "settings/cipher/lockbox_blowfish.h"
#include "settings/cipher/standard_blowfish.h"

namespace torvik {
namespace {

constexpr size_t kBlockSize = 8;

template <typename BlockFunction>
void ForEachBlock(std::span<uint8_t> bytes, BlockFunction&& function)
{
    for (size_t offset = 0; offset + kBlockSize <= bytes.size(); offset += kBlockSize) {
        function(bytes.subspan(offset).first<kBlockSize>());
    }
}

void EncipherInPlace(CipherKind kind, const CipherKey& key, std::span<uint8_t> bytes)
{
    if (kind == CipherKind::LockBox) {
        const cipher::LockBoxBlowfish cipher(key);
        ForEachBlock(bytes, [&](std::span<uint8_t, kBlockSize> block) { cipher.Apply(block); });
    } else {
        const cipher::StandardBlowfish cipher(key);
        ForEachBlock(bytes, [&](std::span<uint8_t, kBlockSize> block) { cipher.Encipher(block); });
    }
}

void DecipherInPlace(CipherKind kind, const CipherKey& key, std::span<uint8_t> bytes)
{
    if (kind == CipherKind::LockBox) {
        const cipher::LockBoxBlowfish cipher(key);
        ForEachBlock(bytes, [&](std::span<uint8_t, kBlockSize> block) { cipher.Apply(block); });
    } else {
        const cipher::StandardBlowfish cipher(key);
        ForEachBlock(bytes, [&](std::span<uint8_t, kBlockSize> block) { cipher.Decipher(block); });
    }
}

}  // namespace

std::vector<uint8_t> EncipherBlocks(CipherKind kind, const CipherKey& key, std::string_view plain)
{
    const size_t tail = plain.size() % kBlockSize;
    std::vector<uint8_t> blocks(plain.size() - tail + kBlockSize, 0);
    std::copy(plain.begin(), plain.end(), blocks.begin());
    blocks.back() = static_cast<uint8_t>(tail);
    EncipherInPlace(kind, key, blocks);
    return blocks;
}

std::string DecipherBlocks(CipherKind kind, const CipherKey& key, std::span<const uint8_t> blocks)
{
    if (blocks.empty()) {
        throw CipherError("Invalid enciphered text: it holds no block");
    }
    if (blocks.size() % kBlockSize != 0) {
        throw CipherError("Invalid enciphered text: " + std::to_string(blocks.size()) +
                          " bytes are not a whole number of 8-byte blocks");
    }
    std::vector<uint8_t> plain(blocks.begin(), blocks.end());
    DecipherInPlace(kind, key, plain);
    const size_t tail = plain.back();
    if (tail >= kBlockSize) {
        throw CipherError("Invalid enciphered text: it does not decipher under this key (wrong key or damaged value)");
    }
    return std::string(plain.begin(), plain.end() - kBlockSize + static_cast<std::ptrdiff_t>(tail));
}

std::string EncipherText(CipherKind kind, std::string_view passPhrase, std::string_view plain)
{
    return Base64Encode(EncipherBlocks(kind, GenerateLMDKey(passPhrase), plain));
}

std::string DecipherText(CipherKind kind, std::string_view passPhrase, std::string_view enciphered)
{
    return DecipherBlocks(kind, GenerateLMDKey(passPhrase), Base64Decode(enciphered));
}

bool ParseCipherKind(std::string_view name, CipherKind& kind)
{
    if (name == "lockbox") {
        kind = CipherKind::LockBox;
        return true;
    }
    if (name == "blowfish") {
        kind = CipherKind::Blowfish;
        return true;
    }
    return false;
}

}  // namespace torvik
