#include "common/text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/updater_error.h"

namespace torvik {
namespace {

TEST(Text, SameTextIgnoresCaseOfAccentedLetters)
{
    EXPECT_TRUE(SameText("Conexão Default", "CONEXÃO DEFAULT"));
    EXPECT_TRUE(SameText("ação", "AÇÃO"));
    EXPECT_FALSE(SameText("acao", "ação"));
    EXPECT_FALSE(SameText("p", "pp"));
    EXPECT_TRUE(SameText("", ""));
}

TEST(Text, RecognisesUtf8)
{
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"plain", true},         {"ação", true},
        {"\xE2\x82\xAC", true},  {"\xF0\x9F\x98\x80", true},
        {"Jo\xE3o", false},      {"\xC3", false},
        {"\xC0\x80", false},     {"\xE0\x80\x80", false},
        {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},
        {"\x80", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
    }
}

TEST(Text, Windows1252RoundTripsEveryByte)
{
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string utf8 = Utf8FromWindows1252(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Windows1252FromUtf8(utf8), all);
    EXPECT_EQ(Utf8FromWindows1252("\x80\x9C\xE9"), "€œé");
    EXPECT_EQ(Windows1252FromUtf8("€ 日本 😀"), "\x80 ?? ?");
    EXPECT_EQ(DecodeWindowsText("Jo\xE3o"), "João");
    EXPECT_EQ(DecodeWindowsText("João"), "João");
}

TEST(Text, StrToIntTakesDecimalIntegersOnly)
{
    struct Case {
        const char* text;
        long value;
    };
    for (const Case c : {Case{"1", 1}, Case{" 1 ", 1}, Case{"-12", -12}, Case{"+7", 7}, Case{"\t0\r\n", 0}}) {
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    }
    for (const char* bad :
         {"", " ", "1a", "a1", "1 2", "+-1", "--1", "0x10", "99999999999999999999", "<parametro não-existente>"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const UpdaterError& error) {
            EXPECT_EQ(std::string(error.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace torvik
