#include "platform/database/sql_parameters.h"

namespace torvik::db {
namespace {

bool IsNameCharacter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           byte == '_' || byte >= 0x80;
}

// The index just past the text that starts at `at` and ends with `close` (or the end of
// the SQL when it is never closed).
size_t SkipPast(std::string_view sql, size_t at, std::string_view close)
{
    const size_t end = sql.find(close, at);
    return end == std::string_view::npos ? sql.size() : end + close.size();
}

}  // namespace

PositionalSql ReplaceNamedParameters(std::string_view sql)
{
    PositionalSql result;
    size_t at = 0;
    while (at < sql.size()) {
        const char c = sql[at];
        const char next = at + 1 < sql.size() ? sql[at + 1] : '\0';
        size_t end = at + 1;
        if (c == '\'' || c == '"') {
            // A doubled quote inside ends one run and starts the next: same effect.
            end = SkipPast(sql, at + 1, std::string_view(&c, 1));
        } else if (c == '[') {
            end = SkipPast(sql, at + 1, "]");
        } else if (c == '-' && next == '-') {
            end = SkipPast(sql, at + 2, "\n");
        } else if (c == '/' && next == '*') {
            end = SkipPast(sql, at + 2, "*/");
        } else if (c == ':' && next == ':') {
            end = at + 2;
        } else if (c == ':' && IsNameCharacter(next)) {
            end = at + 1;
            while (end < sql.size() && IsNameCharacter(sql[end])) {
                ++end;
            }
            result.parameters.emplace_back(sql.substr(at + 1, end - at - 1));
            result.sql += '?';
            at = end;
            continue;
        }
        result.sql.append(sql.substr(at, end - at));
        at = end;
    }
    return result;
}

}  // namespace torvik::db
