// Message texts on the command line and on screen: printable characters as themselves,
// any byte as \xHH, a backslash as \\.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace seriallink::tools {

inline std::optional<std::vector<uint8_t>> Unescape(std::string_view text)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes.push_back(static_cast<uint8_t>(text[i]));
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            bytes.push_back('\\');
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x') {
            const std::string hex(text.substr(i + 2, 2));
            char* end = nullptr;
            const unsigned long value = std::strtoul(hex.c_str(), &end, 16);
            if (end != hex.c_str() + 2) {
                return std::nullopt;
            }
            bytes.push_back(static_cast<uint8_t>(value));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return bytes;
}

inline std::string Escape(const uint8_t* bytes, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = bytes[i];
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += static_cast<char>(byte);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            text += hex;
        }
    }
    return text;
}

}  // namespace seriallink::tools
