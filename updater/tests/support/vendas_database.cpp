#include "support/vendas_database.h"

#include <unistd.h>

#include <atomic>

#include "settings/cipher/deployment.h"
#include "settings/connection_settings.h"

namespace torvik::testing {
namespace {

std::string Literal(const std::optional<std::string>& text)
{
    if (!text) {
        return "NULL";
    }
    std::string quoted = "'";
    for (char c : *text) {
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

std::string NewDataSourceName()
{
    static std::atomic<int> counter{0};
    return "TorvikTest" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

std::string OleDbString(const std::string& dataSource, const std::string& catalog)
{
    const Deployment& deployment = BuiltInDeployment();
    return ConnectionString(Decifra_Texto(deployment.encipheredPassword), Decifra_Texto(deployment.encipheredUserId),
                            catalog, dataSource, "Vendas");
}

void CreateParameters(const std::string& dataSource, const std::string& file, const std::vector<ParameterRow>& rows)
{
    db::Connection connection;
    connection.SetConnectionString(OleDbString(dataSource, file));
    connection.Execute(
        "CREATE TABLE FW_PARAMETROS (NOME_PARAMETRO VARCHAR(100), VALOR VARCHAR(200), CRIPTOGRAFAR INTEGER)");
    for (const ParameterRow& row : rows) {
        const std::string enciphered = row.enciphered ? std::to_string(*row.enciphered) : "NULL";
        connection.Execute("INSERT INTO FW_PARAMETROS VALUES (" + Literal(row.name) + ", " + Literal(row.value) + ", " +
                           enciphered + ")");
    }
}

std::string IniSection(const std::string& connectionName, const std::string& dataSource, const std::string& catalog)
{
    return "[Conexao " + connectionName + "]\r\nservidor=" + dataSource + "\r\nbanco de dados=" + catalog + "\r\n";
}

}  // namespace torvik::testing
