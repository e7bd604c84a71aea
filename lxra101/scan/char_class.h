// Character classes of the C locale, whatever the host's locale: bytes 0x80 and above
// belong to no class.
#pragma once

namespace lxra {

inline bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

inline bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool IsPrintable(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte <= 0x7E;
}

// Letters and underscore: what the implicit-delimiter rule counts as a word.
inline bool IsWordChar(char c)
{
    return IsLetter(c) || c == '_';
}

// A literal that ends with last must not be followed directly by next when both are
// word characters or both digits: "if" does not match the start of "ifx" or "if_a",
// nor "12" the start of "123". The end of the input (0) and spaces always delimit.
inline bool DelimiterRefuses(char last, char next)
{
    return next != 0 && !IsSpace(next) && ((IsWordChar(last) && IsWordChar(next)) || (IsDigit(last) && IsDigit(next)));
}

}  // namespace lxra
