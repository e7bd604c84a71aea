// Token scanners and the predefined token names a grammar may use as symbols.
// Character classes are those of the C locale whatever the host's: letters A-Z a-z,
// digits 0-9, spaces blank, tab, line feed, vertical tab, form feed, carriage return;
// bytes 0x80 and above belong to no class.
#pragma once

#include "lxra101/lxra101_export.h"

// Each returns how many characters from the start of s it matches, never more than n,
// and stops at a NUL byte (ScanFreetext excepted).
LXRA101_API long ScanAlpha_(const char* s, long n);        // letters and underscores
LXRA101_API long ScanAlpha(const char* s, long n);         // letters
LXRA101_API long ScanNumeric(const char* s, long n);       // digits
LXRA101_API long ScanAlphaNumeric(const char* s, long n);  // letters and digits
LXRA101_API long ScanWhitespace(const char* s, long n);    // space characters
LXRA101_API long ScanFreetext(const char* s, long n);      // everything: n
// Letters and underscores, and digits anywhere but first.
LXRA101_API long ScanIdentifier(const char* s, long n);
LXRA101_API long ScanAlNumBlank(const char* s, long n);  // letters, digits and spaces
// 2 for a carriage return and line feed (n > 1), else 0.
LXRA101_API long ScanEOL(const char* s, long n);
// A double-quoted string whose backslashes escape the next character: its length with
// both quotes. A line feed or NUL before the closing quote sets code to 1011 and gives
// 0. n is not used: s must be NUL-terminated.
LXRA101_API long ScanQuotedString(const char* s, long n, long& code);

// The ten predefined token names; the index is the scan type: "alpha" (letters and
// underscores), "alpha_" (letters), "numeric", "alphanumeric", "whitespace",
// "freetext", "quotedstring", "identifier", "alnumblank", "EOL".
LXRA101_API long LXGetNumPredefinedSymbols();
// Null outside 0 .. 9.
LXRA101_API const char* LXGetPredefinedSymbolName(long index);
// The index of a name compared without case; -1 when it is not one of them.
LXRA101_API long LXLookupPredefinedSymbol(const char* name);
