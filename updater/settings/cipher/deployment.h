// What a deployment builds into the updater: its cipher, its pass phrase and the two
// enciphered database credentials. The values come from the deployment file named at
// build time (CMake option TORVIK_DEPLOYMENT_FILE); the pass phrase is kept in the
// program with every byte complemented and restored only when used.
#pragma once

#include <string>

#include "settings/cipher/text_cipher.h"

namespace torvik {

struct Deployment {
    CipherKind cipher;
    std::string encipheredUserId;    // Base64, deciphers to the database user ID
    std::string encipheredPassword;  // Base64, deciphers to the database password
};

const Deployment& BuiltInDeployment();

// The pass phrase, restored from its complemented bytes.
std::string DeploymentPassPhrase();

// Deciphers a text enciphered under the deployment's pass phrase and cipher. The plain
// bytes are taken as UTF-8 when they are valid UTF-8, otherwise as Windows-1252 (what the
// existing Windows tools enciphered); the result is UTF-8.
std::string Decifra_Texto(const std::string& enciphered);

}  // namespace torvik
