// ODBC data sources private to a test: an odbc.ini of the test's own, which the driver
// manager reads instead of the user's (unixODBC takes the user file from ODBCINI on
// every lookup), removed with the object.
//
//   kit::testing::OdbcDataSources sources;
//   sources.AddSqlite("TorvikLite", scratch.Path("vendas.db"));
//   sources.AddPostgres("TorvikPg", server, "vendas");
//   ... "DSN=TorvikPg;UID=…;PWD=…" now connects; a child process started with
//   sources.Environment() sees the same data sources ...
//
// The drivers are the ones the Debian packages register in /etc/odbcinst.ini. unixODBC
// keeps what it read of a data source for about 20 seconds within one process: give
// every data source of a test program its own name rather than redefining one.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace kit::testing {

class PostgresServer;

class OdbcDataSources {
public:
    OdbcDataSources();   // points this process's ODBCINI at the private file
    ~OdbcDataSources();  // restores ODBCINI and removes the file
    OdbcDataSources(const OdbcDataSources&) = delete;
    OdbcDataSources& operator=(const OdbcDataSources&) = delete;

    // The PostgreSQL Unicode driver on 127.0.0.1 at the server's port, bytea columns
    // reported as long binary data.
    void AddPostgres(const std::string& dsn, const PostgresServer& server, const std::string& database);
    // The SQLite 3 driver on a database file (created by the driver when missing).
    void AddSqlite(const std::string& dsn, const std::string& databaseFile);
    // A data source of any driver, with the attributes given.
    void Add(const std::string& dsn, const std::map<std::string, std::string>& attributes);

    // The variables a child process needs to see the same data sources.
    std::map<std::string, std::string> Environment() const;
    std::string IniFile() const { return iniFile_; }

private:
    void Write() const;

    std::string folder_;
    std::string iniFile_;
    std::optional<std::string> previousOdbcIni_;
    std::map<std::string, std::map<std::string, std::string>> sources_;
};

}  // namespace kit::testing
