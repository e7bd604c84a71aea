// The encipher program as a deployment runs it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_program.h"
#include "scratch_folder.h"
#include "settings/cipher/deployment.h"
#include "settings/cipher/text_cipher.h"

namespace torvik {
namespace {

using kit::testing::ProgramRun;
using kit::testing::ScratchFolder;

ProgramRun Encipher(const std::vector<std::string>& arguments)
{
    return kit::testing::RunProgram(ENCIPHER_PATH, arguments, {});
}

// Standard input from a file, through the shell.
ProgramRun EncipherLines(const std::vector<std::string>& arguments, const std::string& inputFile)
{
    std::vector<std::string> shellArguments = {"-c", "\"$0\" \"$@\" < \"$INPUT\"", ENCIPHER_PATH};
    shellArguments.insert(shellArguments.end(), arguments.begin(), arguments.end());
    return kit::testing::RunProgram("/bin/sh", shellArguments, {{"INPUT", inputFile}});
}

TEST(EncipherProgram, GivesBackTheBuiltInCredentialsFromTheDeploymentFile)
{
    const std::string user = Decifra_Texto(BuiltInDeployment().encipheredUserId);
    const std::string password = Decifra_Texto(BuiltInDeployment().encipheredPassword);
    const ProgramRun run = Encipher({"--deployment", DEPLOYMENT_FILE, user, password});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.output, BuiltInDeployment().encipheredUserId + "\n" + BuiltInDeployment().encipheredPassword + "\n");
    EXPECT_EQ(run.errors, "");
}

TEST(EncipherProgram, EnciphersEachLineOfStandardInput)
{
    ScratchFolder scratch;
    const std::string input = scratch.Write("values.txt", "ftp.example.com\r\n\nsenha do FTP\nlast line");
    const ProgramRun run = EncipherLines({"--cipher", "blowfish", "--pass-phrase", "Other site key 1"}, input);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::vector<std::string> plains = {"ftp.example.com", "", "senha do FTP", "last line"};
    std::string expected;
    for (const std::string& plain : plains) {
        expected += EncipherText(CipherKind::Blowfish, "Other site key 1", plain) + "\n";
    }
    EXPECT_EQ(run.output, expected);

    const ProgramRun empty = EncipherLines({"--pass-phrase", "Other site key 1"}, scratch.Write("empty.txt", ""));
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.output, "");
}

TEST(EncipherProgram, UsesLockBoxUnlessToldOtherwise)
{
    const ProgramRun run = Encipher({"--pass-phrase", "Other site key 1", "--", "--cipher"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.output, EncipherText(CipherKind::LockBox, "Other site key 1", "--cipher") + "\n");
    EXPECT_EQ(DecipherText(CipherKind::LockBox, "Other site key 1", run.output), "--cipher");
}

TEST(EncipherProgram, RefusesWrongUsageWithExitCodeTwo)
{
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{}, "give either --deployment or --pass-phrase"},
        {{"text"}, "give either --deployment or --pass-phrase"},
        {{"--deployment", DEPLOYMENT_FILE, "--pass-phrase", "Other site key 1", "x"}, "give either"},
        {{"--pass-phrase"}, "--pass-phrase needs a value"},
        {{"--pass-phrase", "Other site key 1", "--cipher"}, "--cipher needs a value"},
        {{"--pass-phrase", "Other site key 1", "--cipher", "aes", "x"}, "unknown cipher \"aes\""},
        {{"--pass-phrase", "short", "x"}, "the pass phrase must be 16 bytes, not 5"},
        {{"--pass-phrase", "Other site key 1", "--pass-phrase", "Other site key 2", "x"}, "given twice"},
        {{"--deployment", DEPLOYMENT_FILE, "--cipher", "blowfish", "x"}, "--cipher cannot be given with --deployment"},
        {{"--pass-phrase", "Other site key 1", "--verbose", "x"}, "unknown option --verbose"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const ProgramRun run = Encipher(c.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_NE(run.errors.find("usage: encipher"), std::string::npos);
    }
    const ProgramRun help = Encipher({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("usage: encipher", 0), 0u);
}

TEST(EncipherProgram, ABadDeploymentFileFailsWithExitCodeOne)
{
    ScratchFolder scratch;
    const std::string malformed = scratch.Write("site.deployment", "cipher = lockbox\npass_phrase = too short\n");
    const struct {
        std::string file;
        const char* message;
    } cases[] = {
        {scratch.Path("absent.deployment"), "absent.deployment: not found"},
        {malformed, "site.deployment: line 2: pass_phrase must be 16"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const ProgramRun run = Encipher({"--deployment", c.file, "x"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
}

}  // namespace
}  // namespace torvik
