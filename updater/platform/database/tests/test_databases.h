// The real databases the tests run on: a SQLite file through the SQLite 3 ODBC driver and
// a PostgreSQL server of the test program's own through psqlODBC, each an ODBC data
// source with the same tables. Each is made on first use and kept until the program ends.
#pragma once

#include <string>
#include <vector>

#include "platform/database/database.h"

namespace kit::testing {
class OdbcDataSources;
class PostgresServer;
}  // namespace kit::testing

namespace torvik::db::testing {

enum class Backend { Sqlite, Postgres };

struct TestDatabase {
    std::string name;        // for test names
    std::string dataSource;  // the ODBC data source
    std::string catalog;     // Initial Catalog: the database (for SQLite, its file)
    std::string user;
    std::string password;

    // The OLE DB string exactly as the updater builds it.
    std::string OleDbConnectionString() const;
};

// FW_PARAMETROS (NOME_PARAMETRO, VALOR, CRIPTOGRAFAR) holds kParameterRows rows;
// CONTEUDOS (COD, TIPO, NOME_ARQUIVO, COMPACTADO, CONTEUDO) holds code 7 kind 105 with
// BinaryContent() and code 8 kind 105 with a null content.
const TestDatabase& Database(Backend backend);

struct ParameterRow {
    const char* name;
    const char* value;  // nullptr for null
    const char* enciphered;
};
extern const std::vector<ParameterRow> kParameterRows;

// TEXTOS (ID, TEXTO) holds ID 1 with this text of many thousand characters, not all ASCII.
const std::string& LongText();

// A few megabytes that no two chunks of share, so a lost, repeated or reordered chunk shows.
const std::string& BinaryContent();

kit::testing::PostgresServer& Postgres();
kit::testing::OdbcDataSources& DataSources();

// A connection opened on the backend's data source.
void OpenConnection(Connection& connection, Backend backend);

}  // namespace torvik::db::testing
