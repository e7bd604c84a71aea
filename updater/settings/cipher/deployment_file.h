// The deployment file: what a deployment builds into the updater, written as
// `key = value` lines. CMake reads it when it configures the build (through
// updater/deployment/TorvikDeployment.cmake, with the same rules) and the encipher tool
// reads it to encipher under the deployment's pass phrase.
//
//   cipher           lockbox (the default) or blowfish
//   pass_phrase      16 printable ASCII characters, or
//   pass_phrase_hex  the 16 bytes as 32 hexadecimal digits (for any other bytes)
//   user_id          the enciphered database user ID, 24 Base64 characters
//   password         the enciphered database password, 24 Base64 characters
//
// Blanks around keys and values are not part of them; blank lines and lines starting
// with "#" are skipped; lines end with LF or CR LF.
#pragma once

#include <string>
#include <string_view>

#include "common/updater_error.h"
#include "settings/cipher/text_cipher.h"

namespace torvik {

class DeploymentFileError : public UpdaterError {
public:
    using UpdaterError::UpdaterError;
};

struct DeploymentFile {
    CipherKind cipher = CipherKind::LockBox;
    std::string passPhrase;  // 16 bytes
    std::string encipheredUserId;
    std::string encipheredPassword;
};

// Raises DeploymentFileError, naming the line, for anything the format does not allow:
// an unknown, repeated or missing key, a line without "=", an unknown cipher, a pass
// phrase other than 16 bytes, a credential that is not 16 enciphered bytes in Base64.
DeploymentFile ParseDeploymentFile(std::string_view text);

// The file at path; its name prefixes the error message.
DeploymentFile ReadDeploymentFile(const std::string& path);

}  // namespace torvik
