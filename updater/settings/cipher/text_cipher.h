// Enciphered texts of the updater: the built-in database credentials and the values of
// FW_PARAMETROS stored with CRIPTOGRAFAR = 1. A text is Base64 of 8-byte blocks
// enciphered under a 128-bit key derived from a pass phrase; the last block holds the
// tail of the text, zero-filled, with the tail's length (0 to 7) in its eighth byte.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/updater_error.h"

namespace torvik {

// The block cipher of a deployment. LockBox is the cipher of the existing tools (every
// block XORed with one 64-bit constant derived from the key); Blowfish is standard
// Blowfish in ECB mode, for fresh deployments.
enum class CipherKind { LockBox, Blowfish };

using CipherKey = std::array<uint8_t, 16>;

// Raised for a value that is not valid Base64, is not a whole number of 8-byte blocks
// (at least one), or whose last block gives a tail length above 7 (a wrong key or a
// damaged value).
class CipherError : public UpdaterError {
public:
    using UpdaterError::UpdaterError;
};

// LockBox's LMD key generator: the 16-byte digest of the pass phrase's bytes.
CipherKey GenerateLMDKey(std::string_view passPhrase);

std::string Base64Encode(std::span<const uint8_t> bytes);
// Standard alphabet with "=" fill; whitespace is skipped, anything else is an error.
std::vector<uint8_t> Base64Decode(std::string_view text);

// The blocks for plain (last-block convention above), and back.
std::vector<uint8_t> EncipherBlocks(CipherKind kind, const CipherKey& key, std::string_view plain);
std::string DecipherBlocks(CipherKind kind, const CipherKey& key, std::span<const uint8_t> blocks);

// Base64 of the enciphered text under the key of passPhrase, and back.
std::string EncipherText(CipherKind kind, std::string_view passPhrase, std::string_view plain);
std::string DecipherText(CipherKind kind, std::string_view passPhrase, std::string_view enciphered);

// Parses the deployment's cipher setting: "lockbox" or "blowfish".
bool ParseCipherKind(std::string_view name, CipherKind& kind);

}  // namespace torvik
