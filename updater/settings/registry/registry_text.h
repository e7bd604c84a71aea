// The .reg text format: the files that regedit imports and the files the stores are kept
// in. A file starts with "Windows Registry Editor Version 5.00" (or "REGEDIT4") and holds
// key lines                     [HKEY_CURRENT_USER\Software\TORVIK]
// key deletions                 [-HKEY_CURRENT_USER\Software\Old]
// string values                 "Name"="C:\\Data \"quoted\""
// the default value             @="Data"
// value deletions               "Name"=-
// values of other types         "Count"=dword:0000002a  "Raw"=hex:01,02,03
//                               (a hex list may go on over lines that end with "\")
// blank lines and ";" comments. HKCU and HKLM stand for the two roots as well.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/registry/registry.h"
#include "settings/registry/registry_key.h"

namespace torvik {

// A line that was refused, and why. Lines are counted from 1.
struct RegistryProblem {
    size_t line = 0;
    std::string reason;
};

// One thing a line asks for, in file order. Value changes concern the key of the last
// key line before them (which they do not repeat: a file of many values under a deep
// key stays small in memory); their root is that key's.
struct RegistryChange {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    RegistryRoot root = RegistryRoot::CurrentUser;
    std::vector<std::string> path;  // key changes: the key names below the root
    RegistryValue value;            // value changes; only the name for a deletion
    size_t line = 0;
};

struct RegistryText {
    bool recognised = false;  // the file starts with a header this reader knows
    std::vector<RegistryChange> changes;
    std::vector<RegistryProblem> problems;
};

// Reads any bytes. Text is UTF-16 when it starts with that byte order mark, otherwise
// UTF-8 when valid (a byte order mark is skipped), otherwise Windows-1252. A file without
// a known header yields nothing but one problem; every other refused line is reported
// and skipped.
RegistryText ReadRegistryText(std::string_view bytes);

// Applies the changes that concern keys under root; the others are left out.
void ApplyRegistryChanges(const std::vector<RegistryChange>& changes, RegistryRoot root, RegistryKey& keys);

// The keys of one root as a .reg file (UTF-8, CR LF line breaks) that reads back as the
// same keys. Every key is written, empty ones included; the root only when it has values.
std::string WriteRegistryText(RegistryRoot root, const RegistryKey& keys);

// Whether text can be the name or the data of a value: UTF-8 without line breaks or NUL
// characters, which a line of the file cannot carry.
bool FitsRegistryText(std::string_view text);
// Whether name can be a key's name: such text, not empty, without "\".
bool IsValidKeyName(std::string_view name);

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
std::string_view RootName(RegistryRoot root);

}  // namespace torvik
