// torvik-pack as deployments run it: a folder packed and restored byte for byte with its
// dates, the listing, volumes, and the command line's errors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "restore_fixture.h"
#include "run_program.h"

namespace torvik::package::testing {
namespace {

using kit::testing::ProgramRun;
using kit::testing::RunProgram;

ProgramRun Pack(const std::vector<std::string>& arguments)
{
    return RunProgram(TORVIK_PACK_PATH, arguments, {});
}

class TorvikPack : public RestoreTest {
protected:
    // A folder with text, binary, empty and nested files, each with its own date (odd
    // seconds included: the package keeps two-second steps).
    void SetUp() override
    {
        files = {
            {"Sistema/Vendas.exe", RandomBytes(70000, 11), LocalTime(2023, 4, 5, 6, 7, 8)},
            {"Sistema/leia-me.txt", SampleText(100000, 12), LocalTime(2020, 1, 31, 23, 59, 58)},
            {"Sistema/vazio.cfg", "", LocalTime(1999, 12, 31, 0, 0, 1)},
            {"Sistema/dados/tabelas/precos.dat", SampleText(16384, 13), LocalTime(2010, 6, 1, 12, 0, 0)},
        };
        for (const SourceFile& file : files) {
            scratch.Write(file.path, file.data);
            SetModificationTime(scratch.Path(file.path), file.time);
        }
    }

    struct SourceFile {
        std::string path;
        std::string data;
        time_t time;
    };
    std::vector<SourceFile> files;
};

TEST_F(TorvikPack, CreateThenRestoreWithFullPathsGivesTheFolderBackWithItsDates)
{
    const ProgramRun created = Pack({"create", "--level", "max", scratch.Path("s.pkg"), scratch.Path("Sistema")});
    ASSERT_EQ(created.exitCode, 0) << created.errors;
    EXPECT_NE(created.errors.find("100%"), std::string::npos) << created.errors;

    const ProgramRun restored = Pack({"restore", "--full-paths", scratch.Path("s.pkg"), scratch.Path("out")});
    ASSERT_EQ(restored.exitCode, 0) << restored.errors;
    EXPECT_NE(restored.errors.find("4 files restored"), std::string::npos) << restored.errors;
    for (const SourceFile& file : files) {
        SCOPED_TRACE(file.path);
        const std::string copy = scratch.Path("out/" + file.path);
        EXPECT_TRUE(Read(copy) == file.data);
        EXPECT_EQ(ModificationTime(copy), file.time - file.time % 2);
    }
}

TEST_F(TorvikPack, RestoreWithoutFullPathsPutsEveryFileInTheFolder)
{
    ASSERT_EQ(Pack({"create", scratch.Path("s.pkg"), scratch.Path("Sistema/Vendas.exe"), scratch.Path("Sistema/dados")})
                  .exitCode,
              0);
    const ProgramRun restored = Pack({"restore", scratch.Path("s.pkg"), scratch.Path("flat")});
    ASSERT_EQ(restored.exitCode, 0) << restored.errors;
    EXPECT_TRUE(Read(scratch.Path("flat/Vendas.exe")) == files[0].data);
    EXPECT_TRUE(Read(scratch.Path("flat/precos.dat")) == files[3].data);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.Path("flat")), {}), 2);
}

TEST_F(TorvikPack, ListShowsNamesDatesAndSizes)
{
    ASSERT_EQ(Pack({"create", scratch.Path("s.pkg"), scratch.Path("Sistema")}).exitCode, 0);
    const ProgramRun listed = Pack({"list", scratch.Path("s.pkg")});
    ASSERT_EQ(listed.exitCode, 0) << listed.errors;
    EXPECT_EQ(listed.output,
              "2023-04-05 06:07:08        70000  C:\\Sistema\\Vendas.exe\n"
              "2010-06-01 12:00:00        16384  C:\\Sistema\\dados\\tabelas\\precos.dat\n"
              "2020-01-31 23:59:58       100000  C:\\Sistema\\leia-me.txt\n"
              "1999-12-31 00:00:00            0  C:\\Sistema\\vazio.cfg\n" +
                  listed.output.substr(listed.output.find("4 files, 186384 bytes, ")));
    EXPECT_NE(listed.output.find(", 1 volume\n"), std::string::npos);
}

