#include "platform/process_runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "scratch_folder.h"

namespace torvik {
namespace {

TEST(SplitCommandLine, ReadsArgumentsTheWindowsWay)
{
    struct Case {
        const char* line;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"regedit /s Registro.reg", {"regedit", "/s", "Registro.reg"}},
        {"  a\t b  ", {"a", "b"}},
        {"\"/opt/My App/regedit\" /s x", {"/opt/My App/regedit", "/s", "x"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\"", {""}},
        {"a\\\\b", {"a\\\\b"}},         // backslashes not before a quote stay
        {"a\\\"b", {"a\"b"}},           // an odd number before a quote escapes it
        {"\"a\\\\\" b", {"a\\", "b"}},  // an even number before a quote halves
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
    }
}

class ProgramsRun : public ::testing::Test {
protected:
    std::string Script(const std::string& name, const std::string& text, bool executable)
    {
        const std::string path = folder.Write(name, text);
        chmod(path.c_str(), executable ? 0755 : 0644);
        return path;
    }
    kit::testing::ScratchFolder folder;
};

TEST_F(ProgramsRun, ReturnsTheExitCode)
{
    EXPECT_EQ(Executa_E_Aguarda("sh -c \"exit 3\"", 0), 3);
    EXPECT_EQ(Executa_E_Aguarda("true", 0), 0);
    const std::string script = Script("with blanks.sh", "#!/bin/sh\nexit 7\n", true);
    EXPECT_EQ(Executa_E_Aguarda("\"" + script + "\" ignored", 0), 7);
}

TEST_F(ProgramsRun, BatchFilesAndBareScriptsRunInTheShell)
{
    const std::string batch = Script("Executar.bat", "echo done > \"$(dirname \"$0\")/ran\"\nexit 4\n", false);
    EXPECT_EQ(Executa_E_Aguarda("\"" + batch + "\"", 0), 4);
    EXPECT_EQ(folder.Read("ran"), "done\n");
    const std::string bare = Script("bare", "exit 5\n", true);
    EXPECT_EQ(Executa_E_Aguarda(bare, 0), 5);
}

TEST_F(ProgramsRun, ProgramsThatCannotStartOrDoNotEndNormallyGiveMinusOne)
{
    EXPECT_EQ(Executa_E_Aguarda(folder.Path("missing"), 0), -1);
    EXPECT_EQ(Executa_E_Aguarda("no-such-program-anywhere", 0), -1);
    EXPECT_EQ(Executa_E_Aguarda(Script("not-executable", "#!/bin/sh\nexit 0\n", false), 0), -1);
    EXPECT_EQ(Executa_E_Aguarda("", 0), -1);
    EXPECT_EQ(Executa_E_Aguarda("sh -c \"kill -9 $$\"", 0), -1);
}

}  // namespace
}  // namespace torvik
