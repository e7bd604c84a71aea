// ExecTorvik as users start it, on a machine without a display.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "run_program.h"
#include "scratch_folder.h"
#include "startup/dtm_global.h"

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
        return files;
    }

    kit::testing::ScratchFolder scratch;
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
    EXPECT_EQ(Files(), std::vector<std::string>{"app/ExecTorvik"});
}

TEST_F(InstalledUpdater, RunsItsSequenceToTheEndAndLeavesTheIniFileAlone)
{
    const std::string ini = "[Componentes]\r\nVendas.exe=01.002.00345\r\n";
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

}  // namespace
}  // namespace torvik
