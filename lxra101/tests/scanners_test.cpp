// The exported token scanners, predefined token names and literal texts.

#include "lxra101/scanners.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lxra101/literal_text.h"

namespace {

TEST(Scanners, EachScannerMatchesItsClass)
{
    struct Case {
        const char* what;
        long (*scan)(const char*, long);
        std::string input;
        long n;
        long expected;
    };
    const std::vector<Case> cases = {
        {"identifier starting with a digit", ScanIdentifier, "9ab", 3, 0},
        {"identifier with a digit inside", ScanIdentifier, "a9b", 3, 3},
        {"identifier starting with an underscore", ScanIdentifier, "_x", 2, 2},
        {"identifier cut by n", ScanIdentifier, "abc", 2, 2},
        {"alpha_ takes underscores", ScanAlpha_, "ab_c1", 5, 4},
        {"alpha stops at an underscore", ScanAlpha, "ab_c", 4, 2},
        {"numeric", ScanNumeric, "123a", 4, 3},
        {"numeric cut by n", ScanNumeric, "123", 2, 2},
        {"alphanumeric", ScanAlphaNumeric, "a1b2-", 5, 4},
        {"whitespace: the six C spaces", ScanWhitespace, " \t\r\n\v\fx", 7, 6},
        {"alnumblank", ScanAlNumBlank, "a 1 b;", 6, 5},
        {"freetext takes everything", ScanFreetext, std::string("ab\0cd", 5), 5, 5},
        {"a NUL stops the others", ScanAlpha, std::string("ab\0cd", 5), 5, 2},
        {"bytes above 0x7F are no letters", ScanAlpha, "\xe9t", 2, 0},
        {"EOL", ScanEOL, "\r\n", 2, 2},
        {"EOL needs n of 2", ScanEOL, "\r\n", 1, 0},
        {"EOL is CR LF only", ScanEOL, "\n\r", 2, 0},
        {"nothing with n 0", ScanAlpha, "abc", 0, 0},
        {"nothing with a negative n", ScanFreetext, "abc", -1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.scan(c.input.c_str(), c.n), c.expected) << c.what;
    }
    EXPECT_EQ(ScanAlpha(nullptr, 4), 0);
}

TEST(Scanners, QuotedStringsRunToTheClosingQuote)
{
    struct Case {
        std::string input;
        long expected;
        long code;
    };
    const std::vector<Case> cases = {
        {"\"abc\" x", 5, 0}, {"\"a\\\"b\"", 6, 0}, {"\"\"", 2, 0},  {"\"x\ny\"", 0, 1011},
        {"\"abc", 0, 1011},  {"\"a\\", 0, 1011},   {"abc\"", 0, 0},
    };
    for (const Case& c : cases) {
        long code = 0;
        EXPECT_EQ(ScanQuotedString(c.input.c_str(), 1, code), c.expected) << c.input;
        EXPECT_EQ(code, c.code) << c.input;
    }
}

TEST(PredefinedSymbols, TenNamesIndexedByScanType)
{
    const std::vector<std::string> names = {"alpha",    "alpha_",       "numeric",    "alphanumeric", "whitespace",
                                            "freetext", "quotedstring", "identifier", "alnumblank",   "EOL"};
    ASSERT_EQ(LXGetNumPredefinedSymbols(), 10);
    for (long i = 0; i < 10; ++i) {
        EXPECT_EQ(LXGetPredefinedSymbolName(i), names[static_cast<size_t>(i)]);
        EXPECT_EQ(LXLookupPredefinedSymbol(names[static_cast<size_t>(i)].c_str()), i);
    }
    EXPECT_EQ(LXGetPredefinedSymbolName(-1), nullptr);
    EXPECT_EQ(LXGetPredefinedSymbolName(10), nullptr);
    for (const char* spelling : {"EOL", "eol", "Eol", "eOL"}) {
        EXPECT_EQ(LXLookupPredefinedSymbol(spelling), 9) << spelling;
    }
    EXPECT_EQ(LXLookupPredefinedSymbol("ALPHA"), 0);
    EXPECT_EQ(LXLookupPredefinedSymbol("alpha_"), 1);
    EXPECT_EQ(LXLookupPredefinedSymbol("alph"), -1);
    EXPECT_EQ(LXLookupPredefinedSymbol(nullptr), -1);
}

struct Translated {
    long length;
    std::string text;
};

Translated Translate(const std::string& src, long size)
{
    std::vector<char> dst(static_cast<size_t>(size) + 4, '#');
    const long length = TranslateLiteralExp(src.c_str(), dst.data(), size);
    EXPECT_EQ(std::string(dst.data() + size, 4), "####") << "wrote past the buffer";
    return {length, size > 0 ? std::string(dst.data(), static_cast<size_t>(std::max(length, 0L))) : ""};
}

TEST(LiteralTexts, EscapesTranslate)
{
    struct Case {
        std::string src;
        long size;
        long length;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"\"A\\65\"", 16, 2, "AA"},
        {"\"x\\q\"", 16, 2, "xq"},
        {"\"a\\n\\r\\t\"", 16, 4, "a\n\r\t"},
        {"\"\\\"q\\\\\"", 16, 3, "\"q\\"},
        {"\"\\255\"", 16, 1, "\xff"},
        {"\"\\1234\"", 16, 2, "{4"},
        {"\"\\0x\"", 16, 2, std::string("\0x", 2)},
        {"\"\" rest", 16, 0, ""},
        {"'ab\"", 16, 2, "ab"},
        {"\"ab\"", 3, 0, ""},
        {"\"ab\"", 4, 2, "ab"},
        {"\"\"", 1, 0, ""},
        {"\"abc", 16, 0, ""},
        {"\"a\\", 16, 0, ""},
        {"\"\\256\"", 16, 0, ""},
        {"", 16, 0, ""},
    };
    for (const Case& c : cases) {
        const Translated result = Translate(c.src, c.size);
        EXPECT_EQ(result.length, c.length) << c.src << " size " << c.size;
        EXPECT_EQ(result.text, c.text) << c.src << " size " << c.size;
    }
    std::vector<char> dst(8, '#');
    EXPECT_EQ(TranslateLiteralExp("\"abc", dst.data(), 8), 0);
    EXPECT_EQ(dst[0], '\0') << "an error leaves an empty text";
    EXPECT_EQ(TranslateLiteralExp(nullptr, dst.data(), 8), 0);
    EXPECT_EQ(TranslateLiteralExp("\"a\"", nullptr, 8), 0);
    EXPECT_EQ(TranslateLiteralExp("\"a\"", dst.data(), 0), 0);
}

