// Reads and edits INI documents made of random bytes. Every accepted edit must read
// back as written and leave every other setting of the file as it was; a refused edit
// must leave the bytes alone.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/text.h"
#include "settings/ini_document.h"

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "INI document broke a rule: %s\n", what);
        std::abort();
    }
}

// A name as the file compares it: without the blanks around it.
std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.erase(0, 1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.pop_back();
    }
    return text;
}

// A value as a profile-file read returns it: trimmed, and one pair of enclosing quotes
// removed.
std::string AsRead(const std::string& written)
{
    std::string value = Trimmed(written);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// Names are drawn from the document itself half of the time, so edits hit existing
// sections and keys.
std::string Name(FuzzedDataProvider& input, const std::vector<torvik::IniDocument::Entry>& entries, bool section)
{
    if (!entries.empty() && input.ConsumeBool()) {
        const auto& entry = entries[input.ConsumeIntegralInRange<size_t>(0, entries.size() - 1)];
        return section ? entry.section : entry.key;
    }
    return input.ConsumeRandomLengthString(12);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    torvik::IniDocument document(input.ConsumeRandomLengthString(2048));
    while (input.remaining_bytes() > 0) {
        const auto entries = document.Entries();
        const std::string section = Name(input, entries, true);
        const std::string key = Name(input, entries, false);
        if (input.ConsumeBool()) {
            (void)document.ReadString(section, key, "default");
            (void)document.SectionExists(section);
            continue;
        }
        const std::string value = input.ConsumeRandomLengthString(16);
        std::vector<std::string> before;
        for (const auto& entry : entries) {
            before.push_back(document.ReadString(entry.section, entry.key, "(absent)"));
        }
        const std::string bytesBefore = document.Bytes();
        if (!document.WriteString(section, key, value)) {
            Check(document.Bytes() == bytesBefore, "a refused edit changed the file");
            continue;
        }
        Check(torvik::IsValidUtf8(section) && torvik::IsValidUtf8(key) && torvik::IsValidUtf8(value),
              "text that is not UTF-8 was written");
        Check(document.ReadString(section, key) == AsRead(value), "an edit does not read back");
        for (size_t i = 0; i < entries.size(); ++i) {
            const bool edited = torvik::SameText(entries[i].section, Trimmed(section)) &&
                                torvik::SameText(entries[i].key, Trimmed(key));
            if (!edited) {
                Check(document.ReadString(entries[i].section, entries[i].key, "(absent)") == before[i],
                      "an edit changed another setting");
            }
        }
        const torvik::IniDocument reread(document.Bytes());
        Check(reread.ReadString(section, key, "(absent)") == document.ReadString(section, key, "(absent)"),
              "the written bytes read differently");
    }
    return 0;
}
