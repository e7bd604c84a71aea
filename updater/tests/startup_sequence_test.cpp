#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/updater_error.h"
#include "settings/registry/registry.h"
#include "support/startup_sandbox.h"

namespace torvik {
namespace {

using Box = testing::RecordingInteraction::Box;
using StartupSequence = testing::StartupSandbox;

const char* const kUsage =
    "Não foi passado nenhum Parâmetro.\r\n"
    "1º -> Nome da Aplicacao no RegEdit (é o mesmo do .exe) (Obrigatório)\r\n"
    "2º -> Parâmetro de Inicializacao do Sistema Chamado (Obrigatório)\r\n"
    "3º -> O valor \"P\" Indica se usará FTP Passive(Opcional)\r\n"
    "-p -> O valor \"MULT\" indica que serão multiplos usuários (um .exe por usuário) (Opcional)\r\n";

std::string Critical(const std::string& message)
{
    return "Ocorreu um erro crítico e o sistema não poderá ser executado. Favor Contactar o Suporte Técnico.\r\n\r\n" +
           message;
}

TEST_F(StartupSequence, WithoutArgumentsOnlyTheUsageBoxIsShown)
{
    for (const std::vector<std::string>& afterProgram : {std::vector<std::string>{}, {"", "123", "P"}}) {
        user.boxes.clear();
        application = {};
        const auto module = Run(afterProgram);
        EXPECT_EQ(user.boxes, (std::vector<Box>{{"information", kUsage}}));
        EXPECT_EQ(application.terminations, 1);
        EXPECT_EQ(application.mainWindowCloses, 0);
        EXPECT_FALSE(application.errorHandler);
        EXPECT_EQ(module->commandLineReader, nullptr);
        EXPECT_EQ(state.AppName, "");
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path("registry")));
}

TEST_F(StartupSequence, NormalRunConnectsReadsItsParametersAndRunsTheLaterSteps)
{
    UsualDatabase();
    std::vector<int> ran;
    const auto module = Run({"Vendas", "123"}, {[&](TdtmGlobal& m) {
                                                    ran.push_back(14);
                                                    EXPECT_TRUE(m.con.Connected());
                                                },
                                                [&](TdtmGlobal&) { ran.push_back(15); }});
    EXPECT_EQ(ran, (std::vector<int>{14, 15}));
    EXPECT_EQ(state.IniPath, folder.Folder() + "Vendas.ini");
    ASSERT_NE(module->iniReader, nullptr);
    EXPECT_NE(module->registry, nullptr);
    ASSERT_NE(module->binariesConnection, nullptr);
    EXPECT_FALSE(module->UsarBinarios);
    EXPECT_FALSE(module->binariesConnection->Connected());
    EXPECT_TRUE(application.errorHandler);
    EXPECT_EQ(application.mainWindowCloses, 1);
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(StartupSequence, WithTheBinariesDatabaseSelectedBothConnectionsOpen)
{
    const auto [mainSource, mainFile] = Database("vendas.db", {{"SALVAR_VERSOES_BINARIOS", " 1 ", 0}});
    const auto [binariesSource, binariesFile] = Database("binarios.db", {});
    folder.Write("Vendas.ini", testing::IniSection("Default", mainSource, mainFile) +
                                   testing::IniSection("Binarios", binariesSource, binariesFile));
    const auto module = Run({"Vendas", "123"});
    EXPECT_TRUE(module->UsarBinarios);
    EXPECT_TRUE(module->con.Connected());
    EXPECT_TRUE(module->binariesConnection->Connected());
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(StartupSequence, AnIniFileWithoutAConnectionSectionLeavesTheConnectionToTheRegistry)
{
    const auto [dataSource, file] = Database("vendas.db", {{"SALVAR_VERSOES_BINARIOS", "0", 0}});
    folder.Write("Vendas.ini", "[Componentes]\r\nVendas.exe=01.002.00345\r\n");
    {
        TRegistry registry;
        ASSERT_TRUE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser,
                                        "Software\\TORVIK\\Vendas\\Conexao Default", true));
        registry.WriteString("Servidor", dataSource);
        registry.WriteString("Banco de Dados", file);
    }
    const auto module = Run({"Vendas", "123"});
    ASSERT_NE(module->iniReader, nullptr);
    EXPECT_EQ(module->iniReader->FileName(), folder.Folder() + "Vendas.ini");
    EXPECT_TRUE(module->con.Connected());
    EXPECT_EQ(folder.Read("Vendas.ini"), "[Componentes]\r\nVendas.exe=01.002.00345\r\n");
}

TEST_F(StartupSequence, SettingsMissingEverywhereComeFromTheImportedRegistryFile)
{
    const auto [dataSource, file] = Database("vendas.db", {{"SALVAR_VERSOES_BINARIOS", "0", 0}});
    folder.Write("Registro.reg",
                 "Windows Registry Editor Version 5.00\r\n\r\n"
                 "[HKEY_CURRENT_USER\\Software\\TORVIK\\Vendas\\Conexao Default]\r\n"
                 "\"Servidor\"=\"" +
                     dataSource +
                     "\"\r\n"
                     "\"Banco de Dados\"=\"" +
                     file + "\"\r\n");
    const auto module = Run({"Vendas", "123"});
    EXPECT_TRUE(module->con.Connected());
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(StartupSequence, SettingsMissingAfterTheImportEndTheRunWithTheCriticalBox)
{
    bool laterStepRan = false;
    const auto module = Run({"Vendas", "123"}, {[&](TdtmGlobal&) { laterStepRan = true; }});
    EXPECT_FALSE(laterStepRan);
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", Critical("Erro em Atualizar_Parametros_Registro(). Valores "
                                                               "\"Servidor\" e \"Banco de Dados\" não encontrados "
                                                               "para a conexão \"Default\".")}}));
    EXPECT_EQ(application.mainWindowCloses, 1);
}

