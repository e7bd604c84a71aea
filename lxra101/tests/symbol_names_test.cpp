// Instructions as the builder lays them out and as the runtime prints them.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/little_endian.h"
#include "grammar/grammar_builder.h"
#include "support/posted_errors.h"
#include "support/sample_grammar.h"

namespace {

using lxra::GrammarBuilder;
using lxra::Instruction;
using lxra::testing::ErrorCodes;
using lxra::testing::SampleGrammar;

std::string Printed(GrammarContext& context, long offset, long size = 256)
{
    std::vector<char> buf(static_cast<size_t>(size) + 4, '#');
    const std::string text = context.GetSymbolName(offset, buf.data(), size);
    EXPECT_EQ(std::string(buf.data() + size, 4), "####") << "wrote past the buffer";
    return text;
}

// The bytes of the byte code from an instruction on, as words.
std::vector<int32_t> WordsAt(const GrammarBuilder& b, Instruction at, size_t count)
{
    std::vector<int32_t> words;
    for (size_t i = 0; i < count; ++i) {
        words.push_back(lxra::ReadInt32LE(b.GetContext().GetByteCode() + at + 4 * i));
    }
    return words;
}

std::string BytesAt(const GrammarBuilder& b, long at, size_t count)
{
    return std::string(b.GetContext().GetByteCode() + at, count);
}

TEST(GrammarBuilderLayout, InstructionsFollowTheByteCodeTable)
{
    GrammarBuilder b;
    const long expr = b.Name("expr");
    const long calc = b.Name("calc");
    const Instruction lit = b.Literal("ab");
    EXPECT_EQ(WordsAt(b, lit, 2), (std::vector<int32_t>{5, 2}));
    EXPECT_EQ(BytesAt(b, lit + 8, 2), "ab");
    EXPECT_EQ(WordsAt(b, b.SymbolRef("calc.expr"), 4), (std::vector<int32_t>{0, 2, int32_t(calc), int32_t(expr)}));
    EXPECT_EQ(WordsAt(b, b.Repeat(lit, 1, 3, 77), 5), (std::vector<int32_t>{3, 1, 3, int32_t(lit), 77}));
    const long table = b.SyncTable({lit});
    EXPECT_EQ(WordsAt(b, table, 4), (std::vector<int32_t>{0, 1, int32_t(lit), 0}));
    EXPECT_EQ(WordsAt(b, b.Conjunction({lit, 9}, table), 5),
              (std::vector<int32_t>{1, 2, int32_t(lit), 9, int32_t(table)}));
    EXPECT_EQ(WordsAt(b, b.Disjunction({lit}), 3), (std::vector<int32_t>{2, 1, int32_t(lit)}));
    const Instruction range = b.CharRange('a', 'z');
    EXPECT_EQ(WordsAt(b, range, 1), std::vector<int32_t>{8});
    EXPECT_EQ(BytesAt(b, range + 4, 2), "az");
    EXPECT_EQ(b.Null(), range + 6) << "a character range takes 6 bytes";
    EXPECT_EQ(WordsAt(b, b.LengthConstraint(1, -1, lit), 4), (std::vector<int32_t>{9, 1, -1, int32_t(lit)}));
    EXPECT_EQ(WordsAt(b, b.SymbolAttrs(0x4001, lit), 3), (std::vector<int32_t>{10, 0x4001, int32_t(lit)}));
    const Instruction spaces = b.SetSpaces(lit, " \t");
    EXPECT_EQ(WordsAt(b, spaces, 3), (std::vector<int32_t>{11, int32_t(lit), 2}));
    EXPECT_EQ(BytesAt(b, spaces + 12, 2), " \t");
    EXPECT_EQ(WordsAt(b, b.SetSpaceSymbol(lit, 40), 4), (std::vector<int32_t>{11, int32_t(lit), -1, 40}));
    EXPECT_EQ(WordsAt(b, b.ParseRoot(), 4), (std::vector<int32_t>{13, 0, 0, 0}));
    const Instruction list = b.StringList({"if", "x"});
    EXPECT_EQ(WordsAt(b, list, 3), (std::vector<int32_t>{14, 2, 2}));
    EXPECT_EQ(BytesAt(b, list + 12, 2), "if");
    EXPECT_EQ(WordsAt(b, list + 14, 1), std::vector<int32_t>{1});
    const Instruction compare = b.Compare("ab", "c", 2);
    EXPECT_EQ(WordsAt(b, compare, 4), (std::vector<int32_t>{16, 2, 1, 2}));
    EXPECT_EQ(BytesAt(b, compare + 16, 3), "abc");
    const Instruction check = b.ProductionCheck("p.q", lit, 2);
    EXPECT_EQ(WordsAt(b, check, 4), (std::vector<int32_t>{17, 3, int32_t(lit), 2}));
    EXPECT_EQ(BytesAt(b, check + 16, 3), "p.q");
    EXPECT_EQ(WordsAt(b, b.SetToken(lit), 3), (std::vector<int32_t>{21, int32_t(lit), 65535}));
    EXPECT_EQ(WordsAt(b, b.Variable(34), 2), (std::vector<int32_t>{24, 34}));
    EXPECT_EQ(WordsAt(b, b.ErrorMark(lit, lit), 3), (std::vector<int32_t>{25, int32_t(lit), int32_t(lit)}));
    EXPECT_EQ(WordsAt(b, b.Resynchronize(), 4), (std::vector<int32_t>{32, 0, 0, 0}));
    EXPECT_EQ(WordsAt(b, b.ComputedLength(lit, 0, lit), 4), (std::vector<int32_t>{33, int32_t(lit), 0, int32_t(lit)}));
    EXPECT_TRUE(b.Ok());
}

TEST(GrammarBuilderLayout, SequencesHaveASynchronisationWordInVersion7Only)
{
    GrammarBuilder b6(6);
    const Instruction lit = b6.Literal("a");
    const Instruction sequence = b6.Conjunction({lit});
    EXPECT_EQ(b6.Null(), sequence + 12);
    EXPECT_EQ(b6.Conjunction({lit}, 40), 0) << "no word to hold a table";
    EXPECT_FALSE(b6.Ok());
}

TEST(GrammarBuilderLayout, FailuresAreReported)
{
    GrammarBuilder b;
    EXPECT_EQ(b.AddSymbol(7, "orphan"), 0) << "parent does not exist";
    EXPECT_FALSE(b.Ok());
    GrammarBuilder c;
    const long g = c.AddGrammar(0, "g");
    EXPECT_FALSE(c.AddParentPath(g, "a.b.c.d.e.f.g.h.i"));
    EXPECT_FALSE(c.AddParentPath(g, "a..b"));
    EXPECT_EQ(c.SymbolRef(""), 0);
    c.PatchWord(c.GetContext().GetByteCodeLength() - 2, 1);
    EXPECT_FALSE(c.Ok());
}

TEST(SymbolNames, EveryInstructionPrintsAsPublished)
{
    SampleGrammar s(7);
    GrammarBuilder& b = s.b;
    const std::vector<std::pair<Instruction, std::string>> cases = {
        {s.symbolRef, "calc.expr"},
        {b.SymbolRef("expr"), "expr"},
        {s.conjunction, "<conjunction>"},
        {s.disjunction, "<disjunction>"},
        {s.repeat, "{\"ab\"}"},
        {b.Repeat(b.Repeat(b.SymbolRef("x"))), "{{x}}"},
        {b.Repeat(0), "{}"},
        {s.skipTo, "*"},
        {s.literal, "\"ab\""},
        {b.Literal(""), "\"\""},
        {b.Null(), "<null>"},
        {s.charRange, "<char-range>"},
        {s.lengthConstraint, "<length-constraint>"},
        {s.computedLength, "<length-constraint>"},
        {s.symbolAttrs, "<symbol-attrs>"},
        {s.setSpaces, "<setspaces>"},
        {s.setSpaceSymbol, "<setspaces>"},
        {s.notChar, "<not-char>"},
        {s.parseRoot, "Parse Tree"},
        {s.stringList, "<stringlist>"},
        {s.constraint, "<constraint?>"},
        {b.Compare("#value", "", 1), "<exists?>"},
        {s.compare, "<compare?>"},
        {s.productionCheck, "<production?>"},
        {s.symbolFunction, "<#SYMBOL>"},
        {s.notTerm, "<not-term>"},
        {s.isSymbol, "<#ISSYMBOL>"},
        {s.setToken, "<settoken>"},
        {s.termList, "<term-list>"},
        {s.variable, "<variable>"},
        {s.errorMark, "Error"},
        {s.resynchronize, "Resynchronizing"},
    };
    GrammarContext& context = b.GetContext();
    for (const auto& [offset, expected] : cases) {
        EXPECT_EQ(Printed(context, offset), expected) << expected;
    }
    for (int32_t opcode : {6, 22, 26, 27, 28, 29, 30, 31, 34, 99, -1}) {
        const Instruction at = b.Words({opcode, 0, 0, 0});
        EXPECT_EQ(Printed(context, at), "???") << opcode;
        EXPECT_EQ(context.GetSymbolType(at), opcode);
    }
    EXPECT_EQ(Printed(context, b.Words({5, 1000})), "\"\"") << "a literal longer than the byte code shows nothing";
    EXPECT_EQ(Printed(context, b.Words({0, 3, 1})), "lang") << "only the name ids inside the byte code";
    EXPECT_EQ(context.GetSymbolType(s.repeat), 3);
    EXPECT_EQ(context.GetSymbolType(s.resynchronize), 32);
}

TEST(SymbolNames, OffsetsThatHoldNoInstructionPost1256)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    LXErrorManager errors;
    context.SetErrorManager(&errors);
    const Instruction lit = b.Literal("ab");
    const long end = context.GetByteCodeLength();
    for (long offset : {0L, -4L, end, end - 3}) {
        EXPECT_EQ(Printed(context, offset), "") << offset;
        EXPECT_EQ(context.GetSymbolType(offset), -1) << offset;
    }
    EXPECT_EQ(ErrorCodes(errors), (std::vector<long>{1256, 1256, 1256, 1256}));
    EXPECT_EQ(Printed(context, lit), "\"ab\"");
}

