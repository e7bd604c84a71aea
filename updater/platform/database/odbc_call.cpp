#include "platform/database/odbc_call.h"

#include <utility>

#include "platform/database/database.h"
#include "platform/database/utf16.h"

namespace torvik::db {

OdbcHandle::OdbcHandle(SQLSMALLINT type, const OdbcHandle& parent) : type_(type)
{
    const SQLRETURN result = SQLAllocHandle(type, parent.get(), &handle_);
    if (!Succeeded(result)) {
        handle_ = SQL_NULL_HANDLE;
        throw DatabaseError(parent ? ErrorMessage(parent, "SQLAllocHandle")
                                   : std::string("The ODBC driver manager could not allocate a handle."));
    }
}

OdbcHandle OdbcHandle::Environment()
{
    OdbcHandle environment(SQL_HANDLE_ENV, OdbcHandle());
    Check(SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          environment, "SQLSetEnvAttr");
    return environment;
}

OdbcHandle::~OdbcHandle()
{
    Reset();
}

OdbcHandle::OdbcHandle(OdbcHandle&& other) noexcept : type_(other.type_), handle_(std::exchange(other.handle_, nullptr))
{
}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept
{
    if (this != &other) {
        Reset();
        type_ = other.type_;
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

void OdbcHandle::Reset()
{
    if (handle_ != SQL_NULL_HANDLE) {
        SQLFreeHandle(type_, handle_);
        handle_ = SQL_NULL_HANDLE;
    }
}

std::vector<DiagnosticRecord> Diagnostics(const OdbcHandle& handle)
{
    std::vector<DiagnosticRecord> records;
    if (!handle) {
        return records;
    }
    for (SQLSMALLINT number = 1;; ++number) {
        SQLWCHAR state[6] = {};
        SQLINTEGER nativeError = 0;
        std::vector<SQLWCHAR> text(512);
        SQLSMALLINT length = 0;
        SQLRETURN result = SQLGetDiagRecW(handle.type(), handle.get(), number, state, &nativeError, text.data(),
                                          static_cast<SQLSMALLINT>(text.size()), &length);
        if (result == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(text.size())) {
            text.resize(static_cast<size_t>(length) + 1);
            result = SQLGetDiagRecW(handle.type(), handle.get(), number, state, &nativeError, text.data(),
                                    static_cast<SQLSMALLINT>(text.size()), &length);
        }
        if (!Succeeded(result)) {
            break;
        }
        const size_t units = std::min(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), text.size() - 1);
        records.push_back({Utf8FromUtf16(state, 5), Utf8FromUtf16(text.data(), units)});
    }
    return records;
}

std::string ErrorMessage(const OdbcHandle& handle, const char* call)
{
    std::string message;
    for (const DiagnosticRecord& record : Diagnostics(handle)) {
        // Drivers often repeat one message for several records.
        if (!record.text.empty() && message.find(record.text) == std::string::npos) {
            message += (message.empty() ? "" : "\r\n") + record.text;
        }
    }
    if (message.empty()) {
        message = std::string("The ODBC call ") + call + " failed without a message from the driver.";
    }
    return message;
}

void Check(SQLRETURN result, const OdbcHandle& handle, const char* call)
{
    if (!Succeeded(result)) {
        throw DatabaseError(ErrorMessage(handle, call));
    }
}

}  // namespace torvik::db
