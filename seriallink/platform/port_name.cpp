#include "platform/port_name.h"

#include <charconv>

namespace seriallink::platform {
namespace {

bool IsComPrefix(std::string_view name)
{
    if (name.size() < 3) {
        return false;
    }
    for (size_t i = 0; i < 3; ++i) {
        const char c = name[i];
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper != "COM"[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string DevicePath(std::string_view portName)
{
    if (IsComPrefix(portName)) {
        const std::string_view digits = portName.substr(3);
        unsigned number = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (!digits.empty() && digits[0] != '0' && error == std::errc{} && end == digits.data() + digits.size() &&
            number >= 1) {
            return "/dev/ttyS" + std::to_string(number - 1);
        }
    }
    return std::string(portName);
}

}  // namespace seriallink::platform
