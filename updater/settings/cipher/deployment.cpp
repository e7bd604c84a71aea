#include "settings/cipher/deployment.h"

#include "common/text.h"
#include "settings/cipher/built_in_deployment.h"

namespace torvik {

const Deployment& BuiltInDeployment()
{
    static const Deployment deployment{built_in::kCipher, built_in::kEncipheredUserId, built_in::kEncipheredPassword};
    return deployment;
}

std::string DeploymentPassPhrase()
{
    // The stored bytes live in another translation unit, so the compiler cannot fold the
    // complement back into a plain copy.
    std::string passPhrase;
    for (const uint8_t stored : built_in::kComplementedPassPhrase) {
        passPhrase.push_back(static_cast<char>(static_cast<uint8_t>(~stored)));
    }
    return passPhrase;
}

std::string Decifra_Texto(const std::string& enciphered)
{
    // Values written by the existing Windows tools hold Windows-1252 text.
    return DecodeWindowsText(DecipherText(BuiltInDeployment().cipher, DeploymentPassPhrase(), enciphered));
}

}  // namespace torvik
