// ExecTorvik as users start it, on a machine without a display.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "odbc_data_sources.h"
#include "platform/database/database.h"
#include "postgres_server.h"
#include "run_program.h"
#include "scratch_folder.h"
#include "settings/cipher/deployment.h"
#include "support/vendas_database.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

// The updater copied into its own application folder, with a home, settings and
// registry folders of its own, all empty.
class InstalledUpdater : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(scratch.Path("app"));
        fs::copy_file(EXEC_TORVIK_PATH, scratch.Path("app/ExecTorvik"));
        fs::copy_file(std::string(REGEDIT_FOLDER) + "regedit", scratch.Path("app/regedit"));
        for (const char* folder : {"home", "config", "registry", "runtime"}) {
            fs::create_directories(scratch.Path(folder));
        }
        fs::permissions(scratch.Path("runtime"), fs::perms::owner_all);
    }

    kit::testing::ProgramRun Run(const std::vector<std::string>& arguments)
    {
        std::map<std::string, std::string> environment{
            {"PATH", "/usr/bin:/bin"},
            {"HOME", scratch.Path("home")},
            {"XDG_CONFIG_HOME", scratch.Path("config")},
            {"XDG_RUNTIME_DIR", scratch.Path("runtime")},
            {"TORVIK_REGISTRY_DIR", scratch.Path("registry")},
            {"TORVIK_UI", "console"},
        };
        environment.merge(sources.Environment());
        return kit::testing::RunProgram(scratch.Path("app/ExecTorvik"), arguments, environment);
    }

    // Every file below the scratch folder, by its path there.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(scratch.Folder())) {
            if (!entry.is_directory()) {
                files.push_back(fs::relative(entry.path(), scratch.Folder()).string());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    kit::testing::ScratchFolder scratch;
    kit::testing::OdbcDataSources sources;
};

TEST_F(InstalledUpdater, WithoutArgumentsShowsTheUsageBoxAndWritesNothing)
{
    const kit::testing::ProgramRun run = Run({});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors,
              "INFO: Não foi passado nenhum Parâmetro.\n"
              "1º -> Nome da Aplicacao no RegEdit (é o mesmo do .exe) (Obrigatório)\n"
              "2º -> Parâmetro de Inicializacao do Sistema Chamado (Obrigatório)\n"
              "3º -> O valor \"P\" Indica se usará FTP Passive(Opcional)\n"
              "-p -> O valor \"MULT\" indica que serão multiplos usuários (um .exe por usuário) (Opcional)\n");
    EXPECT_EQ(Files(), (std::vector<std::string>{"app/ExecTorvik", "app/regedit"}));
}

TEST_F(InstalledUpdater, ConnectsToItsSqliteDatabaseAndEndsQuietly)
{
    const std::string dataSource = testing::NewDataSourceName();
    const std::string file = scratch.Path("vendas.db");
    sources.AddSqlite(dataSource, file);
    testing::CreateParameters(dataSource, file, {{"SALVAR_VERSOES_BINARIOS", "0", 0}});
    const std::string ini = testing::IniSection("Default", dataSource, file) + "[Componentes]\r\nVendas.exe=01\r\n";
    scratch.Write("app/Vendas.ini", ini);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"Vendas", "123", "P"}, {"Vendas", "123", "-p", "MULT"}}) {
        const kit::testing::ProgramRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.errors, "");
        EXPECT_EQ(scratch.Read("app/Vendas.ini"), ini);
    }
}

TEST_F(InstalledUpdater, AMissingSystemParameterEndsWithTheCriticalBox)
{
    const std::string dataSource = testing::NewDataSourceName();
    const std::string file = scratch.Path("vendas.db");
    sources.AddSqlite(dataSource, file);
    testing::CreateParameters(dataSource, file, {{"USAR_FTP", "1", 0}});
    scratch.Write("app/Vendas.ini", testing::IniSection("Default", dataSource, file));
    const kit::testing::ProgramRun run = Run({"Vendas", "1"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors,
              "ERROR: Ocorreu um erro crítico e o sistema não poderá ser executado. Favor Contactar o Suporte "
              "Técnico.\n\n'<parametro não-existente>' is not a valid integer value\n");
}

TEST_F(InstalledUpdater, ImportsRegistroRegWhenNoSettingsAreFound)
{
    const std::string dataSource = testing::NewDataSourceName();
    const std::string file = scratch.Path("vendas.db");
    sources.AddSqlite(dataSource, file);
    testing::CreateParameters(dataSource, file, {{"SALVAR_VERSOES_BINARIOS", "0", 0}});
    // The registry file is looked for in the working folder, which is the scratch folder.
    scratch.Write("Registro.reg",
                  "Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_CURRENT_USER\\Software\\TORVIK\\Vendas\\Conexao Default]\r\n"
                  "\"Servidor\"=\"" +
                      dataSource + "\"\r\n\"Banco de Dados\"=\"" + file + "\"\r\n");
    const std::filesystem::path previous = fs::current_path();
    fs::current_path(scratch.Folder());
    const kit::testing::ProgramRun run = Run({"Vendas", "1"});
    fs::current_path(previous);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_TRUE(fs::exists(scratch.Path("registry/user.reg")));
}

// The PostgreSQL server of this test, with the deployment's credentials as its role.
TEST_F(InstalledUpdater, ConnectsToPostgresWithTheBuiltInCredentialsAndReportsAStoppedServer)
{
    kit::testing::PostgresServer server;
    const Deployment& deployment = BuiltInDeployment();
    const std::string user = Decifra_Texto(deployment.encipheredUserId);
    server.CreateRole(user, Decifra_Texto(deployment.encipheredPassword));
    server.CreateDatabase("vendas", user);
    const std::string dataSource = testing::NewDataSourceName();
    sources.AddPostgres(dataSource, server, "vendas");
    {
        db::Connection connection;
        connection.SetConnectionString(testing::OleDbString(dataSource, "vendas"));
        connection.Execute(
            "CREATE TABLE FW_PARAMETROS (NOME_PARAMETRO VARCHAR(100), VALOR VARCHAR(200), "
            "CRIPTOGRAFAR INTEGER)");
        connection.Execute("INSERT INTO FW_PARAMETROS VALUES ('SALVAR_VERSOES_BINARIOS', '0', 0)");
    }
    scratch.Write("app/Vendas.ini", testing::IniSection("Default", dataSource, "vendas"));

    const kit::testing::ProgramRun connected = Run({"Vendas", "1"});
    EXPECT_EQ(connected.exitCode, 0);
    EXPECT_EQ(connected.errors, "");

    server.Stop();
    const kit::testing::ProgramRun refused = Run({"Vendas", "1"});
    EXPECT_EQ(refused.exitCode, 0);
    const std::string box = "ERROR: Não foi possível conectar-se ao servidor \"" + dataSource +
                            "\". Verifique suas configurações de rede. Se sua máquina estiver corretamente "
                            "configurada é provável que o servidor tenha sido desligado para algum tipo de "
                            "manutenção. Neste caso, tente novamente mais tarde.\nMensagem de erro:";
    EXPECT_EQ(refused.errors.substr(0, box.size()), box);
    const std::string ending = "\nINFO: A aplicação será finalizada.\n";
    ASSERT_GT(refused.errors.size(), box.size() + ending.size()) << refused.errors;
    EXPECT_EQ(refused.errors.substr(refused.errors.size() - ending.size()), ending);
}

}  // namespace
}  // namespace torvik
