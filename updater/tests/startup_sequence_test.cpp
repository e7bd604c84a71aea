#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/updater_error.h"
#include "scratch_folder.h"
#include "startup/dtm_global.h"
#include "support/recording_interaction.h"

namespace torvik {
namespace {

using testing::RecordingApplication;
using testing::RecordingInteraction;
using Box = RecordingInteraction::Box;

class StartupSequence : public ::testing::Test {
protected:
    std::unique_ptr<TdtmGlobal> Run(std::vector<std::string> afterProgram,
                                    std::vector<TdtmGlobal::Step> laterSteps = {})
    {
        afterProgram.insert(afterProgram.begin(), folder.Folder() + "ExecTorvik");
        arguments = ProgramArguments(afterProgram);
        return std::make_unique<TdtmGlobal>(StartupEnvironment{state, arguments, user, application, folder.Folder()},
                                            std::move(laterSteps));
    }

    kit::testing::ScratchFolder folder;
    RecordingInteraction user;
    RecordingApplication application;
    GlobalState state;
    ProgramArguments arguments;
};

TEST_F(StartupSequence, WithoutArgumentsOnlyTheUsageBoxIsShown)
{
    for (const std::vector<std::string>& afterProgram : {std::vector<std::string>{}, {"", "123", "P"}}) {
        user.boxes.clear();
        application = {};
        const auto module = Run(afterProgram);
        const std::string usage =
            "Não foi passado nenhum Parâmetro.\r\n"
            "1º -> Nome da Aplicacao no RegEdit (é o mesmo do .exe) (Obrigatório)\r\n"
            "2º -> Parâmetro de Inicializacao do Sistema Chamado (Obrigatório)\r\n"
            "3º -> O valor \"P\" Indica se usará FTP Passive(Opcional)\r\n"
            "-p -> O valor \"MULT\" indica que serão multiplos usuários (um .exe por usuário) (Opcional)\r\n";
        EXPECT_EQ(user.boxes, (std::vector<Box>{{"information", usage}}));
        EXPECT_EQ(application.terminations, 1);
        EXPECT_EQ(application.mainWindowCloses, 0);
        EXPECT_FALSE(application.errorHandler);
        EXPECT_EQ(module->commandLineReader, nullptr);
        EXPECT_EQ(module->iniReader, nullptr);
        EXPECT_EQ(state.AppName, "");
        EXPECT_EQ(state.IniPath, "");
    }
}

TEST_F(StartupSequence, NormalRunRunsEveryLaterStepInOrderThenClosesTheSplash)
{
    std::vector<int> ran;
    const auto module =
        Run({"Vendas", "123"}, {[&](TdtmGlobal&) { ran.push_back(8); }, [&](TdtmGlobal&) { ran.push_back(9); }});
    EXPECT_EQ(ran, (std::vector<int>{8, 9}));
    EXPECT_EQ(state.IniPath, folder.Folder() + "Vendas.ini");
    EXPECT_EQ(module->iniReader, nullptr);
    EXPECT_NE(module->commandLineReader, nullptr);
    EXPECT_TRUE(application.errorHandler);
    EXPECT_EQ(application.mainWindowCloses, 1);
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(StartupSequence, AnIniFileBesideTheUpdaterIsOpenedEvenWithoutAConnectionSection)
{
    folder.Write("Vendas.ini", "[Componentes]\r\nVendas.exe=01.002.00345\r\n");
    const auto module = Run({"Vendas", "123"});
    ASSERT_NE(module->iniReader, nullptr);
    EXPECT_EQ(module->iniReader->FileName(), folder.Folder() + "Vendas.ini");
    EXPECT_EQ(folder.Read("Vendas.ini"), "[Componentes]\r\nVendas.exe=01.002.00345\r\n");
}

TEST_F(StartupSequence, AnErrorAfterTheHandlerIsInstalledGivesOneCriticalBoxAndNothingMoreRuns)
{
    bool laterStepRan = false;
    std::unique_ptr<TdtmGlobal> module;
    ASSERT_NO_THROW(module =
                        Run({"Vendas", "123"},
                            {[](TdtmGlobal&) { throw UpdaterError("Parâmetro SALVAR_VERSOES_BINARIOS inexistente"); },
                             [&](TdtmGlobal&) { laterStepRan = true; }}));
    EXPECT_FALSE(laterStepRan);
    EXPECT_EQ(user.boxes, (std::vector<Box>{{"error",
                                             "Ocorreu um erro crítico e o sistema não poderá ser executado. Favor "
                                             "Contactar o Suporte Técnico.\r\n\r\n"
                                             "Parâmetro SALVAR_VERSOES_BINARIOS inexistente"}}));
    EXPECT_EQ(application.mainWindowCloses, 1);
    EXPECT_EQ(application.terminations, 0);
}

TEST_F(StartupSequence, TheInstalledHandlerReportsErrorsRaisedElsewhere)
{
    const auto module = Run({"Vendas", "123"});
    ASSERT_TRUE(application.errorHandler);
    application.errorHandler(UpdaterError("falha no FTP"));
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].kind, "error");
    EXPECT_EQ(user.boxes[0].text, std::string(TdtmGlobal::kCriticalErrorText) + "falha no FTP");
    EXPECT_EQ(application.mainWindowCloses, 2);  // once by the end of the run, once by the handler
}

TEST_F(StartupSequence, TheHandlerGoesWithTheModule)
{
    Run({"Vendas", "123"}).reset();
    EXPECT_FALSE(application.errorHandler);
}

TEST_F(StartupSequence, PerUserModeRunsNothingAfterTheSwitchIsRead)
{
    folder.Write("Vendas.ini", "");
    bool laterStepRan = false;
    const auto module = Run({"Vendas", "123", "P", "-p", "MULT"}, {[&](TdtmGlobal&) { laterStepRan = true; }});
    EXPECT_TRUE(state.MultiUser);
    EXPECT_FALSE(laterStepRan);
    EXPECT_EQ(module->iniReader, nullptr);
    EXPECT_EQ(state.IniPath, "");
    EXPECT_FALSE(application.errorHandler);
    EXPECT_EQ(application.mainWindowCloses, 1);
    EXPECT_EQ(application.terminations, 1);
    EXPECT_TRUE(user.boxes.empty());
}

}  // namespace
}  // namespace torvik
