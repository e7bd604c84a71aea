// An INI file on disk, read afresh on every call like a Windows profile file, and
// written atomically (a new file put in place by rename).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_document.h"

namespace torvik {

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& FileName() const { return path_; }

    // A missing or unreadable file reads as empty.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue = {}) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    // Creates the file and the section when needed. Throws UpdaterError "Unable to write
    // to <file>" when the file cannot be written or the names or value do not fit in
    // an INI line.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Files larger than this are not INI files the updater reads or writes.
    static constexpr size_t kMaxFileSize = 16 * 1024 * 1024;

private:
    std::optional<std::string> Load() const;
    IniDocument Document() const;

    std::string path_;
};

}  // namespace torvik
