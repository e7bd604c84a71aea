// Case-insensitive comparison of single-byte text, independent of the host's locale:
// only A-Z and a-z fold, every other byte compares as itself.
#pragma once

#include <cstddef>
#include <string_view>

namespace lxra {

inline char FoldAsciiCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares at most limit bytes of two NUL-terminated texts.
inline bool EqualIgnoringCase(const char* a, const char* b, size_t limit = static_cast<size_t>(-1))
{
    for (size_t i = 0; i < limit; ++i) {
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) {
            return false;
        }
        if (a[i] == '\0') {
            return true;
        }
    }
    return true;
}

// Whether two texts of known length are equal apart from the case of letters.
inline bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace lxra
