#include "settings/connection_settings.h"

#include <QString>

#include "common/updater_error.h"
#include "platform/process.h"
#include "platform/process_runner.h"
#include "settings/cipher/deployment.h"
#include "settings/ini_file.h"
#include "settings/registry/registry.h"

namespace torvik {
namespace {

std::string KeyPath(const std::string& appName, const std::string& connectionName)
{
    return "Software\\TORVIK\\" + appName + "\\Conexao " + connectionName;
}

// Reads both values of a key, when it opens.
void ReadKey(TRegistry& registry, RegistryRoot root, const std::string& path, bool create, std::string& server,
             std::string& database)
{
    if (Abre_Chave_Registro(registry, root, path, create)) {
        server = registry.ReadString("Servidor");
        database = registry.ReadString("Banco de Dados");
    }
}

void WriteBack(TRegistry& registry, const std::string& path, const std::string& server, const std::string& database)
{
    if (Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, path, true)) {
        registry.WriteString("Servidor", server);
        registry.WriteString("Banco de Dados", database);
    }
}

bool IsBinarios(const std::string& name)
{
    return QString::fromStdString(name).toUpper() == QStringLiteral("BINARIOS");
}

}  // namespace

std::string ConnectionString(const std::string& password, const std::string& userId, const std::string& database,
                             const std::string& server, const std::string& appName)
{
    return "Provider=SQLOLEDB.1;Password=" + password + ";" + "User ID=" + userId + ";" +
           "Initial Catalog=" + database + ";" + "Data Source=" + server + ";" + "Persist Security Info=True;" +
           "Auto Translate=True;" + "Packet Size=4096;" + "Workstation ID=;" + "Application Name=" + appName + ";" +
           "Tag with column collation when possible=False";
}

void Atualizar_Parametros_Registro(db::Connection& connection, const std::string& name, std::string& server,
                                   std::string& database, const std::string& appName,
                                   const std::string& encipheredUserId, const std::string& encipheredPassword,
                                   const std::string& iniPath)
{
    connection.SetCommandTimeout(2147483647);
    connection.SetConnectionTimeout(120);

    if (server.empty() && database.empty() && platform::FileExists(iniPath)) {
        const IniFile ini(iniPath);
        server = ini.ReadString("Conexao " + name, "servidor");
        database = ini.ReadString("Conexao " + name, "banco de dados");
    }

    // Only when the INI file gave neither value is the registry consulted: one value
    // from the INI file is used as it is.
    if (server.empty() && database.empty()) {
        TRegistry registry;
        const std::string path = KeyPath(appName, name);
        ReadKey(registry, RegistryRoot::CurrentUser, path, true, server, database);
        if (server.empty() || database.empty()) {
            if (IsBinarios(name)) {
                if (Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, KeyPath(appName, "default"), false)) {
                    server = registry.ReadString("Servidor");
                    database = registry.ReadString("Banco de Dados") + "_Binarios";
                }
            } else {
                ReadKey(registry, RegistryRoot::LocalMachine, path, false, server, database);
            }
            if (!server.empty() && !database.empty()) {
                WriteBack(registry, path, server, database);
            }
        }
        if (server.empty() || database.empty()) {
            throw UpdaterError(std::string(kSettingsNotFoundMarker) +
                               ". Valores \"Servidor\" e \"Banco de Dados\" não encontrados para a conexão \"" +
                               name + "\".");
        }
    }

    connection.Close();
    const std::string userId = Decifra_Texto(encipheredUserId);
    const std::string password = Decifra_Texto(encipheredPassword);
    connection.SetConnectionString(ConnectionString(password, userId, database, server, appName));
}

bool Registra_Aplicacao(const std::string& windowsFolder)
{
    if (platform::FileExists("Registro.reg")) {
        // Quoted, so that a folder with blanks in its name still names one program.
        if (Executa_E_Aguarda("\"" + windowsFolder + "regedit\" /s Registro.reg", 0) == -1) {
            throw UpdaterError("[TdtmGlobal.Registra_Aplicacao] Não foi possível executar \"Registro.reg\"");
        }
    }
    return true;
}

}  // namespace torvik
