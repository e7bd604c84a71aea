// The updater's database access, over unixODBC: a connection built from the system's
// OLE DB connection string, and queries with named ":PARAM" parameters whose rows are
// read as text, or whose long binary column is streamed to a file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "common/updater_error.h"

namespace torvik::db {

// A failure reported by the driver or the driver manager; the message is the driver's
// own diagnostic text.
class DatabaseError : public UpdaterError {
public:
    using UpdaterError::UpdaterError;
};

// The ODBC connection string for the system's OLE DB connection string
// ("Provider=SQLOLEDB.1;Password=…;User ID=…;Initial Catalog=…;Data Source=…;…"):
// "DSN=<Data Source>" when that names an ODBC data source, otherwise
// "DRIVER={<driver>};SERVER=<Data Source>", the driver being FreeTDS unless
// TORVIK_ODBC_DRIVER names another ("host,port" becomes SERVER=host;PORT=port except for
// Microsoft's SQL Server drivers); then the catalog, user, password and application
// name, each when not empty. Throws DatabaseError for a string that cannot be read or
// passed safely (see connection_string.h).
std::string OdbcConnectionString(const std::string& oleDbConnectionString);

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The OLE DB form; it takes effect at the next Open.
    void SetConnectionString(const std::string& connectionString);
    const std::string& ConnectionString() const;
    void SetConnectionTimeout(int seconds);  // default 15
    void SetCommandTimeout(long seconds);    // default 30; applies to every query's execution
    int ConnectionTimeout() const;
    long CommandTimeout() const;

    // Throws DatabaseError with the driver's message when the connection cannot be made.
    // Does nothing when the connection is open.
    void Open();
    void Close();
    bool Connected() const;
    // Runs a statement that returns no rows (table definitions, inserts), opening the
    // connection when needed; throws DatabaseError with the driver's message.
    void Execute(const std::string& sql);

    struct Handles;
    Handles& handles();

private:
    std::unique_ptr<Handles> handles_;
    std::string connectionString_;
    int connectionTimeout_ = 15;
    long commandTimeout_ = 30;
};

// One column value of a row: null, or its text.
class Value {
public:
    Value() = default;
    explicit Value(std::string text) : text_(std::move(text)) {}
    bool IsNull() const { return !text_.has_value(); }
    // "" for null.
    std::string AsString() const { return text_.value_or(std::string()); }
    // The text as a decimal integer (blanks around it allowed); throws UpdaterError
    // "'<text>' is not a valid integer value" otherwise, null included.
    long AsInteger() const;

private:
    std::optional<std::string> text_;
};

// A query with SQL lines and named parameters. Open executes it and keeps every row
// (as text; long binary columns are not kept) for First/Next/Locate; StreamToFile
// executes it and writes one long binary column of its first row to a file in chunks.
// Running a query opens its connection when it is closed.
class Query {
public:
    explicit Query(Connection& connection);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    std::vector<std::string> SQL;  // joined with line breaks

    // ":NAME" in the SQL; names compare without letter case.
    void SetParameter(const std::string& name, const std::string& value);
    void SetParameter(const std::string& name, long value);

    // Throws DatabaseError, also for a parameter without a value and a statement that
    // returns no rows to read. An open query is not executed again.
    void Open();
    void Close();
    bool Active() const;

    long RecordCount() const;
    void First();
    void Next();
    bool Eof() const;
    // A column of the current row by name, without letter case; throws UpdaterError
    // "Field '<name>' not found" for an unknown column, DatabaseError for a long binary
    // column, a closed query or no current row.
    Value Field(const std::string& name) const;
    // Moves to the first row whose column equals value without letter case (whole
    // value; a null matches nothing); false, with the position unchanged, when none does.
    bool Locate(const std::string& column, const std::string& value);

    // Executes the query; when it returns a row, writes that row's column binaryColumn
    // to path (bounded memory, whatever its size), keeps the row's other columns for
    // Field, and returns true; false, with no file made, when it returns no row. A null
    // column gives an empty file. The file replaces path only once complete (a file
    // already there keeps its permissions); on a failure path is left as it was and
    // DatabaseError is thrown.
    bool StreamToFile(const std::string& binaryColumn, const std::string& path);

private:
    struct Result;
    Connection& connection_;
    std::vector<std::pair<std::string, std::variant<std::string, long>>> parameters_;  // text or integer
    std::unique_ptr<Result> result_;
};

// All rows of a table, as "SELECT * FROM <name>".
class Table : public Query {
public:
    Table(Connection& connection, std::string tableName);
    const std::string& TableName() const { return tableName_; }

private:
    std::string tableName_;
};

}  // namespace torvik::db
