// regedit: imports a .reg file into the registry stores, without asking.
//
//   regedit /s FILE
//
// Keys under HKEY_CURRENT_USER go to the current-user store, keys under
// HKEY_LOCAL_MACHINE to the local-machine store; key and value deletions apply. Lines
// that cannot be read are reported on standard error with their number and skipped. Each
// store is written once, at the end, in one atomic replacement.
//
// Exit codes: 0 everything was imported; 1 some lines were skipped, the rest was
// imported; 2 wrong command line; 3 the file could not be read or is not a registry file,
// nothing was imported; 4 a store could not be written, nothing of its root was imported
// (the other root's part was).

#include <cstdio>
#include <string>
#include <string_view>

#include "settings/registry/registry_import.h"
#include "settings/registry/registry_store.h"
#include "settings/registry/registry_text.h"

namespace {

enum ExitCode { kImported = 0, kLinesSkipped = 1, kUsage = 2, kUnreadable = 3, kNotStored = 4 };

bool IsSilentSwitch(std::string_view argument)
{
    return argument == "/s" || argument == "/S";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || !IsSilentSwitch(argv[1])) {
        std::fprintf(stderr, "usage: regedit /s FILE\n");
        return kUsage;
    }
    const std::string file = argv[2];
    std::string bytes;
    std::string error;
    switch (torvik::ReadRegistryFile(file, bytes, error)) {
        case torvik::FileReadResult::Read:
            break;
        case torvik::FileReadResult::Missing:
            std::fprintf(stderr, "regedit: cannot read %s: no such file\n", file.c_str());
            return kUnreadable;
        case torvik::FileReadResult::Failed:
            std::fprintf(stderr, "regedit: %s\n", error.c_str());
            return kUnreadable;
    }

    const torvik::RegistryText text = torvik::ReadRegistryText(bytes);
    for (const torvik::RegistryProblem& problem : text.problems) {
        std::fprintf(stderr, "regedit: %s:%zu: %s%s\n", file.c_str(), problem.line, problem.reason.c_str(),
                     text.recognised ? "; line skipped" : "");
    }
    if (!text.recognised) {
        return kUnreadable;
    }
    const auto storeErrors = torvik::ImportRegistryChanges(text.changes);
    for (const std::string& storeError : storeErrors) {
        std::fprintf(stderr, "regedit: %s\n", storeError.c_str());
    }
    if (!storeErrors.empty()) {
        return kNotStored;
    }
    return text.problems.empty() ? kImported : kLinesSkipped;
}
