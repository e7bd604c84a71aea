// regedit as the updater runs it: a real program importing a real file into the stores
// of a sandbox.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "registry_sandbox.h"
#include "run_program.h"
#include "settings/registry/registry.h"

namespace torvik {
namespace {

using kit::testing::ProgramRun;
using kit::testing::RunProgram;
using testing::RegistrySandbox;

const char* const kConnectionPath = "Software\\TORVIK\\Vendas\\Conexao Default";

ProgramRun Regedit(const RegistrySandbox& sandbox, const std::vector<std::string>& arguments)
{
    return RunProgram(REGEDIT_PATH, arguments, {{"TORVIK_REGISTRY_DIR", sandbox.Folder().Folder()}});
}

ProgramRun Import(const RegistrySandbox& sandbox, const std::string& text, const std::string& name = "Registro.reg")
{
    return Regedit(sandbox, {"/s", sandbox.Folder().Write("import/" + name, text)});
}

std::string Read(RegistryRoot root, const std::string& path, const std::string& name)
{
    TRegistry registry;
    if (!Abre_Chave_Registro(registry, root, path, false)) {
        return "(no key)";
    }
    return registry.ValueExists(name) ? registry.ReadString(name) : "(no value)";
}

TEST(Regedit, ImportsConnectionKeysThatTheUpdaterReads)
{
    const RegistrySandbox sandbox;
    const ProgramRun run = Import(sandbox,
                                  "Windows Registry Editor Version 5.00\r\n"
                                  "\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\TORVIK\\Vendas\\Conexao Default]\r\n"
                                  "\"Servidor\"=\"SRV01\\\\VENDAS\"\r\n"
                                  "\"Banco de Dados\"=\"Vendas Matriz\"\r\n"
                                  "\r\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\TORVIK\\Vendas\\Conexao Default]\r\n"
                                  "\"Servidor\"=\"SRV-MAQUINA\"\r\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, kConnectionPath, "Servidor"), "SRV01\\VENDAS");
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, "software\\torvik\\vendas\\conexao default", "banco de dados"),
              "Vendas Matriz");
    EXPECT_EQ(Read(RegistryRoot::LocalMachine, kConnectionPath, "Servidor"), "SRV-MAQUINA");
    EXPECT_EQ(Read(RegistryRoot::LocalMachine, kConnectionPath, "Banco de Dados"), "(no value)");
}

TEST(Regedit, SkipsBadLinesReportsThemAndImportsTheRest)
{
    const RegistrySandbox sandbox;
    const ProgramRun run = Import(sandbox,
                                  "REGEDIT4\n"
                                  "\n"
                                  "[HKEY_CURRENT_USER\\Software\\TORVIK\\Vendas\\Conexao Default]\n"
                                  "\"Servidor\"=\"SRV01\n"
                                  "\"Banco de Dados\"=\"Vendas\"\n"
                                  "[HKEY_USERS\\Outro]\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("Registro.reg:4: "), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("Registro.reg:6: "), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find("Registro.reg:5"), std::string::npos) << run.errors;
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, kConnectionPath, "Servidor"), "(no value)");
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, kConnectionPath, "Banco de Dados"), "Vendas");
}

TEST(Regedit, AppliesKeyAndValueDeletionsToWhatTheStoreHolds)
{
    const RegistrySandbox sandbox;
    {
        TRegistry registry;
        ASSERT_TRUE(
            Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, "Software\\TORVIK\\Vendas\\Componentes", true));
        registry.WriteString("Vendas.exe", "01.002.00345");
        registry.WriteString("Antigo.dll", "00.001.00001");
        ASSERT_TRUE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, "Software\\TORVIK\\Velho\\Filho", true));
    }
    const ProgramRun run = Import(sandbox,
                                  "Windows Registry Editor Version 5.00\r\n"
                                  "[-HKEY_CURRENT_USER\\SOFTWARE\\torvik\\velho]\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\TORVIK\\Vendas\\Componentes]\r\n"
                                  "\"ANTIGO.DLL\"=-\r\n"
                                  "\"Novo.dll\"=\"00.000.00000\"\r\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    const TRegistry registry;
    EXPECT_FALSE(registry.KeyExists("Software\\TORVIK\\Velho"));
    const std::string components = "Software\\TORVIK\\Vendas\\Componentes";
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, components, "Vendas.exe"), "01.002.00345");
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, components, "Antigo.dll"), "(no value)");
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, components, "Novo.dll"), "00.000.00000");
}

