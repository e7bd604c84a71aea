// A plain reading of a text's lines, used to check the runtime's input streams:
// lines end at each line feed, carriage returns are not part of a line's text.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace lxra::testing {

// 1 + line feeds in bytes 0 .. pos (pos may be the length); 0 outside 0 .. length.
inline long LineNumberAt(std::string_view text, long pos)
{
    const long length = static_cast<long>(text.size());
    if (pos < 0 || pos > length) {
        return 0;
    }
    const long end = std::min(pos + 1, length);
    return 1 + static_cast<long>(std::count(text.begin(), text.begin() + end, '\n'));
}

inline long LineCount(std::string_view text)
{
    return 1 + static_cast<long>(std::count(text.begin(), text.end(), '\n'));
}

// Offset of a 1-based line: -1 below 1, the length past the last line.
inline long LineStart(std::string_view text, long line)
{
    if (line < 1) {
        return -1;
    }
    long pos = 0;
    for (long passed = 1; passed < line; ++passed) {
        const size_t lineFeed = text.find('\n', static_cast<size_t>(pos));
        if (lineFeed == std::string_view::npos) {
            return static_cast<long>(text.size());
        }
        pos = static_cast<long>(lineFeed) + 1;
    }
    return pos;
}

// The text of a 1-based line ("" outside the text), cut to at most limit bytes.
inline std::string LineText(std::string_view text, long line, size_t limit = std::string::npos)
{
    std::string result;
    if (line < 1) {
        return result;
    }
    for (size_t i = static_cast<size_t>(LineStart(text, line)); i < text.size() && text[i] != '\n'; ++i) {
        if (result.size() == limit) {
            break;
        }
        if (text[i] != '\r') {
            result += text[i];
        }
    }
    return result;
}

}  // namespace lxra::testing
