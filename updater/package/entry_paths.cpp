#include "package/entry_paths.h"

#include <algorithm>

#include "common/text.h"

namespace torvik::package {
namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The name without "X:" and the one separator after it.
std::string_view WithoutDrive(std::string_view name)
{
    if (name.size() >= 2 && IsLetter(name[0]) && name[1] == ':') {
        name.remove_prefix(2);
        if (!name.empty() && IsSeparator(name.front())) {
            name.remove_prefix(1);
        }
    }
    return name;
}

bool IsFileName(std::string_view segment)
{
    return !segment.empty() && segment != "." && segment != "..";
}

}  // namespace

std::optional<std::string> RestorePath(std::string_view storedName, std::string_view targetFolder, bool fullPaths)
{
    if (storedName.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    std::string name = DecodeWindowsText(storedName);
    std::string relative;
    if (fullPaths) {
        relative = WithoutDrive(name);
        std::replace(relative.begin(), relative.end(), '\\', '/');
        if (relative.empty() || relative.front() == '/') {
            return std::nullopt;
        }
        size_t start = 0;
        while (true) {
            const size_t slash = relative.find('/', start);
            const std::string_view segment = std::string_view(relative).substr(
                start, slash == std::string::npos ? std::string::npos : slash - start);
            if (segment == "..") {
                return std::nullopt;
            }
            if (slash == std::string::npos) {
                if (!IsFileName(segment)) {
                    return std::nullopt;
                }
                break;
            }
            start = slash + 1;
        }
    } else {
        const size_t last = name.find_last_of("\\/:");
        relative = last == std::string::npos ? name : name.substr(last + 1);
        if (!IsFileName(relative)) {
            return std::nullopt;
        }
    }
    return std::string(targetFolder) + relative;
}

std::string VolumeFileName(std::string_view packageFile, std::string_view disk)
{
    const size_t slash = packageFile.rfind('/');
    const size_t dot = packageFile.rfind('.');
    const bool hasExtension = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    std::string volume(hasExtension ? packageFile.substr(0, dot) : packageFile);
    volume += '.';
    volume += disk;
    return volume;
}

std::string StoredName(std::string_view text)
{
    std::string ansi = Windows1252FromUtf8(text);
    return DecodeWindowsText(ansi) == text ? ansi : std::string(text);
}

std::string FolderOf(std::string_view path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

}  // namespace torvik::package
