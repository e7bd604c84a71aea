#include "settings/registry/registry_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvik {
namespace {

// The keys in a compact form that shows names as spelled and the order of everything:
// "[path]" for each key (the root only when it has values), then its values.
void Dump(const RegistryKey& key, const std::string& path, bool root, std::string& out)
{
    if (!root || !key.Values().empty()) {
        out += "[" + path + "]\n";
        for (const RegistryValue& value : key.Values()) {
            out += value.name.empty() ? std::string("@") : "\"" + value.name + "\"";
            out += value.isString ? "=\"" + value.data + "\"\n" : "=" + value.data + "\n";
        }
    }
    for (const auto& subkey : key.Subkeys()) {
        Dump(*subkey, path.empty() ? subkey->Name() : path + "\\" + subkey->Name(), false, out);
    }
}

std::string Dump(const RegistryKey& keys)
{
    std::string out;
    Dump(keys, "", true, out);
    return out;
}

RegistryKey Keys(const RegistryText& text, RegistryRoot root)
{
    RegistryKey keys;
    ApplyRegistryChanges(text.changes, root, keys);
    return keys;
}

std::vector<size_t> ProblemLines(const RegistryText& text)
{
    std::vector<size_t> lines;
    for (const RegistryProblem& problem : text.problems) {
        lines.push_back(problem.line);
    }
    return lines;
}

std::string Utf16LittleEndian(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

const std::string kHeader = "Windows Registry Editor Version 5.00\r\n";

TEST(RegistryText, ReadsKeysAndValues)
{
    struct Case {
        const char* name;
        std::string input;
        std::string user;
        std::string machine = "";
        std::vector<size_t> problemLines = {};
    };
    const Case cases[] = {
        {"strings with escapes",
         kHeader + "\r\n"
                   "[HKEY_CURRENT_USER\\Software\\TORVIK\\Vendas\\Conexao Default]\r\n"
                   "\"Servidor\"=\"SRV01\"\r\n"
                   "\"Banco de Dados\"=\"Vendas\"\r\n"
                   "\"Caminho\"=\"C:\\\\Dados\\\\\\\"novo\\\"\"\r\n"
                   "  \"Com espaços\" = \"a = b ; c\"  \r\n",
         "[Software]\n[Software\\TORVIK]\n[Software\\TORVIK\\Vendas]\n[Software\\TORVIK\\Vendas\\Conexao Default]\n"
         "\"Servidor\"=\"SRV01\"\n\"Banco de Dados\"=\"Vendas\"\n\"Caminho\"=\"C:\\Dados\\\"novo\"\"\n"
         "\"Com espaços\"=\"a = b ; c\"\n"},
        {"default value, and a name set again keeps its first spelling and place",
         kHeader + "[HKCU\\A]\r\n@=\"padrão\"\r\n\"Nome\"=\"1\"\r\n\"\"=\"vazio\"\r\n\"NOME\"=\"2\"\r\n",
         "[A]\n@=\"vazio\"\n\"Nome\"=\"2\"\n"},
        {"key and value deletions",
         kHeader + "[HKEY_CURRENT_USER\\A\\B\\C]\r\n\"x\"=\"1\"\r\n"
                   "[HKEY_CURRENT_USER\\A]\r\n\"y\"=\"2\"\r\n\"z\"=\"3\"\r\n\"Y\"=-\r\n\"absent\"=-\r\n"
                   "[-HKEY_CURRENT_USER\\a\\b]\r\n[-HKEY_CURRENT_USER\\A\\Missing]\r\n"
                   "[HKCU\\A\\D]\r\n@=\"d\"\r\n@=-\r\n",
         "[A]\n\"z\"=\"3\"\n[A\\D]\n"},
        {"REGEDIT4, abbreviated roots, LF line breaks and both roots",
         "REGEDIT4\n\n[HKLM\\Software\\TORVIK]\n\"Servidor\"=\"M\"\n[hkey_current_user\\Software]\n\"U\"=\"1\"\n",
         "[Software]\n\"U\"=\"1\"\n", "[Software]\n[Software\\TORVIK]\n\"Servidor\"=\"M\"\n"},
        {"mixed line breaks and no final line break",
         "\n  Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\n\"a\"=\"1\"\r\n\r\n\"b\"=\"2\"",
         "[A]\n\"a\"=\"1\"\n\"b\"=\"2\"\n"},
        {"Windows-1252 text",
         kHeader + "[HKEY_CURRENT_USER\\Conex\xE3o]\r\n\"A\xE7\xE3o\"=\"Sa\xED" + "da \x80 5\"\r\n",
         "[Conexão]\n\"Ação\"=\"Saída € 5\"\n"},
        {"UTF-8 with a byte order mark",
         "\xEF\xBB\xBF" + kHeader + "[HKEY_CURRENT_USER\\Conexão]\r\n\"Ação\"=\"€\"\r\n",
         "[Conexão]\n\"Ação\"=\"€\"\n"},
        {"UTF-16 with a byte order mark",
         Utf16LittleEndian(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Conexão]\r\n"
                           u"\"Ação\"=\"€\"\r\n"),
         "[Conexão]\n\"Ação\"=\"€\"\n"},
        {"values of other types are kept in one spelling",
         kHeader + "[HKCU\\T]\r\n\"n\"=DWORD:2A\r\n\"raw\"=hex:01,Ab,\\\r\n  ff, 0\r\n"
                   "\"exp\"=hex(0002):41,00,00,00\r\n\"empty\"=hex:\r\n\"after\"=\"ok\"\r\n",
         "[T]\n\"n\"=dword:0000002a\n\"raw\"=hex:01,ab,ff,00\n\"exp\"=hex(2):41,00,00,00\n\"empty\"=hex:\n"
         "\"after\"=\"ok\"\n"},
        {"comments, blank lines and names that look like syntax",
         kHeader + "; a comment\r\n\t\r\n[HKEY_CURRENT_USER\\A]B\\ C ]\r\n  ; [HKEY_CURRENT_USER\\Not]\r\n"
                   "\"@\"=\"at\"\r\n\"x=y\"=\"[z]\"\r\n\"-\"=\"-\"\r\n",
         "[A]B]\n[A]B\\ C ]\n\"@\"=\"at\"\n\"x=y\"=\"[z]\"\n\"-\"=\"-\"\n"},
        {"refused lines are skipped and counted",
         kHeader +                                    // 1
             "[HKEY_CURRENT_USER\\Bom]\r\n"           // 2
             "\"a\"=\"1\"\r\n"                        // 3
             "\"b\"=\"sem fim\r\n"                    // 4
             "\"c\"=\"x\\n\"\r\n"                     // 5
             "\"d\"\r\n"                              // 6
             "valor solto\r\n"                        // 7
             "[HKEY_CLASSES_ROOT\\X]\r\n"             // 8
             "\"e\"=\"after a refused key\"\r\n"      // 9
             "[HKEY_CURRENT_USER\\Bom\\\\Duplo]\r\n"  // 10
             "[HKEY_CURRENT_USER\\Sem fim\r\n"        // 11
             "[-HKEY_CURRENT_USER]\r\n"               // 12
             "[HKEY_CURRENT_USER\\Bom]\r\n"           // 13
             "\"f\"=dword:123456789\r\n"              // 14
             "\"g\"=hex:1,2,\r\n"                     // 15
             "\"h\"=\"ok\" trailing\r\n"              // 16
             "\"i\"=\r\n"                             // 17
             "\"j\"=sz:text\r\n"                      // 18
             "\"k\"=hex(x):00\r\n"                    // 19
             "[HKEY_CURRENT_USER\\Bom\\]\r\n"         // 20
             "[-HKEY_CURRENT_USER\\Bom\\Nada]\r\n"    // 21
             "\"l\"=\"after a key deletion\"\r\n"     // 22
             "[HKEY_CURRENT_USER\\Bom]\r\n"           // 23
             "\"m\"=hex:01,\\\r\n"                    // 24
             "  02\r\n"                               // 25
             "\"n\"=\"2\"\r\n"                        // 26
             "\"o\"=hex:01,\\\r\n",                   // 27
         "[Bom]\n\"a\"=\"1\"\n\"m\"=hex:01,02\n\"n\"=\"2\"\n",
         "",
         {4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 22, 27}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RegistryText text = ReadRegistryText(c.input);
        EXPECT_TRUE(text.recognised);
        EXPECT_EQ(ProblemLines(text), c.problemLines);
        EXPECT_EQ(Dump(Keys(text, RegistryRoot::CurrentUser)), c.user);
        EXPECT_EQ(Dump(Keys(text, RegistryRoot::LocalMachine)), c.machine);
    }
}

TEST(RegistryText, ReportsWhyALineWasRefused)
{
    const RegistryText text = ReadRegistryText(kHeader +
                                               "[HKEY_CLASSES_ROOT\\X]\r\n"
                                               "[HKEY_CURRENT_USER\\A]\r\n"
                                               "\"c\"=\"x\\n\"\r\n"
                                               "\"b\"=\"sem fim\r\n"
                                               "\"f\"=dword:123456789\r\n");
    ASSERT_EQ(text.problems.size(), 4u);
    EXPECT_NE(text.problems[0].reason.find("HKEY_CLASSES_ROOT"), std::string::npos);
    EXPECT_NE(text.problems[1].reason.find("escape"), std::string::npos);
    EXPECT_NE(text.problems[2].reason.find("closing quotation mark"), std::string::npos);
    EXPECT_NE(text.problems[3].reason.find("dword"), std::string::npos);
}

TEST(RegistryText, RefusesFilesWithoutAKnownHeader)
{
    const std::string inputs[] = {
        "",
        "\r\n\r\n",
        "[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"1\"\r\n",
        "; comment\r\n" + kHeader + "[HKEY_CURRENT_USER\\A]\r\n",
        "Windows Registry Editor Version 4.00\r\n[HKEY_CURRENT_USER\\A]\r\n",
        "REGEDIT5\n[HKEY_CURRENT_USER\\A]\n",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        const RegistryText text = ReadRegistryText(input);
        EXPECT_FALSE(text.recognised);
        EXPECT_TRUE(text.changes.empty());
        ASSERT_EQ(text.problems.size(), 1u);
        EXPECT_NE(text.problems[0].reason.find("not a registry file"), std::string::npos);
    }
}

TEST(RegistryText, RefusesKeyPathsDeeperThanWindowsAllows)
{
    auto keyLine = [](size_t depth) {
        std::string line = "[HKEY_CURRENT_USER";
        for (size_t i = 0; i < depth; ++i) {
            line += "\\k";
        }
        return line + "]\r\n";
    };
    const RegistryText deepest = ReadRegistryText(kHeader + keyLine(kMaxKeyDepth));
    EXPECT_TRUE(deepest.problems.empty());
    const RegistryText tooDeep = ReadRegistryText(kHeader + keyLine(kMaxKeyDepth + 1));
    EXPECT_EQ(ProblemLines(tooDeep), std::vector<size_t>{2});
    EXPECT_TRUE(tooDeep.changes.empty());
}

TEST(RegistryText, WritesWhatItReadsBack)
{
    RegistryKey keys;
    keys.SetValue("", "root default", true);
    RegistryKey& conexao =
        keys.AddSubkey("Software").AddSubkey("TORVIK").AddSubkey("Vendas").AddSubkey("Conexao Default");
    conexao.SetValue("Servidor", "SRV\\01 \"principal\"", true);
    conexao.SetValue("Banco de Dados", "", true);
    conexao.SetValue("@", "a value named @", true);
    conexao.SetValue("", "default", true);
    conexao.SetValue("Contagem", "dword:0000002a", false);
    keys.AddSubkey("Vazia");
    RegistryKey& odd = keys.AddSubkey(" Conexão ]x[ ");
    odd.SetValue("Ação\t;", "Saída € ; [x] = \"y\"\\", true);
    odd.AddSubkey("-Filha");

    const std::string written = WriteRegistryText(RegistryRoot::CurrentUser, keys);
    const RegistryText text = ReadRegistryText(written);
    EXPECT_TRUE(text.recognised);
    EXPECT_TRUE(text.problems.empty());
    const RegistryKey reread = Keys(text, RegistryRoot::CurrentUser);
    EXPECT_EQ(Dump(reread), Dump(keys));
    EXPECT_TRUE(reread == keys);
    EXPECT_EQ(WriteRegistryText(RegistryRoot::CurrentUser, reread), written);
    EXPECT_TRUE(Keys(text, RegistryRoot::LocalMachine).Subkeys().empty());

    RegistryKey machine;
    machine.AddSubkey("Software").SetValue("Servidor", "M", true);
    EXPECT_EQ(WriteRegistryText(RegistryRoot::LocalMachine, machine),
              "Windows Registry Editor Version 5.00\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\Software]\r\n"
              "\"Servidor\"=\"M\"\r\n");
}

TEST(RegistryText, TellsWhichTextFitsInALine)
{
    EXPECT_TRUE(FitsRegistryText("Conexão \"Default\" \\ ; [x]"));
    EXPECT_TRUE(FitsRegistryText(""));
    EXPECT_FALSE(FitsRegistryText("a\nb"));
    EXPECT_FALSE(FitsRegistryText("a\rb"));
    EXPECT_FALSE(FitsRegistryText(std::string("a\0b", 3)));
    EXPECT_FALSE(FitsRegistryText("Conex\xE3o"));
    EXPECT_TRUE(IsValidKeyName("Conexao Default"));
    EXPECT_FALSE(IsValidKeyName(""));
    EXPECT_FALSE(IsValidKeyName("a\\b"));
}

TEST(RegistryKey, FindsNamesWithoutLetterCaseAndKeepsTheirSpelling)
{
    RegistryKey key;
    key.AddSubkey("Conexão Default");
    key.AddSubkey("Componentes");
    key.AddSubkey("\xE2\x84\xAA");  // KELVIN SIGN, the same letter as k
    EXPECT_EQ(&key.AddSubkey("CONEXÃO DEFAULT"), key.Subkey("conexão default"));
    EXPECT_EQ(key.Subkey("CONEXÃO DEFAULT")->Name(), "Conexão Default");
    EXPECT_EQ(key.Subkey("componentes")->Name(), "Componentes");
    EXPECT_EQ(key.Subkey("k")->Name(), "\xE2\x84\xAA");
    EXPECT_EQ(key.Subkey("Componente"), nullptr);
    EXPECT_EQ(key.Subkey("\xFF"), nullptr);
    EXPECT_EQ(key.Subkeys().size(), 3u);

    EXPECT_TRUE(key.DeleteSubkey("COMPONENTES"));
    EXPECT_EQ(key.Subkey("Componentes"), nullptr);
    EXPECT_EQ(key.Subkey("K")->Name(), "\xE2\x84\xAA");  // still found after the list shrank
    EXPECT_FALSE(key.DeleteSubkey("Componentes"));

    key.SetValue("Servidor", "1", true);
    key.SetValue("SERVIDOR", "2", true);
    ASSERT_EQ(key.Values().size(), 1u);
    EXPECT_EQ(key.Values()[0].name, "Servidor");
    EXPECT_EQ(key.Value("servidor")->data, "2");
}

}  // namespace
}  // namespace torvik