TEST_F(TorvikPack, MaxSizeSplitsIntoVolumesThatRestoreFollows)
{
    ASSERT_EQ(
        Pack({"create", "--max-size=64K", "--level", "none", scratch.Path("s.pkg"), scratch.Path("Sistema")}).exitCode,
        0);
    EXPECT_TRUE(Exists(scratch.Path("s.002")));
    EXPECT_TRUE(Exists(scratch.Path("s.003")));
    const ProgramRun listed = Pack({"list", scratch.Path("s.pkg")});
    EXPECT_NE(listed.output.find("4 files, 186384 bytes, 186384 packed, "), std::string::npos) << listed.output;

    ASSERT_EQ(Pack({"restore", "--full-paths", scratch.Path("s.pkg"), scratch.Path("out")}).exitCode, 0);
    for (const SourceFile& file : files) {
        EXPECT_TRUE(Read(scratch.Path("out/" + file.path)) == file.data) << file.path;
    }

    std::filesystem::remove(scratch.Path("s.003"));
    const ProgramRun missing = Pack({"restore", scratch.Path("s.pkg"), scratch.Path("out2")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("volume " + scratch.Path("s.003") + " is missing"), std::string::npos)
        << missing.errors;
}

TEST_F(TorvikPack, RestoreModeLeavesNewerFilesAlone)
{
    ASSERT_EQ(Pack({"create", scratch.Path("s.pkg"), scratch.Path("Sistema")}).exitCode, 0);
    scratch.Write("out/Sistema/leia-me.txt", "edited later");
    SetModificationTime(scratch.Path("out/Sistema/leia-me.txt"), LocalTime(2024, 1, 1, 0, 0, 0));
    ASSERT_EQ(Pack({"restore", "--full-paths", "--mode", "newer", scratch.Path("s.pkg"), scratch.Path("out")}).exitCode,
              0);
    EXPECT_EQ(Read(scratch.Path("out/Sistema/leia-me.txt")), "edited later");
    EXPECT_TRUE(Read(scratch.Path("out/Sistema/Vendas.exe")) == files[0].data);
}

TEST_F(TorvikPack, FailuresAndWrongCommandLinesHaveTheirExitCodes)
{
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string message;
    };
    scratch.Write("damaged.pkg", PackageBuilder().Header(10).Entry("C:\\x", 0).Tag().Chunk(10, "xx").Bytes());
    const Case cases[] = {
        {{}, 2, "no command"},
        {{"explode"}, 2, "unknown command"},
        {{"create", scratch.Path("s.pkg")}, 2, "at least one file"},
        {{"create", "--level", "ultra", scratch.Path("s.pkg"), scratch.Path("Sistema")}, 2, "--level"},
        {{"create", "--max-size", "1000", scratch.Path("s.pkg"), scratch.Path("Sistema")}, 2, "--max-size"},
        {{"create", scratch.Path("s.pkg"), scratch.Path("absent")}, 1, "no such file or folder"},
        {{"create", scratch.Path("s.pkg"), scratch.Path("Sistema/vazio.cfg"), scratch.Path("Sistema/vazio.cfg")},
         1,
         "two files would be stored as C:\\vazio.cfg"},
        {{"create", scratch.Path("no/folder/s.pkg"), scratch.Path("Sistema")}, 1, "Cannot write to archive"},
        {{"restore", scratch.Path("s.pkg")}, 2, "a package and a folder"},
        {{"restore", "--mode", "sometimes", scratch.Path("s.pkg"), scratch.Path("out")}, 2, "--mode"},
        {{"restore", "--fast", scratch.Path("s.pkg"), scratch.Path("out")}, 2, "unknown option --fast"},
        {{"restore", scratch.Path("absent.pkg"), scratch.Path("out")}, 1, "no such file"},
        {{"restore", scratch.Path("damaged.pkg"), scratch.Path("out")}, 1, "Cannot read archive"},
        {{"list", scratch.Path("damaged.pkg")}, 1, "Cannot read archive"},
        {{"list", scratch.Path("absent.pkg")}, 1, "Cannot open file"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& argument : c.arguments) {
            line += argument + " ";
        }
        SCOPED_TRACE(line);
        const ProgramRun run = Pack(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.errors;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
    EXPECT_FALSE(Exists(scratch.Path("s.pkg")));
    EXPECT_FALSE(Exists(scratch.Path("out/x")));
}

}  // namespace
}  // namespace torvik::package::testing
