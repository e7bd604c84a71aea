#include "settings/registry/registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/updater_error.h"
#include "registry_sandbox.h"
#include "settings/registry/registry_store.h"

namespace torvik {
namespace {

using testing::RegistrySandbox;
using testing::ScopedEnvironment;

const char* const kConnectionPath = "Software\\TORVIK\\Vendas\\Conexao Default";

const std::string kMachineStore =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\TORVIK\\Vendas\\Conexao Default]\r\n"
    "\"Servidor\"=\"SRV-MAQUINA\"\r\n"
    "\"Banco de Dados\"=\"Vendas\"\r\n";

mode_t ModeOf(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

TEST(RegistryStorePath, FollowsTheEnvironment)
{
    struct Case {
        const char* name;
        std::optional<std::string> registryDir, configHome, home;
        std::string user, machine;
    };
    const Case cases[] = {
        {"TORVIK_REGISTRY_DIR moves both", "/tmp/sandbox", "/cfg", "/home/u", "/tmp/sandbox/user.reg",
         "/tmp/sandbox/system.reg"},
        {"XDG_CONFIG_HOME", std::nullopt, "/cfg", "/home/u", "/cfg/torvik/user.reg", "/etc/torvik/system.reg"},
        {"a relative XDG_CONFIG_HOME is ignored", std::nullopt, "cfg", "/home/u", "/home/u/.config/torvik/user.reg",
         "/etc/torvik/system.reg"},
        {"HOME", "", std::nullopt, "/home/u", "/home/u/.config/torvik/user.reg", "/etc/torvik/system.reg"},
        {"nowhere", std::nullopt, std::nullopt, std::nullopt, "", "/etc/torvik/system.reg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScopedEnvironment registryDir("TORVIK_REGISTRY_DIR", c.registryDir);
        const ScopedEnvironment configHome("XDG_CONFIG_HOME", c.configHome);
        const ScopedEnvironment home("HOME", c.home);
        EXPECT_EQ(RegistryStorePath(RegistryRoot::CurrentUser), c.user);
        EXPECT_EQ(RegistryStorePath(RegistryRoot::LocalMachine), c.machine);
    }
}

TEST(TRegistry, NamesCompareWithoutCaseAndKeepTheirSpelling)
{
    const RegistrySandbox sandbox;
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\TORVIK\\Conexão Default", true));
    registry.WriteString("Servidor", "SRV01");

    ASSERT_TRUE(registry.OpenKey("\\SOFTWARE\\torvik\\CONEXÃO DEFAULT", false));
    EXPECT_EQ(registry.CurrentPath(), "Software\\TORVIK\\Conexão Default");
    EXPECT_TRUE(registry.ValueExists("SERVIDOR"));
    EXPECT_EQ(registry.ReadString("servidor"), "SRV01");
    registry.WriteString("SERVIDOR", "SRV02");

    const std::string store = sandbox.UserStore();
    EXPECT_NE(store.find("[HKEY_CURRENT_USER\\Software\\TORVIK\\Conexão Default]\r\n\"Servidor\"=\"SRV02\"\r\n"),
              std::string::npos)
        << store;
    EXPECT_EQ(store.find("SERVIDOR"), std::string::npos);
    EXPECT_TRUE(registry.KeyExists("software\\TORVIK\\conexão default"));
}

TEST(TRegistry, OpensKeysRelativeToTheOpenKeyOrFromTheRoot)
{
    const RegistrySandbox sandbox;
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\TORVIK\\Vendas", true));
    ASSERT_TRUE(registry.OpenKey("\\Software", false));
    EXPECT_EQ(registry.CurrentPath(), "Software");

    ASSERT_TRUE(registry.OpenKey("torvik", false));  // relative to Software
    EXPECT_EQ(registry.CurrentPath(), "Software\\TORVIK");
    ASSERT_TRUE(registry.OpenKey("Vendas\\", false));
    EXPECT_EQ(registry.CurrentPath(), "Software\\TORVIK\\Vendas");
    ASSERT_TRUE(registry.OpenKey("", false));  // the open key itself
    EXPECT_EQ(registry.CurrentPath(), "Software\\TORVIK\\Vendas");

    EXPECT_FALSE(registry.OpenKey("Software", false));  // Software\TORVIK\Vendas\Software
    EXPECT_FALSE(registry.HasOpenKey());
    ASSERT_TRUE(registry.OpenKey("Software", false));  // nothing open: from the root
    EXPECT_EQ(registry.CurrentPath(), "Software");

    registry.CloseKey();
    EXPECT_FALSE(registry.HasOpenKey());
    EXPECT_EQ(registry.CurrentPath(), "");
    EXPECT_EQ(registry.ReadString("anything"), "");
}

TEST(TRegistry, CreatesKeysOnlyWhenAllowed)
{
    const RegistrySandbox sandbox;
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("Software\\TORVIK", false));
    EXPECT_FALSE(registry.KeyExists("Software"));
    EXPECT_FALSE(std::filesystem::exists(sandbox.Path("user.reg")));

    ASSERT_TRUE(registry.OpenKey("Software\\TORVIK\\Vazia", true));
    EXPECT_EQ(registry.CurrentPath(), "Software\\TORVIK\\Vazia");

    // An empty key exists for everyone who reads the store afterwards.
    const TRegistry other;
    EXPECT_TRUE(other.KeyExists("Software\\TORVIK\\Vazia"));
    EXPECT_TRUE(other.KeyExists("\\software\\torvik"));
    EXPECT_TRUE(other.KeyExists(""));
    EXPECT_FALSE(other.KeyExists("Software\\TORVIK\\Vazia\\Nada"));
    EXPECT_NE(sandbox.UserStore().find("[HKEY_CURRENT_USER\\Software\\TORVIK\\Vazia]"), std::string::npos);

    // Names a line of the store cannot hold are not created.
    EXPECT_FALSE(registry.OpenKey("\\Software\\Linha\nQuebrada", true));
    EXPECT_FALSE(registry.KeyExists("Software\\Linha\nQuebrada"));
}

TEST(TRegistry, ReadsAbsentValuesAsEmptyAndRefusesWritesWithoutAKey)
{
    const RegistrySandbox sandbox;
    TRegistry registry;
    try {
        registry.WriteString("Servidor", "SRV01");
        FAIL() << "a value was written with no key open";
    } catch (const UpdaterError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'Servidor'");
    }
    EXPECT_FALSE(std::filesystem::exists(sandbox.Path("user.reg")));

    ASSERT_TRUE(registry.OpenKey(kConnectionPath, true));
    EXPECT_FALSE(registry.ValueExists("Servidor"));
    EXPECT_EQ(registry.ReadString("Servidor"), "");

    const std::string before = sandbox.UserStore();
    EXPECT_THROW(registry.WriteString("Servidor", "linha\r\nquebrada"), UpdaterError);
    EXPECT_THROW(registry.WriteString("Servidor", "Conex\xE3o"), UpdaterError);  // not UTF-8
    EXPECT_EQ(sandbox.UserStore(), before);
}

TEST(TRegistry, SeesChangesOfOtherAccessorsAtTheNextRead)
{
    const RegistrySandbox sandbox;
    TRegistry first;
    TRegistry second;
    ASSERT_TRUE(first.OpenKey(kConnectionPath, true));
    ASSERT_TRUE(second.OpenKey(kConnectionPath, false));

    second.WriteString("Servidor", "SRV01");
    EXPECT_EQ(first.ReadString("Servidor"), "SRV01");
    first.WriteString("Banco de Dados", "Vendas");
    EXPECT_EQ(second.ReadString("banco de dados"), "Vendas");
    EXPECT_EQ(second.ReadString("Servidor"), "SRV01");

    // The key is deleted behind the accessor's back: it reads nothing and writes fail.
    sandbox.Folder().Write("user.reg", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n");
    EXPECT_FALSE(first.ValueExists("Servidor"));
    EXPECT_EQ(first.ReadString("Servidor"), "");
    EXPECT_THROW(first.WriteString("Servidor", "SRV02"), UpdaterError);
    EXPECT_FALSE(first.KeyExists(kConnectionPath));
}

TEST(TRegistry, TheLocalMachineStoreIsReadOnly)
{
    const RegistrySandbox sandbox;
    sandbox.Folder().Write("system.reg", kMachineStore);
    TRegistry registry;
    registry.SetRootKey(RegistryRoot::LocalMachine);
    ASSERT_TRUE(registry.OpenKey(kConnectionPath, true));
    EXPECT_EQ(registry.ReadString("Servidor"), "SRV-MAQUINA");
    EXPECT_THROW(registry.WriteString("Servidor", "outro"), UpdaterError);
    EXPECT_FALSE(registry.OpenKey("\\Software\\TORVIK\\Nova", true));
    EXPECT_EQ(sandbox.MachineStore(), kMachineStore);

    // The current user's keys are another store.
    registry.SetRootKey(RegistryRoot::CurrentUser);
    EXPECT_FALSE(registry.HasOpenKey());
    EXPECT_FALSE(registry.KeyExists(kConnectionPath));
}

TEST(TRegistry, AStoreWithUnreadableLinesIsReadButNeverRewritten)
{
    const RegistrySandbox sandbox;
    const std::string damaged =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\TORVIK]\r\n"
        "\"Servidor\"=\"SRV01\"\r\n"
        "\"Banco de Dados\"=\"Vendas\r\n";
    sandbox.Folder().Write("user.reg", damaged);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\TORVIK", false));
    EXPECT_EQ(registry.ReadString("Servidor"), "SRV01");
    EXPECT_THROW(registry.WriteString("Servidor", "SRV02"), UpdaterError);
    EXPECT_FALSE(registry.OpenKey("\\Software\\Nova", true));
    EXPECT_EQ(sandbox.UserStore(), damaged);
}

TEST(TRegistry, CreatesTheUserStoreFolderPrivate)
{
    const kit::testing::ScratchFolder scratch;
    const ScopedEnvironment registryDir("TORVIK_REGISTRY_DIR", std::nullopt);
    const ScopedEnvironment configHome("XDG_CONFIG_HOME", scratch.Path("config"));
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software", true));
    EXPECT_EQ(ModeOf(scratch.Path("config/torvik")), 0700u);
    EXPECT_NE(scratch.Read("config/torvik/user.reg").find("[HKEY_CURRENT_USER\\Software]"), std::string::npos);
}

TEST(AbreChaveRegistro, OpensAnExistingPathSegmentBySegment)
{
    const RegistrySandbox sandbox;
    sandbox.Folder().Write("system.reg", kMachineStore);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\Outra", true));

    ASSERT_TRUE(
        Abre_Chave_Registro(registry, RegistryRoot::LocalMachine, "software\\torvik\\vendas\\conexao default", false));
    EXPECT_EQ(registry.RootKey(), RegistryRoot::LocalMachine);
    EXPECT_EQ(registry.CurrentPath(), kConnectionPath);
    EXPECT_EQ(registry.ReadString("Banco de Dados"), "Vendas");

    // The key open before does not shift the path: it is closed first.
    ASSERT_TRUE(Abre_Chave_Registro(registry, RegistryRoot::LocalMachine, "Software\\TORVIK", true));
    EXPECT_EQ(registry.CurrentPath(), "Software\\TORVIK");
    EXPECT_EQ(sandbox.MachineStore(), kMachineStore);
}

TEST(AbreChaveRegistro, CreatesMissingKeysOnlyWhenAllowed)
{
    const RegistrySandbox sandbox;
    TRegistry registry;
    EXPECT_FALSE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, kConnectionPath, false));
    EXPECT_FALSE(registry.HasOpenKey());
    EXPECT_FALSE(registry.KeyExists("Software"));

