// Named ":NAME" parameters in SQL text, turned into ODBC's positional "?" markers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvik::db {

struct PositionalSql {
    std::string sql;                      // every ":NAME" replaced by "?"
    std::vector<std::string> parameters;  // the name behind each "?", in order of appearance
};

// A parameter is ":" followed by letters, digits or "_" (non-ASCII letters included).
// Nothing inside string literals, quoted or bracketed names and comments is a parameter,
// and "::" (a PostgreSQL cast) stays as written.
PositionalSql ReplaceNamedParameters(std::string_view sql);

}  // namespace torvik::db
