// The lxra program that `./kit demo` runs: what it prints for a file and for a text.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/temp_dir.h"

namespace {

struct ToolRun {
    int status;
    std::string output;
};

ToolRun Lxra(const std::string& arguments)
{
    const std::string command = std::string(LXRA_TOOL_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, ""};
    if (pipe == nullptr) {
        return run;
    }
    char chunk[256];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        run.output.append(chunk, n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(LxraTool, PrintsVersionLineCountAndNumberedLinesOfAFile)
{
    lxra::testing::TempDir dir;
    const std::string path = dir.Write("sample.txt", "first\r\n" + std::string(40, 'w') + "\n\nlast");
    const ToolRun run = Lxra("--window 8 " + path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "Lxra101 runtime 112402\n" + path + ": 4 lines\n" +
                              "     1  first\n"
                              "     2  " +
                              std::string(40, 'w') +
                              "\n"
                              "     3  \n"
                              "     4  last\n");
}

TEST(LxraTool, ReadsATextGivenOnTheCommandLine)
{
    const ToolRun run = Lxra("--text 'one line'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "Lxra101 runtime 112402\ntext: 1 line\n     1  one line\n");
}

TEST(LxraTool, ReportsWhatItCannotDo)
{
    lxra::testing::TempDir dir;
    const ToolRun missing = Lxra(dir.Path("missing.txt"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("lxra: cannot open '" + dir.Path("missing.txt") + "'"), std::string::npos);
    EXPECT_EQ(Lxra("").status, 2);
    EXPECT_EQ(Lxra("--window 0 x").status, 2);
    EXPECT_EQ(Lxra("a b").status, 2);
}

}  // namespace
