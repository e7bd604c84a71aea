#include <dlfcn.h>
#include <locale.h>

#include <algorithm>
#include <cstdlib>

#include "platform/database/connection_handles.h"
#include "platform/database/connection_string.h"
#include "platform/database/data_sources.h"
#include "platform/database/database.h"
#include "platform/database/utf16.h"

namespace torvik::db {
namespace {

// SQL Server, the system's database, through FreeTDS unless the deployment names another
// ODBC driver.
std::string OdbcDriver()
{
    const char* chosen = std::getenv("TORVIK_ODBC_DRIVER");
    return chosen != nullptr && chosen[0] != '\0' ? std::string(chosen) : std::string("FreeTDS");
}

// unixODBC converts between the wide calls and a driver that has only narrow ones (the
// SQLite driver) in the character set of the locale current when the connection handle
// is made, and keeps that choice for the connection. Made under a UTF-8 locale, such
// drivers get UTF-8, which SQLite stores, whatever the process's own locale is.
class Utf8LocaleOfThisThread {
public:
    Utf8LocaleOfThisThread() : utf8_(newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(nullptr)))
    {
        if (utf8_ != nullptr) {
            previous_ = uselocale(utf8_);
        }
    }
    ~Utf8LocaleOfThisThread()
    {
        if (utf8_ != nullptr) {
            uselocale(previous_);
            freelocale(utf8_);
        }
    }
    Utf8LocaleOfThisThread(const Utf8LocaleOfThisThread&) = delete;
    Utf8LocaleOfThisThread& operator=(const Utf8LocaleOfThisThread&) = delete;

private:
    locale_t utf8_;
    locale_t previous_ = nullptr;
};

// The SQLite driver loads the ODBC installer library at every connect and unloads it at
// disconnect, and with it unixODBC's cache of the odbc.ini entries it read: memory lost
// on every connection. Held loaded for the whole process, the library keeps its cache.
void KeepOdbcInstallerLoaded()
{
    static void* const installer = dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_NODELETE);
    (void)installer;
}

}  // namespace

std::string OdbcConnectionString(const std::string& oleDbConnectionString)
{
    return TranslateConnectionString(ParseOleDbConnectionString(oleDbConnectionString), IsOdbcDataSource, OdbcDriver());
}

Connection::Connection() : handles_(std::make_unique<Handles>()) {}

Connection::~Connection() = default;

void Connection::SetConnectionString(const std::string& connectionString)
{
    connectionString_ = connectionString;
}

const std::string& Connection::ConnectionString() const
{
    return connectionString_;
}

void Connection::SetConnectionTimeout(int seconds)
{
    connectionTimeout_ = seconds;
}

void Connection::SetCommandTimeout(long seconds)
{
    commandTimeout_ = seconds;
}

int Connection::ConnectionTimeout() const
{
    return connectionTimeout_;
}

long Connection::CommandTimeout() const
{
    return commandTimeout_;
}

void Connection::Open()
{
    if (handles_->connected) {
        return;
    }
    const std::vector<SQLWCHAR> odbc = Utf16FromUtf8(OdbcConnectionString(connectionString_));
    if (odbc.size() - 1 > 32767) {
        throw DatabaseError("The connection string is too long for ODBC.");
    }
    if (!handles_->environment) {
        handles_->environment = OdbcHandle::Environment();
    }
    KeepOdbcInstallerLoaded();
    const Utf8LocaleOfThisThread utf8;
    OdbcHandle connection(SQL_HANDLE_DBC, handles_->environment);
    // Best effort: a driver without a login time-out still connects.
    SQLSetConnectAttrW(connection.get(), SQL_ATTR_LOGIN_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max(connectionTimeout_, 0))), 0);
    const SQLRETURN result =
        SQLDriverConnectW(connection.get(), nullptr, const_cast<SQLWCHAR*>(odbc.data()),
                          static_cast<SQLSMALLINT>(odbc.size() - 1), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    Check(result, connection, "SQLDriverConnect");
    handles_->connection = std::move(connection);
    handles_->connected = true;
}

void Connection::Close()
{
    handles_->Disconnect();
}

bool Connection::Connected() const
{
    return handles_->connected;
}

Connection::Handles& Connection::handles()
{
    return *handles_;
}

}  // namespace torvik::db
