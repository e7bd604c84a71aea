// Text between the updater (UTF-8) and the ODBC wide-character calls (UTF-16). The wide
// calls are used throughout so that no driver converts text through the process's
// locale, which may not be UTF-8.
#pragma once

#include <sqltypes.h>

#include <string>
#include <string_view>
#include <vector>

namespace torvik::db {

// UTF-16 code units ending in a 0. Bytes that are not UTF-8 become U+FFFD.
std::vector<SQLWCHAR> Utf16FromUtf8(std::string_view text);

// A lone surrogate becomes U+FFFD.
std::string Utf8FromUtf16(const SQLWCHAR* units, size_t count);

}  // namespace torvik::db
