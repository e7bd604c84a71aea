// The lxra program that `./kit demo` runs: what it prints for a file and for a text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_program.h"
#include "scratch_folder.h"

namespace {

kit::testing::ProgramRun Lxra(const std::vector<std::string>& arguments)
{
    return kit::testing::RunProgram(LXRA_TOOL_PATH, arguments, {});
}

TEST(LxraTool, PrintsVersionLineCountAndNumberedLinesOfAFile)
{
    kit::testing::ScratchFolder dir;
    const std::string path = dir.Write("sample.txt", "first\r\n" + std::string(40, 'w') + "\n\nlast");
    const kit::testing::ProgramRun run = Lxra({"--window", "8", path});
    EXPECT_EQ(run.exitCode, 0);
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
    const kit::testing::ProgramRun run = Lxra({"--text", "one line"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "Lxra101 runtime 112402\ntext: 1 line\n     1  one line\n");
}

TEST(LxraTool, ReportsWhatItCannotDo)
{
    kit::testing::ScratchFolder dir;
    const kit::testing::ProgramRun missing = Lxra({dir.Path("missing.txt")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("lxra: cannot open '" + dir.Path("missing.txt") + "'"), std::string::npos);
    EXPECT_EQ(Lxra({}).exitCode, 2);
    EXPECT_EQ(Lxra({"--window", "0", "x"}).exitCode, 2);
    EXPECT_EQ(Lxra({"a", "b"}).exitCode, 2);
}

}  // namespace
