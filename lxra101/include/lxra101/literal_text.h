// Literal texts as grammars write them, and bytes as the runtime shows them.
#pragma once

#include "lxra101/lxra101_export.h"

// Translates a double-quoted literal (src starts at its opening quote) into dst: \n, \r
// and \t, one to three decimal digits for a byte of that value (at most 255), and a
// backslash before any other character for that character. Returns the length of the
// text; 0 for a missing closing quote, a backslash at the end, a value above 255 or a
// text that leaves no room in size bytes (at most size - 2 characters are stored). On
// error dst holds "".
LXRA101_API long TranslateLiteralExp(const char* src, char* dst, long size);

// The n bytes of src in printable form: tab, line feed and carriage return as \t \n \r,
// printable characters as they are, any other byte as a backslash and its decimal value.
// At most size - 1 characters, and never half an escape; returns dst.
LXRA101_API const char* MakePrintableString(const char* src, unsigned n, char* dst, unsigned size);
