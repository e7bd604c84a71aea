#include "settings/connection_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/updater_error.h"
#include "scratch_folder.h"
#include "settings/cipher/deployment.h"
#include "settings/registry/registry.h"

namespace torvik {
namespace {

using kit::testing::ScratchFolder;

// Each test has its own registry (TORVIK_REGISTRY_DIR), INI path and working folder.
class ConnectionSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TORVIK_REGISTRY_DIR", folder.Path("registry").c_str(), 1);
        iniPath = folder.Path("Vendas.ini");
    }
    void TearDown() override { unsetenv("TORVIK_REGISTRY_DIR"); }

    void Find(const std::string& name)
    {
        const Deployment& deployment = BuiltInDeployment();
        Atualizar_Parametros_Registro(connection, name, server, database, "Vendas", deployment.encipheredUserId,
                                      deployment.encipheredPassword, iniPath);
    }

    // The updater only reads the machine's keys: the test writes that store's file.
    void PutMachine(const std::string& connectionName, const std::string& server, const std::string& database)
    {
        folder.Write("registry/system.reg",
                     "Windows Registry Editor Version 5.00\r\n\r\n"
                     "[HKEY_LOCAL_MACHINE\\Software\\TORVIK\\Vendas\\" +
                         connectionName + "]\r\n\"Servidor\"=\"" + server + "\"\r\n\"Banco de Dados\"=\"" + database +
                         "\"\r\n");
    }

    static void Put(RegistryRoot root, const std::string& connectionName, const std::string& server,
                    const std::string& database)
    {
        TRegistry registry;
        ASSERT_TRUE(Abre_Chave_Registro(registry, root, "Software\\TORVIK\\Vendas\\" + connectionName, true));
        registry.WriteString("Servidor", server);
        registry.WriteString("Banco de Dados", database);
    }

    static std::string Read(RegistryRoot root, const std::string& connectionName, const std::string& value)
    {
        TRegistry registry;
        return Abre_Chave_Registro(registry, root, "Software\\TORVIK\\Vendas\\" + connectionName, false)
                   ? registry.ReadString(value)
                   : "(no key)";
    }

    std::string Expected(const std::string& expectedDatabase, const std::string& expectedServer) const
    {
        const Deployment& deployment = BuiltInDeployment();
        return ConnectionString(Decifra_Texto(deployment.encipheredPassword),
                                Decifra_Texto(deployment.encipheredUserId), expectedDatabase, expectedServer, "Vendas");
    }

    ScratchFolder folder;
    std::string iniPath;
    db::Connection connection;
    std::string server;
    std::string database;
};

TEST(ConnectionString, IsBuiltByteForByte)
{
    EXPECT_EQ(ConnectionString("pw", "usr", "Vendas", "SRV01\\SQL", "Vendas"),
              "Provider=SQLOLEDB.1;Password=pw;User ID=usr;Initial Catalog=Vendas;Data Source=SRV01\\SQL;"
              "Persist Security Info=True;Auto Translate=True;Packet Size=4096;Workstation ID=;"
              "Application Name=Vendas;Tag with column collation when possible=False");
}

TEST_F(ConnectionSettings, AnIniFileWithBothValuesLeavesTheRegistryAlone)
{
    folder.Write("Vendas.ini", "[Conexao Default]\r\nservidor=SRV01\r\nbanco de dados=Vendas\r\n");
    Find("Default");
    EXPECT_EQ(server, "SRV01");
    EXPECT_EQ(database, "Vendas");
    EXPECT_EQ(connection.ConnectionString(), Expected("Vendas", "SRV01"));
    EXPECT_EQ(connection.ConnectionTimeout(), 120);
    EXPECT_EQ(connection.CommandTimeout(), 2147483647L);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("registry")));
}

TEST_F(ConnectionSettings, OneValueFromTheIniFileIsUsedWithoutTheRegistry)
{
    folder.Write("Vendas.ini", "[Conexao Default]\r\nservidor=SRV01\r\n");
    Put(RegistryRoot::CurrentUser, "Conexao Default", "OTHER", "Other");
    Find("Default");
    EXPECT_EQ(server, "SRV01");
    EXPECT_EQ(database, "");
    EXPECT_EQ(connection.ConnectionString(), Expected("", "SRV01"));
}

