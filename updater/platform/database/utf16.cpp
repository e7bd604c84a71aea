#include "platform/database/utf16.h"

namespace torvik::db {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point at text[at], moving `at` past it; malformed sequences, overlong forms
// and surrogates give one U+FFFD for their first byte.
char32_t NextCodePoint(std::string_view text, size_t& at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    size_t length = 0;
    char32_t point = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, point = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, point = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, point = lead & 0x07, smallest = 0x10000;
    } else {
        ++at;
        return kReplacement;
    }
    if (at + length > text.size()) {
        ++at;
        return kReplacement;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return kReplacement;
        }
        point = (point << 6) | (byte(at + i) & 0x3F);
    }
    if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
        ++at;
        return kReplacement;
    }
    at += length;
    return point;
}

void AppendUtf8(std::string& out, char32_t point)
{
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

}  // namespace

std::vector<SQLWCHAR> Utf16FromUtf8(std::string_view text)
{
    std::vector<SQLWCHAR> units;
    units.reserve(text.size() + 1);
    for (size_t at = 0; at < text.size();) {
        const char32_t point = NextCodePoint(text, at);
        if (point < 0x10000) {
            units.push_back(static_cast<SQLWCHAR>(point));
        } else {
            units.push_back(static_cast<SQLWCHAR>(0xD800 + ((point - 0x10000) >> 10)));
            units.push_back(static_cast<SQLWCHAR>(0xDC00 + ((point - 0x10000) & 0x3FF)));
        }
    }
    units.push_back(0);
    return units;
}

std::string Utf8FromUtf16(const SQLWCHAR* units, size_t count)
{
    std::string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const char32_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace torvik::db
