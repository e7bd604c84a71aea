#include "common/text.h"

#include <QString>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

#include "common/updater_error.h"

namespace torvik {
namespace {

// Unicode characters of the bytes 0x80 to 0x9F in Windows-1252; the other bytes are
// their own code points.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool SameText(std::string_view a, std::string_view b)
{
    // Names are nearly always plain ASCII: those compare without building Unicode text.
    const auto ascii = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    if (ascii(a) && ascii(b)) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
    }
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive) == 0;
}

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        size_t extra = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            c = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            c = lead & 0x07;
        } else {
            return false;
        }
        if (bytes.size() - i <= extra) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<uint8_t>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
            (c >= 0xD800 && c <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

std::string Utf8FromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char byte : bytes) {
        const auto b = static_cast<uint8_t>(byte);
        AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kWindows1252High[b - 0x80] : b);
    }
    return out;
}

std::string Windows1252FromUtf8(std::string_view text)
{
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    std::string out;
    out.reserve(text.size());
    for (QChar qc : decoded) {
        const char16_t c = qc.unicode();
        if (qc.isLowSurrogate()) {
            continue;  // the pair's high half already stood for the character
        }
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        char mapped = '?';
        for (size_t i = 0; i < kWindows1252High.size(); ++i) {
            if (kWindows1252High[i] == c) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out += mapped;
    }
    return out;
}

namespace {

template <typename IsTrimmed>
std::string_view TrimWhere(std::string_view text, IsTrimmed isTrimmed)
{
    while (!text.empty() && isTrimmed(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isTrimmed(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string_view Trim(std::string_view text)
{
    return TrimWhere(text, [](unsigned char c) { return c <= ' '; });
}

std::string_view TrimBlanks(std::string_view text)
{
    return TrimCharacters(text, " \t");
}

std::string_view TrimCharacters(std::string_view text, std::string_view characters)
{
    return TrimWhere(
        text, [characters](unsigned char c) { return characters.find(static_cast<char>(c)) != characters.npos; });
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

long StrToInt(std::string_view text)
{
    const std::string digits(Trim(text));
    const char* begin = digits.data();
    const char* end = begin + digits.size();
    if (begin != end && *begin == '+' && begin + 1 != end && begin[1] != '-') {
        ++begin;  // from_chars takes a minus sign only
    }
    long value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || error != std::errc() || stop != end) {
        throw UpdaterError("'" + std::string(text) + "' is not a valid integer value");
    }
    return value;
}

std::string DecodeWindowsText(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : Utf8FromWindows1252(bytes);
}

}  // namespace torvik
