// The database layer on real drivers: the same behaviour through the SQLite 3 ODBC driver
// and through psqlODBC on a PostgreSQL server of the test's own.

#include "platform/database/database.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "odbc_data_sources.h"
#include "postgres_server.h"
#include "scratch_folder.h"
#include "test_databases.h"

namespace torvik::db {
namespace {

using kit::testing::ScratchFolder;
using testing::Backend;
using testing::Database;
using testing::OpenConnection;

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "(no error)";
}

class DatabaseSuite : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { OpenConnection(connection, GetParam()); }

    Connection connection;
};

TEST_P(DatabaseSuite, OpensClosesAndOpensAgain)
{
    EXPECT_TRUE(connection.Connected());
    connection.Close();
    EXPECT_FALSE(connection.Connected());
    connection.Open();
    EXPECT_TRUE(connection.Connected());
    connection.Open();  // already open: nothing happens
    EXPECT_TRUE(connection.Connected());
}

TEST_P(DatabaseSuite, NamedParametersBindInOrderOfAppearance)
{
    Query query(connection);
    query.SQL = {"select NOME_PARAMETRO, VALOR, CRIPTOGRAFAR from FW_PARAMETROS",
                 "where (NOME_PARAMETRO in (:Nome, :OUTRO) or VALOR = :nome or VALOR = 'hora:minuto')",
                 "  and CRIPTOGRAFAR = :Cripto",  // integer; USAR_FTP has none and drops out
                 "order by NOME_PARAMETRO"};
    query.SetParameter("NOME", "USAR_FTP");
    query.SetParameter("outro", "FTP_DIR_VERSOES_COMPONENTES_DESKTOP");
    query.SetParameter("cripto", 0L);
    query.Open();
    std::vector<std::string> names;
    for (query.First(); !query.Eof(); query.Next()) {
        names.push_back(query.Field("nome_parametro").AsString());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ESPELHO", "FTP_DIR_VERSOES_COMPONENTES_DESKTOP", "RELOGIO"}));
}

TEST_P(DatabaseSuite, RowsAreTextOrNull)
{
    Query query(connection);
    query.SQL = {"select VALOR, CRIPTOGRAFAR from FW_PARAMETROS where NOME_PARAMETRO = :n"};
    const struct {
        const char* name;
        bool valueNull;
        const char* value;
        bool encipheredNull;
        const char* enciphered;
    } cases[] = {
        {"USAR_FTP", false, " 1 ", true, ""},
        {"VAZIO", true, "", false, "1"},
        {"AÇÚCAR", false, "café com açúcar", false, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        query.Close();
        query.SetParameter("N", c.name);
        query.Open();
        ASSERT_EQ(query.RecordCount(), 1);
        EXPECT_EQ(query.Field("VALOR").IsNull(), c.valueNull);
        EXPECT_EQ(query.Field("VALOR").AsString(), c.value);
        EXPECT_EQ(query.Field("CRIPTOGRAFAR").IsNull(), c.encipheredNull);
        EXPECT_EQ(query.Field("CRIPTOGRAFAR").AsString(), c.enciphered);
    }
}

TEST_P(DatabaseSuite, LongTextIsReadWhole)
{
    Query query(connection);
    query.SQL = {"select TEXTO from TEXTOS where ID = 1"};
    query.Open();
    EXPECT_TRUE(query.Field("TEXTO").AsString() == testing::LongText()) << "the text differs";
}

TEST_P(DatabaseSuite, OpenQueryIsNotFetchedAgainUntilClosed)
{
    Query query(connection);
    query.SQL = {"select NOME_PARAMETRO from FW_PARAMETROS where NOME_PARAMETRO = :n"};
    query.SetParameter("n", "RELOGIO");
    query.Open();
    query.SetParameter("n", "VAZIO");
    query.Open();
    EXPECT_EQ(query.Field("NOME_PARAMETRO").AsString(), "RELOGIO");
    query.Close();
    EXPECT_FALSE(query.Active());
    query.Open();
    EXPECT_EQ(query.Field("NOME_PARAMETRO").AsString(), "VAZIO");
}

TEST_P(DatabaseSuite, LocateMatchesWholeValuesWithoutLetterCase)
{
    Query query(connection);
    query.SQL = {" select NOME_PARAMETRO, VALOR, CRIPTOGRAFAR  ", " from FW_PARAMETROS "};
    query.Open();
    ASSERT_TRUE(query.Locate("nome_parametro", "usar_ftp"));
    EXPECT_EQ(query.Field("VALOR").AsString(), " 1 ");
    ASSERT_TRUE(query.Locate("NOME_PARAMETRO", "açúcar"));
    EXPECT_EQ(query.Field("VALOR").AsString(), "café com açúcar");

    for (const char* absent : {"USAR", "USAR_FTP ", "NAO_EXISTE", ""}) {
        SCOPED_TRACE(absent);
        EXPECT_FALSE(query.Locate("NOME_PARAMETRO", absent));
        EXPECT_EQ(query.Field("NOME_PARAMETRO").AsString(), "AÇÚCAR");  // position unchanged
    }
    EXPECT_FALSE(query.Locate("VALOR", ""));  // a null value is no empty text
    EXPECT_EQ(ErrorOf([&] { query.Locate("NOME", "x"); }), "Field 'NOME' not found");
    EXPECT_EQ(ErrorOf([&] { query.Field("NOME"); }), "Field 'NOME' not found");
}

TEST_P(DatabaseSuite, ValuesReadAsIntegers)
{
    Query query(connection);
    query.SQL = {"select NOME_PARAMETRO, VALOR from FW_PARAMETROS"};
    query.Open();
    ASSERT_TRUE(query.Locate("NOME_PARAMETRO", "USAR_FTP"));
    EXPECT_EQ(query.Field("VALOR").AsInteger(), 1);
    ASSERT_TRUE(query.Locate("NOME_PARAMETRO", "CODIGO_INVALIDO"));
    EXPECT_EQ(ErrorOf([&] { query.Field("VALOR").AsInteger(); }), "'1a' is not a valid integer value");
    ASSERT_TRUE(query.Locate("NOME_PARAMETRO", "VAZIO"));
    EXPECT_EQ(ErrorOf([&] { query.Field("VALOR").AsInteger(); }), "'' is not a valid integer value");
}

TEST_P(DatabaseSuite, TableReadsEveryRow)
{
    Table table(connection, "FW_PARAMETROS");
    table.Open();
    EXPECT_EQ(table.RecordCount(), static_cast<long>(testing::kParameterRows.size()));
    std::vector<std::string> names;
    for (table.First(); !table.Eof(); table.Next()) {
        names.push_back(table.Field("NOME_PARAMETRO").AsString());
    }
    std::vector<std::string> expected;
    for (const auto& row : testing::kParameterRows) {
        expected.push_back(row.name);
    }
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

TEST_P(DatabaseSuite, TheUpdatersCommandTimeoutDoesNotPreventQueries)
{
    connection.SetCommandTimeout(2147483647);
    Query query(connection);
    query.SQL = {"select VALOR from FW_PARAMETROS where NOME_PARAMETRO = :n"};
    query.SetParameter("n", "RELOGIO");
    query.Open();
    EXPECT_EQ(query.Field("VALOR").AsString(), "hora:minuto");
}

class StreamToFileTest : public DatabaseSuite {
protected:
    void SetUp() override
    {
        DatabaseSuite::SetUp();
        query.SQL = {"SELECT CONTEUDO, NOME_ARQUIVO, COMPACTADO", "FROM CONTEUDOS", "WHERE COD = :COD",
                     "AND TIPO = :TIPO"};
        query.SetParameter("TIPO", 105L);
    }

    Query query{connection};
    ScratchFolder folder;
};

TEST_P(StreamToFileTest, WritesTheBinaryColumnWholeAndKeepsTheOtherColumns)
{
    query.SetParameter("COD", 7L);
    ASSERT_TRUE(query.StreamToFile("conteudo", folder.Path("Vendas.exe")));
    EXPECT_TRUE(folder.Read("Vendas.exe") == testing::BinaryContent()) << "the file differs from the stored content";
    EXPECT_EQ(query.Field("NOME_ARQUIVO").AsString(), "Vendas.exe");
    EXPECT_EQ(query.Field("Compactado").AsInteger(), 0);
    EXPECT_NE(ErrorOf([&] { query.Field("CONTEUDO"); }), "(no error)");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Folder()), {}), 1);
}