TEST_F(StartupSequence, AMissingBinariesParameterEndsTheRunWithTheCriticalBox)
{
    const auto [dataSource, file] = Database("vendas.db", {{"USAR_FTP", "1", 0}});
    folder.Write("Vendas.ini", testing::IniSection("Default", dataSource, file));
    bool laterStepRan = false;
    const auto module = Run({"Vendas", "123"}, {[&](TdtmGlobal&) { laterStepRan = true; }});
    EXPECT_FALSE(laterStepRan);
    EXPECT_EQ(user.boxes,
              (std::vector<Box>{{"error", Critical("'<parametro não-existente>' is not a valid integer value")}}));
    EXPECT_EQ(application.mainWindowCloses, 1);
}

TEST_F(StartupSequence, AnUnreachableServerHidesTheSplashExplainsAndEnds)
{
    const std::string dataSource = testing::NewDataSourceName();
    sources.AddSqlite(dataSource, folder.Path("no/such/folder/vendas.db"));
    folder.Write("Vendas.ini", testing::IniSection("Default", dataSource, folder.Path("no/such/folder/vendas.db")));
    bool laterStepRan = false;
    const auto module = Run({"Vendas", "123"}, {[&](TdtmGlobal&) { laterStepRan = true; }});
    EXPECT_FALSE(laterStepRan);
    ASSERT_EQ(user.boxes.size(), 2u);
    const std::string expected =
        "Não foi possível conectar-se ao servidor \"" + dataSource +
        "\". Verifique suas configurações de rede. Se sua máquina estiver corretamente configurada é provável que o "
        "servidor tenha sido desligado para algum tipo de manutenção. Neste caso, tente novamente mais tarde.\r\n"
        "Mensagem de erro:";
    EXPECT_EQ(user.boxes[0].kind, "error");
    EXPECT_EQ(user.boxes[0].text.substr(0, expected.size()), expected);
    EXPECT_GT(user.boxes[0].text.size(), expected.size()) << "the driver's message follows";
    EXPECT_EQ(user.boxes[1], (Box{"information", "A aplicação será finalizada."}));
    EXPECT_EQ(application.mainWindowHides, 1);
    EXPECT_EQ(application.terminations, 1);
    EXPECT_EQ(application.mainWindowCloses, 0);
}

TEST_F(StartupSequence, AnUnreachableBinariesDatabaseExplainsAndEnds)
{
    const auto [mainSource, mainFile] = Database("vendas.db", {{"SALVAR_VERSOES_BINARIOS", "1", 0}});
    const std::string binariesSource = testing::NewDataSourceName();
    sources.AddSqlite(binariesSource, folder.Path("no/such/folder/binarios.db"));
    folder.Write("Vendas.ini",
                 testing::IniSection("Default", mainSource, mainFile) +
                     testing::IniSection("Binarios", binariesSource, folder.Path("no/such/folder/binarios.db")));
    bool laterStepRan = false;
    const auto module = Run({"Vendas", "123"}, {[&](TdtmGlobal&) { laterStepRan = true; }});
    EXPECT_FALSE(laterStepRan);
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_EQ(user.boxes[0].text.rfind("Não foi possível conectar-se ao banco de dados Binários.\r\n", 0), 0u);
    EXPECT_EQ(user.boxes[1], (Box{"information", "A aplicação será finalizada."}));
    EXPECT_EQ(application.mainWindowHides, 0);  // the splash stays up
    EXPECT_EQ(application.terminations, 1);
}

TEST_F(StartupSequence, AnErrorInALaterStepGivesOneCriticalBoxAndNothingMoreRuns)
{
    UsualDatabase();
    bool laterStepRan = false;
    std::unique_ptr<TdtmGlobal> module;
    ASSERT_NO_THROW(
        module = Run({"Vendas", "123"}, {[](TdtmGlobal&) { throw UpdaterError("falha na verificação de versões"); },
                                         [&](TdtmGlobal&) { laterStepRan = true; }}));
    EXPECT_FALSE(laterStepRan);
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", Critical("falha na verificação de versões")}}));
    EXPECT_EQ(application.mainWindowCloses, 1);
    EXPECT_EQ(application.terminations, 0);
}

TEST_F(StartupSequence, TheInstalledHandlerReportsErrorsRaisedElsewhereUntilTheModuleGoes)
{
    UsualDatabase();
    auto module = Run({"Vendas", "123"});
    ASSERT_TRUE(application.errorHandler);
    application.errorHandler(UpdaterError("falha no FTP"));
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"error", Critical("falha no FTP")}}));
    module.reset();
    EXPECT_FALSE(application.errorHandler);
}

TEST_F(StartupSequence, PerUserModeRunsNothingAfterTheSwitchIsRead)
{
    UsualDatabase();
    bool laterStepRan = false;
    const auto module = Run({"Vendas", "123", "P", "-p", "MULT"}, {[&](TdtmGlobal&) { laterStepRan = true; }});
    EXPECT_TRUE(state.MultiUser);
    EXPECT_FALSE(laterStepRan);
    EXPECT_EQ(module->iniReader, nullptr);
    EXPECT_FALSE(module->con.Connected());
    EXPECT_EQ(state.IniPath, "");
    EXPECT_FALSE(application.errorHandler);
    EXPECT_EQ(application.mainWindowCloses, 1);
    EXPECT_EQ(application.terminations, 1);
    EXPECT_TRUE(user.boxes.empty());
}

}  // namespace
}  // namespace torvik
