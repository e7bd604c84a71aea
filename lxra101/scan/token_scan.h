// The token scanners, written once over a cursor that hands out the input's bytes one
// after another (0 at the end), so that the exported scanners, the buffer reader and
// the stream reader give the same answers by construction.
#pragma once

#include "scan/char_class.h"

namespace lxra {

constexpr long kErrorNoEndingQuote = 1011;

// The scan types: indexes of the predefined token names.
enum class ScanType : long {
    kAlphaUnderscore = 0,  // "alpha"
    kAlpha = 1,            // "alpha_"
    kNumeric = 2,
    kAlphaNumeric = 3,
    kWhitespace = 4,
    kFreetext = 5,
    kQuotedString = 6,
    kIdentifier = 7,
    kAlNumBlank = 8,
    kEOL = 9,
};
constexpr long kNumScanTypes = 10;

// Over characters in memory; with end null, the text ends at its NUL.
class PointerCursor {
public:
    PointerCursor(const char* p, const char* end) : p_(p), end_(end) {}
    char Next() { return (end_ != nullptr && p_ >= end_) ? 0 : *p_++; }

private:
    const char* p_;
    const char* end_;
};

// Characters of one class, at most n, up to a NUL.
template <typename Cursor, typename Class>
long ScanWhile(Cursor& cursor, long n, Class inClass)
{
    long count = 0;
    while (count < n) {
        const char c = cursor.Next();
        if (c == 0 || !inClass(c)) {
            break;
        }
        ++count;
    }
    return count;
}

template <typename Cursor>
long ScanIdentifierWith(Cursor& cursor, long n)
{
    long count = 0;
    while (count < n) {
        const char c = cursor.Next();
        if (c == 0 || !(IsWordChar(c) || (count > 0 && IsDigit(c)))) {
            break;
        }
        ++count;
    }
    return count;
}

template <typename Cursor>
long ScanEOLWith(Cursor& cursor, long n)
{
    return n > 1 && cursor.Next() == '\r' && cursor.Next() == '\n' ? 2 : 0;
}

// No limit of its own: it runs to the closing quote, a line feed or the cursor's end.
template <typename Cursor>
long ScanQuotedStringWith(Cursor& cursor, long* code)
{
    if (cursor.Next() != '"') {
        return 0;
    }
    long length = 1;
    while (true) {
        char c = cursor.Next();
        if (c == '\\') {
            ++length;
            c = cursor.Next();
            if (c != 0) {  // a backslash does not skip the end
                ++length;
                continue;
            }
        }
        if (c == '"') {
            return length + 1;
        }
        if (c == '\n' || c == 0) {
            if (code != nullptr) {
                *code = kErrorNoEndingQuote;
            }
            return 0;
        }
        ++length;
    }
}

template <typename Cursor>
long ScanTypeWith(Cursor& cursor, long type, long n, long* code)
{
    if (n < 0) {
        n = 0;
    }
    switch (static_cast<ScanType>(type)) {
        case ScanType::kAlphaUnderscore:
            return ScanWhile(cursor, n, IsWordChar);
        case ScanType::kAlpha:
            return ScanWhile(cursor, n, IsLetter);
        case ScanType::kNumeric:
            return ScanWhile(cursor, n, IsDigit);
        case ScanType::kAlphaNumeric:
            return ScanWhile(cursor, n, [](char c) { return IsLetter(c) || IsDigit(c); });
        case ScanType::kWhitespace:
            return ScanWhile(cursor, n, IsSpace);
        case ScanType::kFreetext:
            return n;
        case ScanType::kQuotedString:
            return ScanQuotedStringWith(cursor, code);
        case ScanType::kIdentifier:
            return ScanIdentifierWith(cursor, n);
        case ScanType::kAlNumBlank:
            return ScanWhile(cursor, n, [](char c) { return IsLetter(c) || IsDigit(c) || IsSpace(c); });
        case ScanType::kEOL:
            return ScanEOLWith(cursor, n);
    }
    return 0;
}

}  // namespace lxra