TEST_F(ConnectionSettings, MachineValuesAreCopiedToTheUserAndReadThereNextTime)
{
    PutMachine("Conexao Default", "SRV02", "Estoque");
    Find("Default");
    EXPECT_EQ(server, "SRV02");
    EXPECT_EQ(database, "Estoque");
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, "Conexao Default", "Servidor"), "SRV02");
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, "Conexao Default", "Banco de Dados"), "Estoque");

    PutMachine("Conexao Default", "CHANGED", "Changed");
    server.clear();
    database.clear();
    Find("Default");
    EXPECT_EQ(server, "SRV02");
}

TEST_F(ConnectionSettings, BinariosComesFromTheDefaultKeyWithSuffixAndIsWrittenBack)
{
    Put(RegistryRoot::CurrentUser, "Conexao default", "S", "D");
    PutMachine("Conexao Binarios", "MACHINE", "Ignored");
    Find("Binarios");
    EXPECT_EQ(server, "S");
    EXPECT_EQ(database, "D_Binarios");
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, "Conexao Binarios", "Servidor"), "S");
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, "Conexao Binarios", "Banco de Dados"), "D_Binarios");
    EXPECT_EQ(connection.ConnectionString(), Expected("D_Binarios", "S"));
}

TEST_F(ConnectionSettings, SettingsFoundNowhereRaiseTheErrorAndLeaveAnEmptyUserKey)
{
    try {
        Find("Default");
        FAIL() << "no error";
    } catch (const UpdaterError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Erro em Atualizar_Parametros_Registro(). Valores \"Servidor\" e \"Banco de Dados\" não "
                  "encontrados para a conexão \"Default\".");
    }
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, "Conexao Default", "Servidor"), "");
    EXPECT_EQ(connection.ConnectionString(), "");
}

TEST_F(ConnectionSettings, ValuesGivenOnEntryAreKept)
{
    server = "GIVEN";
    database = "Given";
    folder.Write("Vendas.ini", "[Conexao Default]\r\nservidor=SRV01\r\nbanco de dados=Vendas\r\n");
    Find("Default");
    EXPECT_EQ(connection.ConnectionString(), Expected("Given", "GIVEN"));
}

// Registra_Aplicacao looks for Registro.reg in the current folder.
class RegistryImport : public ConnectionSettings {
protected:
    void SetUp() override
    {
        ConnectionSettings::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.Folder());
    }
    void TearDown() override
    {
        std::filesystem::current_path(previous);
        ConnectionSettings::TearDown();
    }
    std::filesystem::path previous;
};

TEST_F(RegistryImport, ImportsRegistroRegWithTheKitsRegedit)
{
    folder.Write("Registro.reg",
                 "Windows Registry Editor Version 5.00\r\n\r\n"
                 "[HKEY_CURRENT_USER\\Software\\TORVIK\\Vendas\\Conexao Default]\r\n"
                 "\"Servidor\"=\"SRV03\"\r\n\"Banco de Dados\"=\"Vendas\"\r\n");
    EXPECT_TRUE(Registra_Aplicacao(REGEDIT_FOLDER));
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, "Conexao Default", "Servidor"), "SRV03");
}

TEST_F(RegistryImport, WithoutTheFileNothingRuns)
{
    EXPECT_TRUE(Registra_Aplicacao(folder.Path("no-regedit-here/")));
}

TEST_F(RegistryImport, ARegeditThatCannotStartIsAnError)
{
    folder.Write("Registro.reg", "Windows Registry Editor Version 5.00\r\n");
    try {
        Registra_Aplicacao(folder.Path("no-regedit-here/"));
        FAIL() << "no error";
    } catch (const UpdaterError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "[TdtmGlobal.Registra_Aplicacao] Não foi possível executar \"Registro.reg\"");
    }
}

}  // namespace
}  // namespace torvik
