// The system's OLE DB connection string translated for ODBC.

#include "platform/database/connection_string.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <thread>

#include "common/text.h"
#include "odbc_data_sources.h"
#include "platform/database/database.h"
#include "postgres_server.h"
#include "scratch_folder.h"
#include "test_databases.h"

namespace torvik::db {
namespace {

// The string the updater builds, with the run-time values filled in.
std::string UpdaterString(const std::string& server, const std::string& database = "Vendas")
{
    return "Provider=SQLOLEDB.1;Password=p4ss;User ID=sa_torvik;Initial Catalog=" + database +
           ";Data Source=" + server +
           ";Persist Security Info=True;Auto Translate=True;Packet Size=4096;Workstation ID=;"
           "Application Name=Vendas;Tag with column collation when possible=False";
}

std::string Translated(const std::string& oleDb, const std::string& driver = "FreeTDS")
{
    return TranslateConnectionString(
        ParseOleDbConnectionString(oleDb), [](const std::string& name) { return SameText(name, "VendasDSN"); }, driver);
}

TEST(ConnectionString, TranslatesTheUpdatersStringForOdbc)
{
    const std::string credentials = "DATABASE=Vendas;UID=sa_torvik;PWD=p4ss;APP=Vendas;";
    const struct {
        std::string oleDb;
        std::string driver;
        std::string odbc;
    } cases[] = {
        {UpdaterString("SRV01"), "FreeTDS", "DRIVER={FreeTDS};SERVER=SRV01;" + credentials},
        {UpdaterString("vendasdsn"), "FreeTDS", "DSN=vendasdsn;" + credentials},
        {UpdaterString("vendasdsn"), "PostgreSQL Unicode", "DSN=vendasdsn;" + credentials},
        // SQL Server's "host,port": FreeTDS (and psqlODBC) take the port as its own key.
        {UpdaterString("srv01,1433"), "FreeTDS", "DRIVER={FreeTDS};SERVER=srv01;PORT=1433;" + credentials},
        {UpdaterString("srv01\\VENDAS , 1533"), "FreeTDS",
         "DRIVER={FreeTDS};SERVER=srv01\\VENDAS;PORT=1533;" + credentials},
        {UpdaterString("srv01\\VENDAS"), "FreeTDS", "DRIVER={FreeTDS};SERVER=srv01\\VENDAS;" + credentials},
        {UpdaterString("127.0.0.1,5432"), "PostgreSQL Unicode",
         "DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=5432;" + credentials},
        // Microsoft's drivers read "host,port" themselves.
        {UpdaterString("srv01,1433"), "ODBC Driver 18 for SQL Server",
         "DRIVER={ODBC Driver 18 for SQL Server};SERVER=srv01,1433;" + credentials},
        {UpdaterString("srv01,abc"), "FreeTDS", "DRIVER={FreeTDS};SERVER=srv01,abc;" + credentials},
        {UpdaterString("srv01,70000"), "FreeTDS", "DRIVER={FreeTDS};SERVER=srv01,70000;" + credentials},
        {UpdaterString(",1433"), "FreeTDS", "DRIVER={FreeTDS};SERVER=,1433;" + credentials},
        // Missing and empty keys are left to the data source.
        {"Data Source=SRV01", "FreeTDS", "DRIVER={FreeTDS};SERVER=SRV01;"},
        {"Password=;User ID=;Initial Catalog=;Data Source=SRV01;Application Name=", "FreeTDS",
         "DRIVER={FreeTDS};SERVER=SRV01;"},
        {UpdaterString("SRV01", ""), "FreeTDS", "DRIVER={FreeTDS};SERVER=SRV01;UID=sa_torvik;PWD=p4ss;APP=Vendas;"},
        // OLE DB syntax: letter case, blanks, quotes, empty elements.
        {" data source = SRV01 ;; INITIAL CATALOG=Vendas Matriz ;", "FreeTDS",
         "DRIVER={FreeTDS};SERVER=SRV01;DATABASE=Vendas Matriz;"},
        {"Password='a\"b''c';Data Source=\"SRV01\" ", "FreeTDS", "DRIVER={FreeTDS};SERVER=SRV01;PWD=a\"b'c;"},
        {"Data Source=' srv '", "FreeTDS", "DRIVER={FreeTDS};SERVER={ srv };"},
        {"Data Source=srv=1", "FreeTDS", "DRIVER={FreeTDS};SERVER=srv=1;"},
        // The first of a key counts: nothing after the credentials replaces them.
        {"User ID=sa;Data Source=SRV01;User ID=outro;Data Source=SRV02", "FreeTDS",
         "DRIVER={FreeTDS};SERVER=SRV01;UID=sa;"},
        // Braces in values are written so that no driver reads further keys out of them.
        {"Data Source=SRV01;Initial Catalog=x}y{z", "FreeTDS", "DRIVER={FreeTDS};SERVER=SRV01;DATABASE={x}}y{z};"},
        {"Data Source=SRV01;Initial Catalog={DSN=Outro}", "FreeTDS",
         "DRIVER={FreeTDS};SERVER=SRV01;DATABASE={{DSN=Outro}}};"},
        {"Data Source=SRV01", "Odd}Driver", "DRIVER={Odd}}Driver};SERVER=SRV01;"},
        {"Data Source=Açúcar;Initial Catalog=Vendas_Binários", "FreeTDS",
         "DRIVER={FreeTDS};SERVER=Açúcar;DATABASE=Vendas_Binários;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oleDb + " / " + c.driver);
        EXPECT_EQ(Translated(c.oleDb, c.driver), c.odbc);
    }
}

TEST(ConnectionString, RefusesWhatCannotBeReadOrPassedSafely)
{
    const struct {
        std::string oleDb;
        std::string message;
    } cases[] = {
        {"Data Source=SRV01;Password='p4ss",
         "The connection string is not valid: a quoted value has no closing quote."},
        {"Data Source=SRV01;p4ss;User ID=sa", "The connection string is not valid: an element has no \"=\"."},
        {"Data Source='SRV01' x", "The connection string is not valid: text follows a quoted value."},
        {"Initial Catalog=Vendas;User ID=sa", "The connection string names no server (Data Source)."},
        {"Data Source=  ;Initial Catalog=Vendas", "The connection string names no server (Data Source)."},
        {"Data Source=SRV01;Password=\"p;UID=sa\"",
         "The connection string's Password holds \";\", which ODBC drivers do not all read as part of a value."},
        {"Data Source='SRV01;LoadExt=/tmp/x.so'",
         "The connection string's Data Source holds \";\", which ODBC drivers do not all read as part of a value."},
        {std::string("Data Source=SRV01;Initial Catalog=a\0b", 37),
         "The connection string's Initial Catalog holds a NUL character."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oleDb);
        try {
            Translated(c.oleDb);
            ADD_FAILURE() << "accepted";
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.what(), c.message);
        }
    }
}

// Sets an environment variable for one test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        if (const char* previous = std::getenv(name)) {
            previous_ = previous;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { previous_ ? setenv(name_, previous_->c_str(), 1) : unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

TEST(OdbcConnectionString, NamesAKnownDataSourceOrTheChosenDriver)
{
    kit::testing::ScratchFolder folder;
    testing::DataSources().AddSqlite("TorvikTraducao", folder.Path("traducao.db"));
    {
        ScopedVariable driver("TORVIK_ODBC_DRIVER", nullptr);
        EXPECT_EQ(OdbcConnectionString("Data Source=torviktraducao;Initial Catalog=x"),
                  "DSN=torviktraducao;DATABASE=x;");
        EXPECT_EQ(OdbcConnectionString("Data Source=TorvikOutro;Initial Catalog=x"),
                  "DRIVER={FreeTDS};SERVER=TorvikOutro;DATABASE=x;");
    }
    {
        ScopedVariable driver("TORVIK_ODBC_DRIVER", "PostgreSQL Unicode");
        EXPECT_EQ(OdbcConnectionString("Data Source=TorvikOutro"), "DRIVER={PostgreSQL Unicode};SERVER=TorvikOutro;");
        EXPECT_EQ(OdbcConnectionString("Data Source=TorvikTraducao"), "DSN=TorvikTraducao;");
    }
}

TEST(OdbcConnectionString, DriverFormReachesPostgresByHostCommaPort)
{
    const testing::TestDatabase& database = testing::Database(testing::Backend::Postgres);
    ScopedVariable driver("TORVIK_ODBC_DRIVER", "PostgreSQL Unicode");
    testing::TestDatabase direct = database;
    direct.dataSource = "127.0.0.1," + std::to_string(testing::Postgres().Port());
    Connection connection;
    connection.SetConnectionString(direct.OleDbConnectionString());
    connection.Open();
    Query query(connection);
    query.SQL = {"select current_database() as banco, current_user as usuario"};
    query.Open();
    EXPECT_EQ(query.Field("banco").AsString(), "vendas");
    EXPECT_EQ(query.Field("usuario").AsString(), "torvik");
}

// A listener standing in for SQL Server on loopback: FreeTDS, given the updater's string,
// must come to the host and the port written after the comma.
TEST(OdbcConnectionString, FreeTdsFormReachesTheServersHostAndPort)
{
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const int port = ntohs(address.sin_port);

    std::atomic<bool> done{false};
    std::atomic<int> accepted{0};
    std::thread server([&] {
        while (!done) {
            pollfd ready{listener, POLLIN, 0};
            if (poll(&ready, 1, 100) == 1) {
                const int client = accept(listener, nullptr, nullptr);
                if (client >= 0) {
                    ++accepted;
                    close(client);  // no SQL Server here: the login fails
                }
            }
        }
    });
    ScopedVariable driver("TORVIK_ODBC_DRIVER", nullptr);
    Connection connection;
    connection.SetConnectionTimeout(5);
    connection.SetConnectionString(UpdaterString("127.0.0.1," + std::to_string(port)));
    std::string error;
    try {
        connection.Open();
    } catch (const DatabaseError& failure) {
        error = failure.what();
    }
    done = true;
    server.join();
    close(listener);

    EXPECT_GE(accepted.load(), 1);
    EXPECT_NE(error.find("[FreeTDS]"), std::string::npos) << error;
    EXPECT_FALSE(connection.Connected());
}

}  // namespace
}  // namespace torvik::db