TEST_P(StreamToFileTest, NullContentGivesAnEmptyFile)
{
    query.SetParameter("COD", 8L);
    ASSERT_TRUE(query.StreamToFile("CONTEUDO", folder.Path("vazio.bin")));
    EXPECT_TRUE(std::filesystem::exists(folder.Path("vazio.bin")));
    EXPECT_EQ(folder.Read("vazio.bin"), "");
    EXPECT_EQ(query.Field("COMPACTADO").AsInteger(), 1);
}

TEST_P(StreamToFileTest, NoRowGivesFalseAndNoFile)
{
    query.SetParameter("COD", 999L);
    EXPECT_FALSE(query.StreamToFile("CONTEUDO", folder.Path("nada.dll")));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Folder()));
    EXPECT_EQ(query.RecordCount(), 0);
}

TEST_P(StreamToFileTest, ReplacesAFileAndKeepsItsPermissions)
{
    const std::string target = folder.Write("Vendas.exe", "old copy");
    ASSERT_EQ(chmod(target.c_str(), 0751), 0);
    query.SetParameter("COD", 7L);
    ASSERT_TRUE(query.StreamToFile("CONTEUDO", target));
    EXPECT_TRUE(folder.Read("Vendas.exe") == testing::BinaryContent());
    struct stat status {};
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0751u);
}

