#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/updater_error.h"
#include "scratch_folder.h"
#include "settings/ini_document.h"

namespace torvik {
namespace {

using kit::testing::ScratchFolder;

const char* const kSettings =
    "; settings of the Vendas workstation\r\n"
    "orphan=before any section\r\n"
    "[Conexao Default]\r\n"
    "  servidor = SRV01  \r\n"
    "banco de dados=\"Vendas Matriz\"\r\n"
    "vazio=\r\n"
    "semvalor\r\n"
    "servidor=second wins never\r\n"
    "\r\n"
    "[conexao default]\r\n"
    "usuario=from the second section\r\n"
    "[Componentes]\n"
    "Vendas.exe=01.002.00345\n";

TEST(IniDocument, ReadsLikeAWindowsProfileFile)
{
    const IniDocument ini(kSettings);
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"Conexao Default", "servidor", "SRV01"},                // spaces around key and value
        {"CONEXAO DEFAULT", "SERVIDOR", "SRV01"},                // no letter case
        {"Conexao Default", "banco de dados", "Vendas Matriz"},  // quotes removed
        {"Conexao Default", "vazio", ""},
        {"Conexao Default", "semvalor", ""},
        {"Conexao Default", "usuario", "(default)"},    // only the first section of a name counts
        {"Componentes", "vendas.EXE", "01.002.00345"},  // LF line breaks
        {"Componentes", "absent", "(default)"},
        {"Absent", "servidor", "(default)"},
        {"", "orphan", "(default)"},  // keys before any section belong to none
        {"Conexao Default", "; settings of the Vendas workstation", "(default)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "(default)"), c.value);
    }
    EXPECT_TRUE(ini.SectionExists("componentes"));
    EXPECT_FALSE(ini.SectionExists("Conexao Binarios"));
    EXPECT_TRUE(ini.ValueExists("Conexao Default", "semvalor"));
    EXPECT_FALSE(ini.ValueExists("Conexao Default", "usuario"));
}

TEST(IniDocument, ReadsWindows1252AndUtf8Files)
{
    const IniDocument windows(
        "[Conex\xE3o]\r\nA\xE7\xE3o=Sa\xED"
        "da \x80 5\r\n");
    EXPECT_EQ(windows.ReadString("CONEXÃO", "AÇÃO"), "Saída € 5");
    const IniDocument utf8("\xEF\xBB\xBF[Conexão]\r\nação=saída\r\n");
    EXPECT_EQ(utf8.ReadString("Conexão", "Ação"), "saída");
}

TEST(IniDocument, WritingChangesOnlyTheLineConcerned)
{
    struct Case {
        const char* name;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    };
    const Case cases[] = {
        {"existing key keeps its spelling", "[A]\r\n  Chave = velho ; x\r\nz=1\r\n", "a", "CHAVE", "novo",
         "[A]\r\n  Chave =novo\r\nz=1\r\n"},
        {"key without a value", "[A]\r\nk\r\n", "A", "k", "v", "[A]\r\nk=v\r\n"},
        {"new key after the section's last line", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A", "n", "3",
         "[A]\r\nx=1\r\nn=3\r\n\r\n[B]\r\ny=2\r\n"},
        {"new key in an empty last section", "[A]\r\nx=1\r\n[B]", "B", "n", "3", "[A]\r\nx=1\r\n[B]\r\nn=3\r\n"},
        {"last line ending in a lone carriage return", "[A]\r\nx=1\r", "A", "n", "3", "[A]\r\nx=1\r\nn=3\r\n"},
        {"new section at the end", "[A]\r\nx=1", "Componentes", "Vendas.exe", "00.000.00000",
         "[A]\r\nx=1\r\n[Componentes]\r\nVendas.exe=00.000.00000\r\n"},
        {"line feeds stay line feeds", "[A]\nx=1\n", "B", "y", "2", "[A]\nx=1\n[B]\ny=2\n"},
        {"empty file", "", "Componentes", "a.dll", "01.000.00001", "[Componentes]\r\na.dll=01.000.00001\r\n"},
        {"Windows-1252 stays Windows-1252", "[A]\r\nn=Jo\xE3o\r\n", "A", "m", "Ação",
         "[A]\r\nn=Jo\xE3o\r\nm=A\xE7\xE3o\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IniDocument ini(c.before);
        ASSERT_TRUE(ini.WriteString(c.section, c.key, c.value));
        EXPECT_EQ(ini.Bytes(), c.after);
        EXPECT_EQ(ini.ReadString(c.section, c.key), c.value);
    }
}

TEST(IniDocument, AWindows1252FileTooSmallForTheNewTextBecomesUtf8)
{
    IniDocument ini("[A]\r\nn=Jo\xE3o\r\n");
    ASSERT_TRUE(ini.WriteString("A", "m", "東京"));
    EXPECT_EQ(ini.Bytes(), "[A]\r\nn=João\r\nm=東京\r\n");
    EXPECT_EQ(IniDocument(ini.Bytes()).ReadString("A", "n"), "João");
}

TEST(IniDocument, RefusesNamesAndValuesThatWouldBreakTheFile)
{
    const std::string before = "[A]\r\nx=1\r\n";
    const char* const refused[][3] = {
        {"", "k", "v"},    {"A", "", "v"},    {"A", "  ", "v"}, {"A]", "k", "v"},       {"A\nB", "k", "v"},
        {"A", "k=1", "v"}, {"A", "[k]", "v"}, {"A", ";k", "v"}, {"A", "k", "v\r\n[B]"}, {"A", "k", "Jo\xE3o"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(std::string(r[0]) + "|" + r[1] + "|" + r[2]);
        IniDocument ini(before);
        EXPECT_FALSE(ini.WriteString(r[0], r[1], r[2]));
        EXPECT_EQ(ini.Bytes(), before);
    }
}

TEST(IniFile, CreatesTheFileAndReadsItBack)
{
    ScratchFolder folder;
    IniFile ini(folder.Path("Vendas.ini"));
    EXPECT_EQ(ini.ReadString("Componentes", "Vendas.exe", "none"), "none");
    EXPECT_FALSE(ini.SectionExists("Componentes"));
    ini.WriteString("Componentes", "Vendas.exe", "00.000.00000");
    ini.WriteString("Componentes", "Vendas.exe", "01.002.00345");
    EXPECT_EQ(folder.Read("Vendas.ini"), "[Componentes]\r\nVendas.exe=01.002.00345\r\n");
    EXPECT_EQ(IniFile(folder.Path("Vendas.ini")).ReadString("componentes", "VENDAS.EXE"), "01.002.00345");
}

TEST(IniFile, SeesChangesMadeByOthersAndKeepsTheFilesMode)
{
    ScratchFolder folder;
    const std::string path = folder.Write("Vendas.ini", "[A]\r\nx=1\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("A", "x"), "1");
    folder.Write("Vendas.ini", "[A]\r\nx=2\r\n");
    EXPECT_EQ(ini.ReadString("A", "x"), "2");
    ini.WriteString("A", "y", "3");
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST(IniFile, FailuresToWriteAreErrors)
{
    ScratchFolder folder;
    IniFile nowhere(folder.Path("missing/Vendas.ini"));
    try {
        nowhere.WriteString("A", "k", "v");
        FAIL() << "writing into a missing folder succeeded";
    } catch (const UpdaterError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + folder.Path("missing/Vendas.ini"));
    }
    IniFile ini(folder.Write("Vendas.ini", "[A]\r\n"));
    EXPECT_THROW(ini.WriteString("A", "k=1", "v"), UpdaterError);
    EXPECT_EQ(folder.Read("Vendas.ini"), "[A]\r\n");
}

}  // namespace
}  // namespace torvik
