// Where the updater finds the server and database of a named connection, and the
// connection string it builds from them with the built-in credentials.
#pragma once

#include <string>

#include "platform/database/database.h"

namespace torvik {

// The text of the error raised when a connection's settings are found nowhere; the
// start-up looks for this text to decide whether to import the registry file.
inline constexpr const char* kSettingsNotFoundMarker = "Erro em Atualizar_Parametros_Registro()";

// The connection string of the system, byte for byte.
std::string ConnectionString(const std::string& password, const std::string& userId, const std::string& database,
                             const std::string& server, const std::string& appName);

// Finds server and database for the connection name (in/out: what they hold on entry is
// kept unless both are empty): the INI file at iniPath when it exists, then the
// current-user registry key (created when missing), then for "Binarios" the "Conexao
// default" key with "_Binarios" appended to the database, or for another name the
// local-machine key; values found in the registry elsewhere are written back to the
// current-user key. Then closes the connection and gives it the connection string with
// the deciphered credentials. Throws UpdaterError when the settings are found nowhere.
void Atualizar_Parametros_Registro(db::Connection& connection, const std::string& name, std::string& server,
                                   std::string& database, const std::string& appName,
                                   const std::string& encipheredUserId, const std::string& encipheredPassword,
                                   const std::string& iniPath);

// Imports "Registro.reg" from the current folder, when it is there, with the kit's
// regedit (windowsFolder + "regedit /s Registro.reg") and waits for it. Throws
// UpdaterError when regedit cannot be started. Returns true.
bool Registra_Aplicacao(const std::string& windowsFolder);

}  // namespace torvik