std::string Printable(const std::string& src, unsigned size)
{
    std::vector<char> dst(size + 4, '#');
    const std::string text = MakePrintableString(src.data(), static_cast<unsigned>(src.size()), dst.data(), size);
    EXPECT_EQ(std::string(dst.data() + size, 4), "####") << "wrote past the buffer";
    return text;
}

TEST(LiteralTexts, BytesBecomePrintable)
{
    struct Case {
        std::string src;
        unsigned size;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"\ta\x01", 32, "\\ta\\1"},
        {"\r\n", 32, "\\r\\n"},
        {"\xff\x7f", 32, "\\255\\127"},
        {std::string("a\0b", 3), 32, "a\\0b"},
        {"say \"hi\\\"", 32, "say \"hi\\\""},
        {"abc", 3, "ab"},
        {"\x01\x02", 4, "\\1"},
        {"\x01\x02", 5, "\\1\\2"},
        {"a\t", 3, "a"},
        {"abc", 1, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Printable(c.src, c.size), c.expected) << c.expected;
    }
    char dst[4] = "xyz";
    EXPECT_STREQ(MakePrintableString("ab", 2, dst, 0), "");
    EXPECT_STREQ(dst, "xyz");
    EXPECT_STREQ(MakePrintableString(nullptr, 2, dst, 4), "");
}

}  // namespace