    ASSERT_TRUE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, kConnectionPath, true));
    EXPECT_EQ(registry.CurrentPath(), kConnectionPath);
    registry.WriteString("Servidor", "SRV01");
    const TRegistry other;
    EXPECT_TRUE(other.KeyExists(kConnectionPath));

    ASSERT_TRUE(
        Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, "SOFTWARE\\TORVIK\\VENDAS\\CONEXAO DEFAULT", false));
    EXPECT_EQ(registry.ReadString("Servidor"), "SRV01");
}

TEST(AbreChaveRegistro, ReportsFalseWithoutThrowingWhenTheStoreCannotServe)
{
    const RegistrySandbox sandbox;
    TRegistry registry;

    // No local-machine store at all; and the updater never creates keys there.
    EXPECT_FALSE(Abre_Chave_Registro(registry, RegistryRoot::LocalMachine, kConnectionPath, false));
    EXPECT_FALSE(Abre_Chave_Registro(registry, RegistryRoot::LocalMachine, kConnectionPath, true));
    EXPECT_FALSE(std::filesystem::exists(sandbox.Path("system.reg")));

    // The store's folder is a file: nobody, root included, can create a store there.
    {
        const std::string file = sandbox.Folder().Write("not-a-folder", "x");
        const ScopedEnvironment registryDir("TORVIK_REGISTRY_DIR", file);
        EXPECT_FALSE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, kConnectionPath, true));
        EXPECT_FALSE(registry.HasOpenKey());
    }

    // An unreadable store file (a folder in its place) opens nothing.
    {
        const kit::testing::ScratchFolder other;
        std::filesystem::create_directory(other.Path("user.reg"));
        const ScopedEnvironment registryDir("TORVIK_REGISTRY_DIR", other.Folder());
        EXPECT_FALSE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, "", false));
    }
}

