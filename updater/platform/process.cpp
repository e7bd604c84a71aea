#include "platform/process.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace torvik::platform {

std::string ApplicationFolder()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return "./";
    }
    std::string folder = executable.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string WindowsFolder()
{
    std::string folder = Environment("TORVIK_WINDIR");
    if (folder.empty()) {
        return ApplicationFolder();
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

bool DisplayAvailable()
{
    return !Environment("DISPLAY").empty() || !Environment("WAYLAND_DISPLAY").empty();
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool FileExists(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace torvik::platform
