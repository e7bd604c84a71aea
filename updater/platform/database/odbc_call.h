// ODBC handles with their lifetime, and the driver's diagnostics as DatabaseError.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

namespace torvik::db {

// One ODBC handle, freed with the object. A connection handle must be disconnected
// before it goes (see Connection::Handles).
class OdbcHandle {
public:
    OdbcHandle() = default;
    // Allocates a handle of `type` under `parent`; throws DatabaseError when it cannot.
    OdbcHandle(SQLSMALLINT type, const OdbcHandle& parent);
    ~OdbcHandle();
    OdbcHandle(OdbcHandle&& other) noexcept;
    OdbcHandle& operator=(OdbcHandle&& other) noexcept;
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    // An environment handle for ODBC 3 behaviour.
    static OdbcHandle Environment();

    SQLHANDLE get() const { return handle_; }
    SQLSMALLINT type() const { return type_; }
    explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }
    void Reset();

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

struct DiagnosticRecord {
    std::string state;  // SQLSTATE, five characters
    std::string text;   // the driver's message, UTF-8
};

std::vector<DiagnosticRecord> Diagnostics(const OdbcHandle& handle);

// True for SQL_SUCCESS and SQL_SUCCESS_WITH_INFO.
inline bool Succeeded(SQLRETURN result)
{
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

// Throws DatabaseError with the handle's diagnostics unless the call succeeded. `call`
// names the ODBC function, for the rare driver that fails without a message.
void Check(SQLRETURN result, const OdbcHandle& handle, const char* call);

// The error for a failed call: the messages of its diagnostic records, one per line.
std::string ErrorMessage(const OdbcHandle& handle, const char* call);

}  // namespace torvik::db
