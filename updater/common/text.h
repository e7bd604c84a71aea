// Text helpers of the updater. Inside the program text is UTF-8; files that Windows
// tools may have written (INI, .reg) can hold Windows-1252 instead.
#pragma once

#include <string>
#include <string_view>

namespace torvik {

// Letter case is ignored the way the system compares names (switches, INI sections and
// keys, registry names): for every letter, accented ones included.
bool SameText(std::string_view a, std::string_view b);

bool IsValidUtf8(std::string_view bytes);

// Windows-1252 bytes as UTF-8. Every byte maps to one character; the five bytes that
// code page leaves undefined map to the control characters of the same number.
std::string Utf8FromWindows1252(std::string_view bytes);

// UTF-8 text as Windows-1252; characters the code page lacks become '?'.
std::string Windows1252FromUtf8(std::string_view text);

// The text of a file that Windows tools may have written: UTF-8 when it is valid
// UTF-8, otherwise Windows-1252.
std::string DecodeWindowsText(std::string_view bytes);

// The text as a decimal integer, blanks around it allowed; throws UpdaterError
// "'<text>' is not a valid integer value" for anything else.
long StrToInt(std::string_view text);

// The text without the blanks and control characters (bytes up to the space) at either end.
std::string_view Trim(std::string_view text);

// The text without the spaces and tabs at either end.
std::string_view TrimBlanks(std::string_view text);

// The text without any of these characters at either end.
std::string_view TrimCharacters(std::string_view text, std::string_view characters);

// The value of a hexadecimal digit, or -1.
int HexDigit(char c);

}  // namespace torvik
