// The ODBC data sources the driver manager knows (the user's and the system's odbc.ini).
#pragma once

#include <string>

namespace torvik::db {

// Whether a data source of this name exists, without letter case. The list is read
// afresh on every call, so a data source added while the program runs is found.
bool IsOdbcDataSource(const std::string& name);

}  // namespace torvik::db