TEST(Regedit, AnswersAWrongCommandLineWithItsUsage)
{
    const RegistrySandbox sandbox;
    const std::string file = sandbox.Folder().Write("Registro.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n");
    const std::vector<std::string> commandLines[] = {{}, {"/s"}, {file}, {"/x", file}, {"/s", file, "extra"}};
    for (const auto& arguments : commandLines) {
        SCOPED_TRACE(arguments.size());
        const ProgramRun run = Regedit(sandbox, arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.errors, "usage: regedit /s FILE\n");
    }
    EXPECT_FALSE(std::filesystem::exists(sandbox.Path("user.reg")));
    EXPECT_EQ(Regedit(sandbox, {"/S", file}).exitCode, 0);
}

TEST(Regedit, ImportsNothingFromAFileThatIsNotARegistryFile)
{
    const RegistrySandbox sandbox;
    const ProgramRun missing = Regedit(sandbox, {"/s", sandbox.Path("Ausente.reg")});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.errors.find("Ausente.reg"), std::string::npos);

    const ProgramRun headless = Import(sandbox, "[HKEY_CURRENT_USER\\Software]\r\n\"a\"=\"1\"\r\n");
    EXPECT_EQ(headless.exitCode, 3);
    EXPECT_NE(headless.errors.find("Registro.reg:1: not a registry file"), std::string::npos) << headless.errors;
    EXPECT_FALSE(std::filesystem::exists(sandbox.Path("user.reg")));
}

TEST(Regedit, LeavesOutTheRootWhoseStoreCannotBeWritten)
{
    const RegistrySandbox sandbox;
    const std::string damaged =
        "Windows Registry Editor Version 5.00\r\n"
        "[HKEY_LOCAL_MACHINE\\Software]\r\n"
        "\"Servidor\"=\"sem fim\r\n";
    sandbox.Folder().Write("system.reg", damaged);
    const ProgramRun run = Import(sandbox,
                                  "Windows Registry Editor Version 5.00\r\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\TORVIK]\r\n"
                                  "\"Servidor\"=\"M\"\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\TORVIK]\r\n"
                                  "\"Servidor\"=\"U\"\r\n");
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_NE(run.errors.find("system.reg:3: "), std::string::npos) << run.errors;
    EXPECT_EQ(sandbox.MachineStore(), damaged);
    EXPECT_EQ(Read(RegistryRoot::CurrentUser, "Software\\TORVIK", "Servidor"), "U");

    // A store folder that is a file: nobody, root included, can write there.
    const ProgramRun nowhere = RunProgram(REGEDIT_PATH, {"/s", sandbox.Path("import/Registro.reg")},
                                          {{"TORVIK_REGISTRY_DIR", sandbox.Folder().Write("not-a-folder", "x")}});
    EXPECT_EQ(nowhere.exitCode, 4);
    EXPECT_NE(nowhere.errors.find("not-a-folder"), std::string::npos) << nowhere.errors;
}

TEST(Regedit, ImportsRunningAtTheSameTimeLoseNothing)
{
    const RegistrySandbox sandbox;
    constexpr int kRunners = 2;
    constexpr int kImports = 6;
    std::vector<std::thread> runners;
    std::vector<int> failures(kRunners, 0);
    for (int r = 0; r < kRunners; ++r) {
        runners.emplace_back([&, r] {
            for (int i = 0; i < kImports; ++i) {
                const std::string name = "R" + std::to_string(r) + "I" + std::to_string(i);
                const ProgramRun run = Import(sandbox,
                                              "Windows Registry Editor Version 5.00\r\n"
                                              "[HKEY_CURRENT_USER\\Software\\TORVIK\\Vendas\\Componentes]\r\n"
                                              "\"" +
                                                  name + "\"=\"" + name +
                                                  "\"\r\n"
                                                  "[HKEY_CURRENT_USER\\Software\\TORVIK\\" +
                                                  name + "]\r\n",
                                              name + ".reg");
                failures[r] += run.exitCode != 0;
            }
        });
    }
    for (std::thread& runner : runners) {
        runner.join();
    }
    EXPECT_EQ(failures, std::vector<int>(kRunners, 0));
    const TRegistry registry;
    for (int r = 0; r < kRunners; ++r) {
        for (int i = 0; i < kImports; ++i) {
            const std::string name = "R" + std::to_string(r) + "I" + std::to_string(i);
            EXPECT_EQ(Read(RegistryRoot::CurrentUser, "Software\\TORVIK\\Vendas\\Componentes", name), name);
            EXPECT_TRUE(registry.KeyExists("Software\\TORVIK\\" + name)) << name;
        }
    }
}

}  // namespace
}  // namespace torvik
