#include "lxra101/literal_text.h"

#include <cstdio>
#include <string_view>

#include "core/text_buffer.h"
#include "scan/char_class.h"

namespace {

// One escape after a backslash at src: the byte it stands for and how many characters
// of src it takes. False when there is none to read or the value is not a byte.
bool TranslateEscape(const char* src, char& byte, long& taken)
{
    if (src[0] == '\0') {
        return false;
    }
    if (lxra::IsDigit(src[0])) {
        int value = 0;
        taken = 0;
        while (taken < 3 && lxra::IsDigit(src[taken])) {
            value = value * 10 + (src[taken++] - '0');
        }
        byte = static_cast<char>(value);
        return value <= 255;
    }
    taken = 1;
    switch (src[0]) {
        case 'n':
            byte = '\n';
            break;
        case 'r':
            byte = '\r';
            break;
        case 't':
            byte = '\t';
            break;
        default:
            byte = src[0];
            break;
    }
    return true;
}

}  // namespace

long TranslateLiteralExp(const char* src, char* dst, long size)
{
    if (dst == nullptr || size <= 0) {
        return 0;
    }
    dst[0] = '\0';
    if (src == nullptr || src[0] == '\0') {
        return 0;
    }
    long count = 0;
    for (const char* p = src + 1;;) {
        char byte = *p;
        if (byte == '\0') {
            break;  // no closing quote
        }
        if (byte == '"') {
            dst[count] = '\0';
            return count;
        }
        if (byte == '\\') {
            long taken = 0;
            if (!TranslateEscape(p + 1, byte, taken)) {
                break;
            }
            p += 1 + taken;
        } else {
            ++p;
        }
        if (count + 1 >= size - 1) {
            break;
        }
        dst[count++] = byte;
    }
    dst[0] = '\0';
    return 0;
}

const char* MakePrintableString(const char* src, unsigned n, char* dst, unsigned size)
{
    if (dst == nullptr || size == 0) {
        return lxra::NoRoomResult();
    }
    lxra::TextAppender out(dst, size);
    for (unsigned i = 0; src != nullptr && i < n; ++i) {
        const char c = src[i];
        char piece[8];
        std::string_view text;
        if (c == '\t' || c == '\n' || c == '\r') {
            piece[0] = '\\';
            piece[1] = c == '\t' ? 't' : (c == '\n' ? 'n' : 'r');
            text = std::string_view(piece, 2);
        } else if (lxra::IsPrintable(c)) {
            text = std::string_view(&c, 1);
        } else {
            const int length = std::snprintf(piece, sizeof piece, "\\%u", static_cast<unsigned char>(c));
            text = std::string_view(piece, static_cast<size_t>(length));
        }
        if (!out.AppendWhole(text)) {
            break;
        }
    }
    return dst;
}
