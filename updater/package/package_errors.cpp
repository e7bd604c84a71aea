#include "package/package_errors.h"

#include <array>

namespace torvik::package {

std::string_view ErrorText(int code)
{
    static constexpr std::array<std::string_view, 7> kTexts = {
        "Cannot read file",
        "Overwriting file failed",
        "Cannot read archive",
        "Cannot write to archive",
        "Invalid archive type",
        "Compression error",
        "Cannot create temporary file to save the file IDs",
    };
    if (code < 1 || static_cast<size_t>(code) > kTexts.size()) {
        return {};
    }
    return kTexts[static_cast<size_t>(code) - 1];
}

}  // namespace torvik::package