TEST(SymbolNames, PrintedFormsAreCutToTheBuffer)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    const Instruction repeat = b.Repeat(b.Literal("ab"));
    EXPECT_EQ(Printed(context, repeat, 4), "{\"a");
    EXPECT_EQ(Printed(context, b.SymbolRef("calc.expr"), 6), "calc.");
    EXPECT_EQ(Printed(context, b.ParseRoot(), 1), "");
    EXPECT_STREQ(context.GetSymbolName(repeat, nullptr, 10), "");
}

// A repeat that holds itself prints a bounded text instead of running forever.
TEST(SymbolNames, SelfContainedRepeatsPrintBounded)
{
    GrammarBuilder b;
    const Instruction repeat = b.Repeat(0);
    b.PatchWord(repeat + 12, static_cast<int32_t>(repeat));
    const std::string text = Printed(b.GetContext(), repeat, 4096);
    EXPECT_EQ(text, std::string(17, '{') + "..." + std::string(17, '}'));
}

TEST(GrammarVersion, VersionTextsComeFromVersionLiterals)
{
    GrammarBuilder b;
    const long lang = b.AddGrammar(0, "lang");
    b.AddSymbol(lang, "<VERSION>", b.Literal("1.2"));
    const long calc = b.AddGrammar(lang, "calc");
    b.AddSymbol(calc, "<VERSION>", b.Literal("2.0.1"));
    const long other = b.AddGrammar(lang, "other");
    b.AddSymbol(other, "<VERSION>", b.SymbolRef("x"));
    const GrammarContext& context = b.GetContext();
    const auto version = [&](const char* name, unsigned size = 64) {
        std::vector<char> buf(size + 4, '#');
        context.GetVersionStr(name, buf.data(), size);
        EXPECT_EQ(std::string(buf.data() + size, 4), "####");
        return std::string(buf.data());
    };
    EXPECT_EQ(version(""), "1.2");
    EXPECT_EQ(version(nullptr), "1.2");
    EXPECT_EQ(version("calc"), "2.0.1");
    EXPECT_EQ(version("CALC"), "2.0.1");
    EXPECT_EQ(version("calc", 3), "2.");
    EXPECT_EQ(version("other"), "") << "not a literal";
    EXPECT_EQ(version("nosuch"), "");
    context.GetVersionStr("", nullptr, 10);
}

}  // namespace
