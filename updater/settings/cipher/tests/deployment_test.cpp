// The deployment built into the program, and the deployment file as both of its readers
// (CMake at configure time, the C++ reader of the encipher tool) take it.

#include "settings/cipher/deployment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"
#include "scratch_folder.h"
#include "settings/cipher/deployment_file.h"

namespace torvik {
namespace {

using kit::testing::ScratchFolder;
using namespace std::string_literals;

// CMake wraps long messages; compare them with every run of blanks as one space.
std::string OneLine(const std::string& text)
{
    std::string line;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\n';
        if (!blank || line.empty() || line.back() != ' ') {
            line.push_back(blank ? ' ' : c);
        }
    }
    return line;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(BuiltInDeployment, HoldsTheValuesOfTheDeploymentFile)
{
    const DeploymentFile file = ReadDeploymentFile(DEPLOYMENT_FILE);
    EXPECT_EQ(BuiltInDeployment().cipher, file.cipher);
    EXPECT_EQ(BuiltInDeployment().encipheredUserId, file.encipheredUserId);
    EXPECT_EQ(BuiltInDeployment().encipheredPassword, file.encipheredPassword);
    EXPECT_EQ(DeploymentPassPhrase(), file.passPhrase);
}

TEST(BuiltInDeployment, CredentialsDecipherToEightToFifteenCharacters)
{
    for (const std::string& enciphered :
         {BuiltInDeployment().encipheredUserId, BuiltInDeployment().encipheredPassword}) {
        EXPECT_EQ(enciphered.size(), 24u);
        const std::string plain = Decifra_Texto(enciphered);
        EXPECT_GE(plain.size(), 8u);
        EXPECT_LE(plain.size(), 15u);
    }
    EXPECT_NE(Decifra_Texto(BuiltInDeployment().encipheredUserId),
              Decifra_Texto(BuiltInDeployment().encipheredPassword));
}

TEST(BuiltInDeployment, ThePassPhraseIsNeverHeldInPlainBytes)
{
    const std::string passPhrase = DeploymentPassPhrase();
    ASSERT_EQ(passPhrase.size(), 16u);
    std::string complemented;
    for (const char c : passPhrase) {
        complemented.push_back(static_cast<char>(~c));
    }
    const std::string program = ReadBytes("/proc/self/exe");
    ASSERT_FALSE(program.empty());
    EXPECT_NE(program.find(complemented), std::string::npos);
    EXPECT_EQ(program.find(passPhrase), std::string::npos);
}

TEST(DecifraTexto, ReadsWhatTheDeploymentsToolsWrite)
{
    const CipherKind cipher = BuiltInDeployment().cipher;
    const std::string passPhrase = DeploymentPassPhrase();
    EXPECT_EQ(Decifra_Texto(EncipherText(cipher, passPhrase, "ftp.example.com")), "ftp.example.com");
    EXPECT_EQ(Decifra_Texto(EncipherText(cipher, passPhrase, "")), "");
    // A value written on Windows holds Windows-1252; inside the updater text is UTF-8.
    EXPECT_EQ(Decifra_Texto(EncipherText(cipher, passPhrase, std::string("Sa\xED") + "da")), "Saída");
    EXPECT_EQ(Decifra_Texto(EncipherText(cipher, passPhrase, "Saída")), "Saída");
    EXPECT_THROW(Decifra_Texto("not base64!"), CipherError);
    EXPECT_THROW(Decifra_Texto("AAAAAAAAAAAAAAAA"), CipherError);
}

// The C++ reader and the CMake script must agree on every file: a file the build takes
// is one the encipher tool takes, with the same pass phrase.
struct FileCase {
    const char* name;
    std::string text;
    bool valid;
    const char* message;  // part of the refusal
};

const char* const kUser = "Vt247GAvg6ZSwsqaCUTcxQ==";
const char* const kPassword = "SsL52GsOmYIbxpvwRkTcwg==";

std::string Credentials()
{
    return std::string("user_id = ") + kUser + "\npassword = " + kPassword + "\n";
}

std::vector<FileCase> FileCases()
{
    const std::string credentials = Credentials();
    return {
        {"plain", "cipher = lockbox\npass_phrase = Another site key\n" + credentials, true, ""},
        {"comments, blanks and CR LF",
         "# a site\r\n\r\n  cipher=blowfish  \r\n\t pass_phrase =\t;[x] ${HOME} \\n;\r\nuser_id=" + std::string(kUser) +
             "\r\n# password below\r\npassword=" + kPassword,
         true, ""},
        {"cipher defaults to lockbox", "pass_phrase = 0123456789abcdef\n" + credentials, true, ""},
        {"hexadecimal pass phrase with a blank inside",
         "pass_phrase_hex = 00FF7f80 0102030405060708090a0b0c\n" + credentials, false, "pass_phrase_hex must be 32"},
        {"hexadecimal pass phrase, joined", "pass_phrase_hex = 00FF7f800102030405060708090a0b0c\n" + credentials, true,
         ""},
        {"vertical tab and form feed are blanks", "pass_phrase =\v0123456789abcdef\f\n" + credentials, true, ""},
        {"missing pass phrase", credentials, false, "pass_phrase (or pass_phrase_hex) is missing"},
        {"missing user ID", std::string("pass_phrase = 0123456789abcdef\npassword = ") + kPassword, false,
         "user_id is missing"},
        {"missing password", std::string("pass_phrase = 0123456789abcdef\nuser_id = ") + kUser, false,
         "password is missing"},
        {"empty file", "", false, "is missing"},
        {"pass phrase of 15 bytes", "pass_phrase = 0123456789abcde\n" + credentials, false,
         "line 1: pass_phrase must be 16"},
        {"pass phrase of 17 bytes", "pass_phrase = 0123456789abcdefg\n" + credentials, false, "pass_phrase must be 16"},
        {"pass phrase with a non-ASCII byte", "pass_phrase = 0123456789abcd\xC3\xA9\n" + credentials, false,
         "pass_phrase must be 16"},
        {"hexadecimal pass phrase of 15 bytes", "pass_phrase_hex = 00112233445566778899aabbccddee\n" + credentials,
         false, "pass_phrase_hex must be 32"},
        {"hexadecimal pass phrase with a bad digit",
         "pass_phrase_hex = 00112233445566778899aabbccddeeGG\n" + credentials, false, "pass_phrase_hex must be 32"},
        {"both pass phrases",
         "pass_phrase = 0123456789abcdef\npass_phrase_hex = 00112233445566778899aabbccddeeff\n" + credentials, false,
         "line 2: give either pass_phrase or pass_phrase_hex"},
        {"unknown cipher", "cipher = aes\npass_phrase = 0123456789abcdef\n" + credentials, false,
         "line 1: unknown cipher \"aes\""},
        {"cipher in capitals", "cipher = LockBox\npass_phrase = 0123456789abcdef\n" + credentials, false,
         "unknown cipher"},
        {"unknown key", "pass_phrase = 0123456789abcdef\n" + credentials + "pasword = x\n", false,
         "line 4: unknown key \"pasword\""},
        {"key in capitals", "Pass_Phrase = 0123456789abcdef\n" + credentials, false, "unknown key"},
        {"repeated key", "pass_phrase = 0123456789abcdef\n" + credentials + "user_id = " + kUser + "\n", false,
         "line 4: \"user_id\" is given twice"},
        {"line without equals sign", "pass_phrase = 0123456789abcdef\ncipher lockbox\n" + credentials, false,
         "line 2: expected key = value"},
        {"credential of 32 bytes",
         "pass_phrase = 0123456789abcdef\nuser_id = " + std::string(kUser) + kUser + "\npassword = " + kPassword + "\n",
         false, "user_id must be 24 Base64"},
        {"credential with leftover bits",
         "pass_phrase = 0123456789abcdef\nuser_id = Vt247GAvg6ZSwsqaCUTcxR==\npassword = " + std::string(kPassword),
         false, "user_id must be 24 Base64"},
        {"credential outside the alphabet",
         "pass_phrase = 0123456789abcdef\nuser_id = " + std::string(kUser) + "\npassword = SsL52GsOm-IbxpvwRkTcwg==",
         false, "password must be 24 Base64"},
        {"NUL byte", "pass_phrase = 0123456789abcdef\n#\0\n"s + credentials, false, "NUL byte"},
    };
}

// The numbers of the generated list of complemented pass phrase bytes.
std::vector<int> GeneratedComplement(const std::string& source)
{
    const size_t open = source.find('{', source.find("kComplementedPassPhrase"));
    const size_t close = source.find('}', open);
    std::istringstream list(source.substr(open + 1, close - open - 1));
    std::vector<int> bytes;
    std::string number;
    while (std::getline(list, number, ',')) {
        bytes.push_back(std::stoi(number, nullptr, 16));
    }
    return bytes;
}

TEST(DeploymentFile, BothReadersTakeAndRefuseTheSameFiles)
{
    ScratchFolder scratch;
    for (const FileCase& c : FileCases()) {
        SCOPED_TRACE(c.name);
        const std::string file = scratch.Write("site.deployment", c.text);
        const std::string source = scratch.Path("built_in_deployment.cpp");
        std::filesystem::remove(source);
        const auto run = kit::testing::RunProgram(
            CMAKE_PATH, {"-D", "DEPLOYMENT_FILE=" + file, "-D", "OUTPUT_FILE=" + source, "-P", DEPLOYMENT_SCRIPT},
            {{"PATH", "/usr/bin:/bin"}});
        if (!c.valid) {
            std::string message;
            try {
                ReadDeploymentFile(file);
                ADD_FAILURE() << "the C++ reader took it";
            } catch (const DeploymentFileError& error) {
                message = error.what();
            }
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
            EXPECT_NE(message.find("Deployment file " + file + ": "), std::string::npos) << message;
            EXPECT_NE(run.exitCode, 0);
            EXPECT_NE(OneLine(run.errors).find("Deployment file " + file + ": "), std::string::npos) << run.errors;
            EXPECT_NE(OneLine(run.errors).find(c.message), std::string::npos) << run.errors;
            EXPECT_FALSE(std::filesystem::exists(source));
            continue;
        }
        const DeploymentFile parsed = ParseDeploymentFile(c.text);
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        const std::string generated = scratch.Read("built_in_deployment.cpp");
        std::vector<int> expected;
        for (const char byte : parsed.passPhrase) {
            expected.push_back(static_cast<uint8_t>(~byte));
        }
        EXPECT_EQ(GeneratedComplement(generated), expected);
        EXPECT_NE(
            generated.find(parsed.cipher == CipherKind::LockBox ? "CipherKind::LockBox;" : "CipherKind::Blowfish;"),
            std::string::npos);
        EXPECT_NE(generated.find(std::string("kEncipheredUserId[] = \"") + parsed.encipheredUserId + "\""),
                  std::string::npos);
        EXPECT_NE(generated.find(std::string("kEncipheredPassword[] = \"") + parsed.encipheredPassword + "\""),
                  std::string::npos);
    }
}

TEST(DeploymentFile, ReadsValuesAsWritten)
{
    const DeploymentFile file = ParseDeploymentFile(FileCases()[1].text);
    EXPECT_EQ(file.cipher, CipherKind::Blowfish);
    EXPECT_EQ(file.passPhrase, ";[x] ${HOME} \\n;");
    EXPECT_EQ(file.encipheredUserId, kUser);
    EXPECT_EQ(file.encipheredPassword, kPassword);
    EXPECT_EQ(ParseDeploymentFile(FileCases()[2].text).cipher, CipherKind::LockBox);
    EXPECT_EQ(ParseDeploymentFile(FileCases()[4].text).passPhrase,
              std::string("\x00\xFF\x7F\x80\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C", 16));
}

TEST(DeploymentFile, MissingFileIsNamed)
{
    ScratchFolder scratch;
    try {
        ReadDeploymentFile(scratch.Path("absent.deployment"));
        FAIL() << "an absent file was read";
    } catch (const DeploymentFileError& error) {
        EXPECT_NE(std::string(error.what()).find("absent.deployment: not found"), std::string::npos);
    }
    EXPECT_THROW(ReadDeploymentFile(scratch.Folder()), DeploymentFileError);
    EXPECT_THROW(ReadDeploymentFile(scratch.Write("big.deployment", std::string(70000, '#'))), DeploymentFileError);
}

}  // namespace
}  // namespace torvik
