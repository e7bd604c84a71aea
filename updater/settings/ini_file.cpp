#include "settings/ini_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "common/updater_error.h"

namespace torvik {
namespace {

// Writes bytes next to path under a temporary name and renames it over path, so a
// reader sees the old file or the new one, never a part. The file keeps its mode.
bool ReplaceFile(const std::string& path, const std::string& bytes)
{
    std::string temporary = path + ".tmp-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    const mode_t mode = stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0644;
    bool ok = fchmod(fd, mode) == 0;
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        ok = n > 0;
        done += ok ? static_cast<size_t>(n) : 0;
    }
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

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
    if (!document.WriteString(section, key, value) || !ReplaceFile(path_, document.Bytes())) {
        throw UpdaterError("Unable to write to " + path_);
    }
}

}  // namespace torvik
