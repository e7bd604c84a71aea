// Reads random bytes as a .reg file. Whatever is read must fit the file's lines, find
// each name without letter case exactly as a plain comparison does, and, written out and
// read again, give the same keys and values and the same text.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/text.h"
#include "settings/registry/registry_text.h"

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, ".reg text broke a rule: %s\n", what);
        std::abort();
    }
}

template <typename List>
void CheckNames(const List& list)
{
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& name = torvik::NameOf(list[i]);
        Check(list.Find(name) == i, "a name is not found where it is");
        for (size_t j = i + 1; j < list.size(); ++j) {
            Check(!torvik::SameText(name, torvik::NameOf(list[j])), "two names of a list are the same");
        }
    }
}

void CheckKey(const torvik::RegistryKey& key, size_t depth)
{
    Check(depth <= torvik::kMaxKeyDepth, "a key lies deeper than the limit");
    Check(depth == 0 || torvik::IsValidKeyName(key.Name()), "a key name does not fit in a line");
    for (const torvik::RegistryValue& value : key.Values()) {
        Check(torvik::FitsRegistryText(value.name) && torvik::FitsRegistryText(value.data),
              "a value does not fit in a line");
    }
    CheckNames(key.Values());
    CheckNames(key.Subkeys());
    for (const auto& subkey : key.Subkeys()) {
        CheckKey(*subkey, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const torvik::RegistryText text = torvik::ReadRegistryText(bytes);
    Check(text.recognised || text.changes.empty(), "a file without a header changed keys");
    for (const torvik::RegistryProblem& problem : text.problems) {
        Check(problem.line >= 1 && problem.line <= size + 1 && !problem.reason.empty(), "a problem without a line");
    }
    for (const torvik::RegistryRoot root : {torvik::RegistryRoot::CurrentUser, torvik::RegistryRoot::LocalMachine}) {
        torvik::RegistryKey keys;
        torvik::ApplyRegistryChanges(text.changes, root, keys);
        CheckKey(keys, 0);

        const std::string written = torvik::WriteRegistryText(root, keys);
        const torvik::RegistryText reread = torvik::ReadRegistryText(written);
        Check(reread.recognised && reread.problems.empty(), "written text does not read cleanly");
        torvik::RegistryKey again;
        torvik::ApplyRegistryChanges(reread.changes, root, again);
        Check(again == keys, "written keys read back differently");
        Check(torvik::WriteRegistryText(root, again) == written, "written text changed on a second round");
    }
    return 0;
}
