#include "test_databases.h"

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>

#include "odbc_data_sources.h"
#include "platform/database/connection_handles.h"
#include "platform/database/utf16.h"
#include "postgres_server.h"
#include "scratch_folder.h"

namespace torvik::db::testing {
namespace {

struct State {
    // Destroyed from the bottom up: the server stops before its data source goes.
    std::unique_ptr<kit::testing::ScratchFolder> folder;
    std::unique_ptr<kit::testing::OdbcDataSources> sources;
    std::unique_ptr<kit::testing::PostgresServer> server;
    std::map<Backend, TestDatabase> databases;
    std::map<Backend, std::string> failures;  // a backend that could not be made fails every test alike
};

State& Shared()
{
    static State state;
    if (state.folder == nullptr) {
        state.folder = std::make_unique<kit::testing::ScratchFolder>();
        state.sources = std::make_unique<kit::testing::OdbcDataSources>();
    }
    return state;
}

void InsertContent(Connection& connection, int code, const char* file, int packed, const std::string* content)
{
    OdbcHandle statement(SQL_HANDLE_STMT, connection.handles().connection);
    std::vector<SQLWCHAR> text = Utf16FromUtf8("INSERT INTO CONTEUDOS VALUES (" + std::to_string(code) + ", 105, '" +
                                               file + "', " + std::to_string(packed) + ", ?)");
    const SQLLEN size = content != nullptr ? static_cast<SQLLEN>(content->size()) : 0;
    SQLLEN indicator = content != nullptr ? size : SQL_NULL_DATA;
    Check(SQLBindParameter(statement.get(), 1, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY,
                           std::max<SQLULEN>(static_cast<SQLULEN>(size), 1), 0,
                           content != nullptr ? const_cast<char*>(content->data()) : nullptr, size, &indicator),
          statement, "SQLBindParameter");
    Check(SQLExecDirectW(statement.get(), text.data(), SQL_NTS), statement, "INSERT INTO CONTEUDOS");
}

void CreateTables(const TestDatabase& database, const std::string& binaryType)
{
    Connection connection;
    connection.SetConnectionString(database.OleDbConnectionString());
    connection.Open();
    connection.Execute(
        "CREATE TABLE FW_PARAMETROS (NOME_PARAMETRO VARCHAR(100), VALOR VARCHAR(200), CRIPTOGRAFAR INTEGER)");
    for (const ParameterRow& row : kParameterRows) {
        const auto literal = [](const char* text) {
            return text == nullptr ? std::string("NULL") : "'" + std::string(text) + "'";
        };
        connection.Execute("INSERT INTO FW_PARAMETROS VALUES (" + literal(row.name) + ", " + literal(row.value) + ", " +
                           (row.enciphered ? row.enciphered : "NULL") + ")");
    }
    connection.Execute(
        "CREATE TABLE CONTEUDOS (COD INTEGER, TIPO INTEGER, NOME_ARQUIVO VARCHAR(100), "
        "COMPACTADO INTEGER, CONTEUDO " +
        binaryType + ")");
    connection.Execute("CREATE TABLE TEXTOS (ID INTEGER, TEXTO TEXT)");
    connection.Execute("INSERT INTO TEXTOS VALUES (1, '" + LongText() + "')");
    InsertContent(connection, 7, "Vendas.exe", 0, &BinaryContent());
    InsertContent(connection, 8, "vazio.bin", 1, nullptr);
}

const TestDatabase& Make(State& state, Backend backend)
{
    TestDatabase database;
    std::string binaryType;
    if (backend == Backend::Sqlite) {
        database = {"SQLite", "TorvikSqlite", state.folder->Path("vendas.db"), "torvik", "sem-senha"};
        state.sources->AddSqlite(database.dataSource, database.catalog);
        binaryType = "BLOB";
    } else {
        kit::testing::PostgresServer& server = Postgres();
        database = {"PostgreSQL", "TorvikPostgres", "vendas", "torvik", "Senha-Forte 2024"};
        server.CreateRole(database.user, database.password);
        server.CreateDatabase(database.catalog, database.user);
        state.sources->AddPostgres(database.dataSource, server, database.catalog);
        binaryType = "BYTEA";
    }
    CreateTables(database, binaryType);
    return state.databases.emplace(backend, database).first->second;
}

}  // namespace

const std::vector<ParameterRow> kParameterRows = {
    {"SALVAR_VERSOES_BINARIOS", "0", "0"},
    {"USAR_FTP", " 1 ", nullptr},
    {"FTP_DIR_VERSOES_COMPONENTES_DESKTOP", "versoes:desktop", "0"},
    {"RELOGIO", "hora:minuto", "0"},
    {"ESPELHO", "USAR_FTP", "0"},
    {"CODIGO_INVALIDO", "1a", "0"},
    {"VAZIO", nullptr, "1"},
    {"AÇÚCAR", "café com açúcar", "0"},
};

std::string TestDatabase::OleDbConnectionString() const
{
    return "Provider=SQLOLEDB.1;Password=" + password + ";User ID=" + user + ";Initial Catalog=" + catalog +
           ";Data Source=" + dataSource +
           ";Persist Security Info=True;Auto Translate=True;Packet Size=4096;Workstation ID=;"
           "Application Name=Vendas;Tag with column collation when possible=False";
}

const std::string& BinaryContent()
{
    static const std::string content = [] {
        std::string bytes(3 * 1024 * 1024 + 12345, '\0');
        uint32_t state = 2463534242u;
        for (char& byte : bytes) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            byte = static_cast<char>(state >> 24);
        }
        return bytes;
    }();
    return content;
}

const std::string& LongText()
{
    static const std::string text = [] {
        std::string lines;
        for (int i = 0; i < 1500; ++i) {
            lines += "Versão " + std::to_string(i) + ": correção de acentuação\r\n";
        }
        return lines;
    }();
    return text;
}

kit::testing::OdbcDataSources& DataSources()
{
    return *Shared().sources;
}

kit::testing::PostgresServer& Postgres()
{
    State& state = Shared();
    if (state.server == nullptr) {
        state.server = std::make_unique<kit::testing::PostgresServer>();
    }
    return *state.server;
}

const TestDatabase& Database(Backend backend)
{
    State& state = Shared();
    if (const auto made = state.databases.find(backend); made != state.databases.end()) {
        return made->second;
    }
    if (const auto failed = state.failures.find(backend); failed != state.failures.end()) {
        throw std::runtime_error(failed->second);
    }
    try {
        return Make(state, backend);
    } catch (const std::exception& error) {
        state.failures[backend] = error.what();
        throw;
    }
}

void OpenConnection(Connection& connection, Backend backend)
{
    connection.SetConnectionString(Database(backend).OleDbConnectionString());
    connection.Open();
}

}  // namespace torvik::db::testing
