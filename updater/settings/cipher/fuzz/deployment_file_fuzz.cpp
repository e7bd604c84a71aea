// Reads random deployment files. Nothing may crash, and an accepted file must hold what
// the build needs: a 16-byte pass phrase and two credentials of 16 enciphered bytes.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/cipher/deployment_file.h"

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "deployment file broke a rule: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    torvik::DeploymentFile file;
    try {
        file = torvik::ParseDeploymentFile(text);
    } catch (const torvik::DeploymentFileError&) {
        return 0;
    }
    Check(file.passPhrase.size() == 16, "pass phrase not 16 bytes");
    for (const std::string& credential : {file.encipheredUserId, file.encipheredPassword}) {
        Check(credential.size() == 24, "credential not 24 characters");
        Check(torvik::Base64Decode(credential).size() == 16, "credential not 16 bytes");
    }
    return 0;
}
