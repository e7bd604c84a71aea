// From the system's OLE DB connection string to an ODBC one. Plain text work: whether a
// name is an ODBC data source and which driver to name are given by the caller.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace torvik::db {

// The keys of the OLE DB string that reach the ODBC driver; the others (Provider,
// Persist Security Info, Packet Size, …) mean nothing to it.
struct OleDbSettings {
    std::optional<std::string> dataSource;
    std::optional<std::string> initialCatalog;
    std::optional<std::string> userId;
    std::optional<std::string> password;
    std::optional<std::string> applicationName;
};

// Reads "key=value;…" by OLE DB rules: keys without letter case, blanks around keys and
// values dropped, a value may be enclosed in ' or " (the quote doubled inside), empty
// elements ignored. A key given twice counts the first time, so nothing written after
// the credentials can replace them. Throws DatabaseError for an element without "=" or
// a quoted value that is not closed; the message never quotes the string, which holds
// the password.
OleDbSettings ParseOleDbConnectionString(std::string_view text);

// The ODBC string: "DSN=<Data Source>;" when isDataSource says the name is an ODBC data
// source, otherwise "DRIVER={<driver>};SERVER=<host>;[PORT=<port>;]"; then DATABASE,
// UID, PWD and APP for the keys that have a value. Throws DatabaseError when there is no
// Data Source, or a value cannot be passed safely (see OdbcValue).
std::string TranslateConnectionString(const OleDbSettings& settings,
                                      const std::function<bool(const std::string&)>& isDataSource,
                                      const std::string& driver);

// One value as a connection-string attribute: in braces, with "}" doubled, when it holds
// "{", "}" or blanks at either end. Throws DatabaseError (naming `key`, never the value)
// for a value holding ";" or a NUL: drivers that split at every ";" whatever the braces
// (the SQLite one does) would read the rest as further keys.
std::string OdbcValue(std::string_view key, std::string_view value);

}  // namespace torvik::db
