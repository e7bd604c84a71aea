// The values of the deployment file named at build time, as CMake writes them into a
// source file of the build folder (updater/deployment/built_in_deployment.cpp.in).
#pragma once

#include <array>
#include <cstdint>

#include "settings/cipher/text_cipher.h"

namespace torvik::built_in {

extern const CipherKind kCipher;
// Every byte complemented, so the pass phrase never sits in the program as it is.
extern const std::array<uint8_t, 16> kComplementedPassPhrase;
extern const char kEncipheredUserId[];
extern const char kEncipheredPassword[];

}  // namespace torvik::built_in