TEST(AbreChaveRegistro, OpensExistingKeysOfAStoreItCannotWrite)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    const RegistrySandbox sandbox;
    TRegistry registry;
    ASSERT_TRUE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, "Software\\TORVIK", true));
    const std::string before = sandbox.UserStore();
    struct ReadOnlyFolder {
        std::string path;
        explicit ReadOnlyFolder(std::string folder) : path(std::move(folder)) { chmod(path.c_str(), 0500); }
        ~ReadOnlyFolder() { chmod(path.c_str(), 0700); }
    } readOnly(sandbox.Folder().Folder());
    ASSERT_EQ(chmod(sandbox.Path("user.reg").c_str(), 0400), 0);

    EXPECT_TRUE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, "Software\\TORVIK", true));
    EXPECT_FALSE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, kConnectionPath, true));
    EXPECT_FALSE(registry.HasOpenKey());
    ASSERT_TRUE(Abre_Chave_Registro(registry, RegistryRoot::CurrentUser, "Software\\TORVIK", false));
    EXPECT_THROW(registry.WriteString("Servidor", "SRV01"), UpdaterError);
    EXPECT_EQ(sandbox.UserStore(), before);
}

// Children write at the same time; each writes its own values in its own key and in a
// shared one. Nothing may be lost.
TEST(RegistryStore, ProcessesWritingAtTheSameTimeLoseNothing)
{
    const RegistrySandbox sandbox;
    constexpr int kProcesses = 3;
    constexpr int kValues = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int status = 0;
            try {
                TRegistry registry;
                for (int v = 0; v < kValues; ++v) {
                    const std::string name = "P" + std::to_string(p) + "V" + std::to_string(v);
                    if (!Abre_Chave_Registro(registry, RegistryRoot::CurrentUser,
                                             "Software\\TORVIK\\Vendas\\Componentes", true)) {
                        status = 1;
                        break;
                    }
                    registry.WriteString(name, "01.000.0000" + std::to_string(v % 10));
                    if (!Abre_Chave_Registro(registry, RegistryRoot::CurrentUser,
                                             "Software\\TORVIK\\Processo " + std::to_string(p) + "\\" + name, true)) {
                        status = 1;
                        break;
                    }
                }
            } catch (...) {
                status = 2;
            }
            _exit(status);
        }
        children.push_back(child);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    for (const pid_t child : children) {
        int status = -1;
        while (waitpid(child, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child " << child << " status " << status;
    }

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\TORVIK\\Vendas\\Componentes", false));
    for (int p = 0; p < kProcesses; ++p) {
        for (int v = 0; v < kValues; ++v) {
            const std::string name = "P" + std::to_string(p) + "V" + std::to_string(v);
            EXPECT_EQ(registry.ReadString(name), "01.000.0000" + std::to_string(v % 10)) << name;
            EXPECT_TRUE(registry.KeyExists("Software\\TORVIK\\Processo " + std::to_string(p) + "\\" + name)) << name;
        }
    }
}

}  // namespace
}  // namespace torvik
