// LockBox's LMD key generator. Every byte of the pass phrase is absorbed twice: into a
// 256-byte buffer that starts as the digits of pi, and into a 16-byte key that is
// mixed each time 8 bytes have arrived. The digest then enciphers the buffer with
// LockBox's 128-bit block cipher under that key and keeps its first 16 bytes. Keys of
// values written by existing tools depend on every detail, the odd ones included.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "settings/cipher/byte_order.h"
#include "settings/cipher/pi_digits.h"
#include "settings/cipher/text_cipher.h"

namespace torvik {
namespace {

using cipher::LoadLittleEndian32;
using cipher::StoreLittleEndian32;

// The mixer of the digest's key and of the block cipher's rounds. Its second-to-last
// step shifts d where c would be expected; existing keys were derived that way.
void Mix(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d)
{
    a += d;
    d += a;
    a ^= a >> 7;
    b += a;
    a += b;
    b ^= b << 13;
    c += b;
    b += c;
    c ^= c >> 17;
    d += c;
    c += d;
    d ^= d << 9;
    a += d;
    d += a;
    a ^= a >> 3;
    b += a;
    a += b;
    b ^= b << 7;
    c += b;
    b += c;
    c ^= d >> 15;
    d += c;
    c += d;
    d ^= d << 11;
}

// LockBox's 128-bit block cipher with 8 rounds. The digest only ever enciphers.
class Block128Cipher {
public:
    static constexpr size_t kBlockSize = 16;

    explicit Block128Cipher(std::span<const uint8_t, 16> key)
    {
        static constexpr std::array<uint32_t, 4> kSalts = {0x55555555, 0xAAAAAAAA, 0x33333333, 0xCCCCCCCC};
        for (size_t i = 0; i < kSalts.size(); ++i) {
            uint32_t a = LoadLittleEndian32(key, 0);
            uint32_t c = LoadLittleEndian32(key, 4);
            uint32_t e = LoadLittleEndian32(key, 8);
            uint32_t g = LoadLittleEndian32(key, 12);
            uint32_t b = kSalts[i];
            uint32_t d = kSalts[i];
            uint32_t f = kSalts[i];
            uint32_t h = kSalts[i];
            for (int step = 0; step < 8; ++step) {
                a ^= b << 11;
                d += a;
                b += c;
                b ^= c >> 2;
                e += b;
                c += d;
                c ^= d << 8;
                f += c;
                d += e;
                d ^= e >> 16;
                g += d;
                e += f;
                e ^= f << 10;
                h += e;
                f += g;
                f ^= g >> 4;
                a += f;
                g += h;
                g ^= h << 8;
                b += g;
                h += a;
                h ^= a >> 9;
                c += h;
                a += b;
            }
            const std::array<uint32_t, 8> words = {a, b, c, d, e, f, g, h};
            for (size_t j = 0; j < words.size(); ++j) {
                subkeys_[8 * i + j] = words[j];
            }
        }
    }

    // A Feistel network: bytes 0-7 enter as the right half, bytes 8-15 as the left.
    void Encipher(std::span<uint8_t, kBlockSize> block) const
    {
        uint32_t right0 = LoadLittleEndian32(block, 0);
        uint32_t right1 = LoadLittleEndian32(block, 4);
        uint32_t left0 = LoadLittleEndian32(block, 8);
        uint32_t left1 = LoadLittleEndian32(block, 12);
        for (size_t round = 0; round < kRounds; ++round) {
            uint32_t a = right0;
            uint32_t b = subkeys_[2 * round];
            uint32_t c = right1;
            uint32_t d = subkeys_[2 * round + 1];
            Mix(a, b, c, d);
            std::swap(a, c);
            std::swap(b, d);
            Mix(a, b, c, d);
            const uint32_t next0 = left0 ^ a ^ b;
            const uint32_t next1 = left1 ^ c ^ d;
            left0 = right0;
            left1 = right1;
            right0 = next0;
            right1 = next1;
        }
        StoreLittleEndian32(block, 0, left0);
        StoreLittleEndian32(block, 4, left1);
        StoreLittleEndian32(block, 8, right0);
        StoreLittleEndian32(block, 12, right1);
    }

private:
    static constexpr size_t kRounds = 8;
    std::array<uint32_t, 32> subkeys_{};
};

class LmdDigest {
public:
    LmdDigest() : buffer_(cipher::kPiFractionBytes) { key_.fill(0x55); }

    void Absorb(uint8_t byte)
    {
        buffer_[bufferIndex_] ^= byte;
        bufferIndex_ = (bufferIndex_ + 1) % buffer_.size();
        key_[keyIndex_] ^= byte;
        if (++keyIndex_ == kKeyChunk) {
            MixKey();
            keyIndex_ = 0;
        }
    }

    CipherKey Finish()
    {
        // The padding always completes a chunk, so the key is mixed once more.
        const size_t padding = kKeyChunk - keyIndex_;
        for (size_t i = 0; i < padding; ++i) {
            Absorb(i == 0 ? 0x01 : 0x00);
        }
        const Block128Cipher cipher(key_);
        for (size_t offset = 0; offset < buffer_.size(); offset += Block128Cipher::kBlockSize) {
            cipher.Encipher(std::span(buffer_).subspan(offset).first<Block128Cipher::kBlockSize>());
        }
        CipherKey digest{};
        std::copy_n(buffer_.begin(), digest.size(), digest.begin());
        return digest;
    }

private:
    static constexpr size_t kKeyChunk = 8;

    // The key's words enter the mixer last word first.
    void MixKey()
    {
        uint32_t a = LoadLittleEndian32(key_, 12);
        uint32_t b = LoadLittleEndian32(key_, 8);
        uint32_t c = LoadLittleEndian32(key_, 4);
        uint32_t d = LoadLittleEndian32(key_, 0);
        for (int i = 0; i < 4; ++i) {
            Mix(a, b, c, d);
        }
        StoreLittleEndian32(key_, 0, a);
        StoreLittleEndian32(key_, 4, b);
        StoreLittleEndian32(key_, 8, c);
        StoreLittleEndian32(key_, 12, d);
    }

    std::array<uint8_t, 256> buffer_;
    size_t bufferIndex_ = 0;
    std::array<uint8_t, 16> key_{};
    size_t keyIndex_ = 0;
};

}  // namespace

CipherKey GenerateLMDKey(std::string_view passPhrase)
{
    LmdDigest digest;
    for (const char byte : passPhrase) {
        digest.Absorb(static_cast<uint8_t>(byte));
    }
    return digest.Finish();
}

}  // namespace torvik
