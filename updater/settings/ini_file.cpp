#include "settings/ini_file.h"

#include <sys/stat.h>

#include <fstream>

#include "common/updater_error.h"
#include "platform/files.h"

namespace torvik {

std::optional<std::string> IniFile::Load() const
{
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<size_t>(size) > kMaxFileSize) {
        return std::nullopt;
    }
    in.seekg(0);
    std::string bytes(static_cast<size_t>(size), '\0');
    in.read(bytes.data(), size);
    if (in.gcount() != size) {
        return std::nullopt;
    }
    return bytes;
}

IniDocument IniFile::Document() const
{
    return IniDocument(Load().value_or(std::string()));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    return Document().ReadString(section, key, defaultValue);
}

bool IniFile::SectionExists(std::string_view section) const
{
    return Document().SectionExists(section);
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const
{
    return Document().ValueExists(section, key);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    struct stat status {};
    const bool exists = stat(path_.c_str(), &status) == 0;
    std::optional<std::string> bytes = Load();
    // An existing file that cannot be read is never replaced: its content would be lost.
    if (exists && !bytes) {
        throw UpdaterError("Unable to write to " + path_);
    }
    IniDocument document(bytes.value_or(std::string()));
    if (!document.WriteString(section, key, value) || !platform::ReplaceFileAtomically(path_, document.Bytes())) {
        throw UpdaterError("Unable to write to " + path_);
    }
}

}  // namespace torvik