TEST_P(StreamToFileTest, FailurePartWayLeavesThePreviousFileAndNoPartialOne)
{
    const std::string target = folder.Write("Vendas.exe", "old copy");
    query.SetParameter("COD", 7L);
    // Files of this process may not grow past 1 MiB: the write fails a third of the way.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 1024 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string error = ErrorOf([&] { query.StreamToFile("CONTEUDO", target); });
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);

    EXPECT_NE(error.find("Cannot write \"" + target + "\""), std::string::npos) << error;
    EXPECT_EQ(folder.Read("Vendas.exe"), "old copy");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Folder()), {}), 1);
}

TEST_P(DatabaseSuite, FailingStatementsCarryTheDriversMessage)
{
    Query query(connection);
    query.SQL = {"select nao_existe from FW_PARAMETROS"};
    const std::string error = ErrorOf([&] { query.Open(); });
    EXPECT_NE(error.find("nao_existe"), std::string::npos) << error;
    EXPECT_FALSE(query.Active());

    query.SQL = {"select VALOR from FW_PARAMETROS where NOME_PARAMETRO = :sem_valor"};
    EXPECT_EQ(ErrorOf([&] { query.Open(); }), "No value given for the parameter 'sem_valor'.");
}

TEST_P(DatabaseSuite, AQueryOpensItsClosedConnection)
{
    connection.Close();
    Query query(connection);
    query.SQL = {"select count(*) as N from FW_PARAMETROS"};
    query.Open();
    EXPECT_TRUE(connection.Connected());
    EXPECT_EQ(query.Field("n").AsInteger(), static_cast<long>(testing::kParameterRows.size()));
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info)
{
    return info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

INSTANTIATE_TEST_SUITE_P(Drivers, DatabaseSuite, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);
INSTANTIATE_TEST_SUITE_P(Drivers, StreamToFileTest, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

TEST(ConnectionFailure, StoppedPostgresServerGivesTheDriversMessage)
{
    const testing::TestDatabase& database = Database(Backend::Postgres);
    kit::testing::PostgresServer& server = testing::Postgres();
    Connection connection;
    connection.SetConnectionString(database.OleDbConnectionString());
    connection.SetConnectionTimeout(10);
    server.Stop();
    const std::string error = ErrorOf([&] { connection.Open(); });
    server.Start();
    EXPECT_NE(error.find(std::to_string(server.Port())), std::string::npos) << error;
    EXPECT_FALSE(connection.Connected());
    connection.Open();  // the same server again, on the same port
    EXPECT_TRUE(connection.Connected());
}

TEST(ConnectionFailure, WrongPasswordGivesTheDriversMessage)
{
    testing::TestDatabase database = Database(Backend::Postgres);
    database.password = "wrong";
    Connection connection;
    connection.SetConnectionString(database.OleDbConnectionString());
    const std::string error = ErrorOf([&] { connection.Open(); });
    EXPECT_NE(error.find("torvik"), std::string::npos) << error;
}

TEST(ConnectionFailure, DataSourceWithoutItsDriverGivesTheDriverManagersMessage)
{
    testing::DataSources().Add("TorvikSemDriver", {{"Driver", "/nonexistent/libnodriver.so"}});
    Connection connection;
    connection.SetConnectionString("Provider=SQLOLEDB.1;Data Source=TorvikSemDriver;Initial Catalog=x");
    const std::string error = ErrorOf([&] { connection.Open(); });
    EXPECT_NE(error.find("/nonexistent/libnodriver.so"), std::string::npos) << error;
}

TEST(ConnectionFailure, SqliteFileThatCannotBeOpenedGivesTheDriversMessage)
{
    testing::DataSources().AddSqlite("TorvikSqliteInacessivel", "/nonexistent/folder/vendas.db");
    Connection connection;
    connection.SetConnectionString("Data Source=TorvikSqliteInacessivel");
    const std::string error = ErrorOf([&] { connection.Open(); });
    EXPECT_NE(error.find("[SQLite]"), std::string::npos) << error;
}

}  // namespace
}  // namespace torvik::db
