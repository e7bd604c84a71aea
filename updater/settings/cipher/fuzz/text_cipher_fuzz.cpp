// Deciphers random texts under random keys with both ciphers. Nothing may crash; a text
// that is accepted must be canonical Base64 of whole blocks whose plain text enciphers
// back to the same blocks (the last block's zero fill aside), and random plain texts
// must come back through both ciphers unchanged.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/cipher/text_cipher.h"

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "text cipher broke a rule: %s\n", what);
        std::abort();
    }
}

std::string WithoutWhitespace(const std::string& text)
{
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') {
            compact.push_back(c);
        }
    }
    return compact;
}

void CheckDeciphering(torvik::CipherKind kind, const torvik::CipherKey& key, const std::vector<uint8_t>& blocks)
{
    std::string plain;
    try {
        plain = torvik::DecipherBlocks(kind, key, blocks);
    } catch (const torvik::CipherError&) {
        return;
    }
    Check(!blocks.empty() && blocks.size() % 8 == 0, "accepted a partial block");
    Check(plain.size() + 8 >= blocks.size() && plain.size() <= blocks.size() - 1,
          "plain length outside the last block");
    const std::vector<uint8_t> again = torvik::EncipherBlocks(kind, key, plain);
    Check(again.size() == blocks.size(), "re-enciphered to another length");
    Check(std::equal(blocks.begin(), blocks.end() - 8, again.begin()), "re-enciphered to other blocks");
    Check(torvik::DecipherBlocks(kind, key, again) == plain, "re-enciphered text deciphers differently");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const torvik::CipherKind kind = input.ConsumeBool() ? torvik::CipherKind::LockBox : torvik::CipherKind::Blowfish;
    const std::string passPhrase = input.ConsumeRandomLengthString(40);
    const torvik::CipherKey key = torvik::GenerateLMDKey(passPhrase);
    const std::string plain = input.ConsumeRandomLengthString(64);
    const std::string text = input.ConsumeRemainingBytesAsString();

    Check(torvik::DecipherBlocks(kind, key, torvik::EncipherBlocks(kind, key, plain)) == plain,
          "a plain text did not come back");

    std::vector<uint8_t> blocks;
    try {
        blocks = torvik::Base64Decode(text);
    } catch (const torvik::CipherError&) {
        return 0;
    }
    Check(torvik::Base64Encode(blocks) == WithoutWhitespace(text), "accepted Base64 that is not canonical");
    CheckDeciphering(kind, key, blocks);

    // The whole path of Decifra_Texto: key from the pass phrase, Base64, blocks.
    try {
        Check(torvik::DecipherText(kind, passPhrase, text) == torvik::DecipherBlocks(kind, key, blocks),
              "text and blocks decipher differently");
    } catch (const torvik::CipherError&) {
    }
    return 0;
}
