// Contexts and names: the tree of a grammar's symbols and how names resolve in it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grammar/grammar_builder.h"
#include "lxra101/lx_error.h"
#include "support/posted_errors.h"

namespace {

using lxra::GrammarBuilder;
using lxra::testing::ErrorCodes;

std::string QualifiedName(const Context& context, long ctx, long stop, long size = 256)
{
    std::vector<char> buf(static_cast<size_t>(size) + 4, '#');
    const std::string text = context.BuildQualifiedName(ctx, stop, buf.data(), size);
    EXPECT_EQ(std::string(buf.data() + size, 4), "####") << "wrote past the buffer";
    return text;
}

// lang (1) holds the grammars calc, lib and user; user sees lib's names through the
// parent path "lib".
class ContextTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        context().SetErrorManager(&errors_);
        lang_ = b_.AddGrammar(0, "lang");
        calc_ = b_.AddGrammar(lang_, "calc");
        expr_ = b_.AddSymbol(calc_, "expr");
        term_ = b_.AddSymbol(calc_, "term");
        lib_ = b_.AddGrammar(lang_, "lib");
        base_ = b_.AddSymbol(lib_, "base");
        user_ = b_.AddGrammar(lang_, "user");
        rule_ = b_.AddSymbol(user_, "rule");
        ASSERT_TRUE(b_.AddParentPath(user_, "lib"));
        ASSERT_TRUE(b_.Ok());
    }

    GrammarContext& context() { return b_.GetContext(); }
    long Id(const char* name) { return context().LookupName(name); }

    GrammarBuilder b_;
    LXErrorManager errors_;
    long lang_ = 0, calc_ = 0, expr_ = 0, term_ = 0, lib_ = 0, base_ = 0, user_ = 0, rule_ = 0;
};

TEST(ContextNames, ResetLeavesTheNullNameAndContextButLookupsSkipIt)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    context.GetNameID("extra");
    context.ResetContext();
    EXPECT_STREQ(context.GetName(0), "<NULL>");
    EXPECT_EQ(context.GetNumNames(), 1);
    EXPECT_EQ(context.GetNumContexts(), 1);
    EXPECT_EQ(context.GetByteCodeLength(), 1);
    EXPECT_EQ(context.GetByteCode()[0], 0);
    EXPECT_EQ(context.LookupName("<NULL>"), 0);
    EXPECT_EQ(context.LookupName("extra"), 0);
    EXPECT_EQ(context.GetNameID("<NULL>"), 1) << "a lookup never finds id 0, so the name is added again";
}

TEST(ContextNames, NamesAreSharedWithoutRegardToCase)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    const long id = context.GetNameID("expr");
    for (const char* spelling : {"expr", "Expr", "EXPR", "eXpR"}) {
        EXPECT_EQ(context.GetNameID(spelling), id) << spelling;
        EXPECT_EQ(context.LookupName(spelling), id) << spelling;
    }
    EXPECT_STREQ(context.GetName(id), "expr");
    EXPECT_EQ(context.GetName(id + 1), nullptr);
    EXPECT_EQ(context.GetName(-1), nullptr);
    EXPECT_EQ(context.LookupName(nullptr), 0);
    EXPECT_EQ(context.GetNameID(nullptr), 0);
    EXPECT_EQ(context.LookupName("exp"), 0);
}

TEST(ContextNames, NameTextsStayValidAsNamesAreAdded)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    const char* first = context.GetName(context.GetNameID("first"));
    for (int i = 0; i < 2000; ++i) {
        context.GetNameID(("name" + std::to_string(i)).c_str());
    }
    EXPECT_STREQ(first, "first");
}

TEST_F(ContextTree, DottedNamesResolveAndPrintRelativeToAContext)
{
    EXPECT_EQ(context().Resolve(lang_, "calc.expr"), expr_);
    EXPECT_EQ(QualifiedName(context(), expr_, lang_), "calc.expr");
    EXPECT_EQ(QualifiedName(context(), expr_, 0), "lang.calc.expr");
    EXPECT_EQ(QualifiedName(context(), expr_, calc_), "expr");
    EXPECT_EQ(QualifiedName(context(), expr_, expr_), "expr");
    EXPECT_EQ(QualifiedName(context(), expr_, term_), "lang.calc.expr") << "stop is not an ancestor";
    EXPECT_EQ(QualifiedName(context(), 0, 0), "<NULL>");
    EXPECT_EQ(QualifiedName(context(), 4000, 1), "");
}

TEST_F(ContextTree, QualifiedNamesAreCutToTheBuffer)
{
    EXPECT_EQ(QualifiedName(context(), expr_, lang_, 5), "calc");
    EXPECT_EQ(QualifiedName(context(), expr_, lang_, 6), "calc.");
    EXPECT_EQ(QualifiedName(context(), expr_, lang_, 1), "");
    EXPECT_STREQ(context().BuildQualifiedName(expr_, lang_, nullptr, 10), "");
}

TEST_F(ContextTree, NamesResolveOutwardsAndThroughParentPaths)
{
    struct Case {
        const char* what;
        long from;
        std::string name;
        long expected;
    };
    const std::vector<Case> cases = {
        {"child of the grammar", lang_, "calc", calc_},
        {"dotted name", lang_, "calc.expr", expr_},
        {"sibling, going outwards", expr_, "term", term_},
        {"outer grammar's child", expr_, "lib", lib_},
        {"the parent's own name", expr_, "calc", calc_},
        {"outermost grammar", expr_, "lang", lang_},
        {"through the parent path, from the context that declares it", user_, "base", base_},
        {"through the parent path, from inside that context", rule_, "base", base_},
        {"the path's own first name", user_, "lib", lib_},
        {"no path, no import", expr_, "base", 0},
        {"any case, and nested children found from above", lang_, "EXPR", expr_},
        {"from context 0", 0, "lang.calc", calc_},
        {"unknown name", lang_, "nosuch", 0},
        {"\"<NULL>\" is never a name", 0, "<NULL>", 0},
        {"empty part", lang_, "calc..expr", 0},
        {"trailing dot", lang_, "calc.", 0},
        {"empty name", lang_, "", 0},
        {"context outside the table", 4000, "calc", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(context().Resolve(c.from, c.name.c_str()), c.expected) << c.what;
    }
    EXPECT_EQ(context().Resolve(lang_, static_cast<const char*>(nullptr)), 0);
}

TEST_F(ContextTree, ResolvingByIdAndByIdPathAgreeWithTheDottedForm)
{
    EXPECT_EQ(context().Resolve(rule_, Id("base")), base_);
    EXPECT_EQ(context().Resolve(expr_, Id("term")), term_);
    const long path[] = {Id("calc"), Id("expr")};
    EXPECT_EQ(context().Resolve(lang_, path, 2), expr_);
    EXPECT_EQ(context().Resolve(lang_, path, 0), 0);
    EXPECT_EQ(context().Resolve(lang_, nullptr, 2), 0);
}

TEST(ContextNames, DottedNamesHoldAtMost128Parts)
{
    GrammarBuilder b;
    long ctx = 0;
    std::string name;
    for (int depth = 0; depth < 129; ++depth) {
        ctx = b.AddSymbol(ctx, "n");
        name += depth == 0 ? "n" : ".n";
    }
    ASSERT_TRUE(b.Ok());
    const std::string parts128 = name.substr(0, name.size() - 2);
    EXPECT_EQ(b.GetContext().Resolve(0, parts128.c_str()), 128);
    EXPECT_EQ(b.GetContext().Resolve(0, name.c_str()), 0);
}

TEST_F(ContextTree, AncestryEndsAtContextZero)
{
    for (long x : {0L, 1L, expr_, rule_, 4000L, -3L}) {
        EXPECT_EQ(context().IsAncestor(0, x), 1) << x;
    }
    EXPECT_EQ(context().IsAncestor(lang_, expr_), 1);
    EXPECT_EQ(context().IsAncestor(calc_, expr_), 1);
    EXPECT_EQ(context().IsAncestor(expr_, expr_), 0);
    EXPECT_EQ(context().IsAncestor(expr_, calc_), 0);
    EXPECT_EQ(context().IsAncestor(lib_, expr_), 0);
    EXPECT_EQ(context().FindSuperContext(expr_), calc_);
    EXPECT_EQ(context().FindSuperContext(lang_), 0);
}

TEST_F(ContextTree, OuterContextFollowsTheFirstParentPath)
{
    EXPECT_EQ(context().FindOuterContext(expr_), calc_);
    EXPECT_EQ(context().FindOuterContext(user_), lib_);
    long missing[] = {context().GetNameID("missing")};
    context().SetParentContext(calc_, missing, 1);
    EXPECT_EQ(context().FindOuterContext(calc_), 0) << "a path that leads nowhere";
}

TEST(ContextSearch, SortedAndUnsortedSearchesFindTheSameContexts)
{
    GrammarBuilder b;
    const long g = b.AddGrammar(0, "g");
    // Children added out of parent order, and two children with one name.
    const long a = b.AddSymbol(g, "a");
    const long h = b.AddGrammar(g, "h");
    const long x1 = b.AddSymbol(h, "x");
    b.AddSymbol(g, "b");
    b.AddSymbol(h, "x");
    b.AddSymbol(a, "x");
    ASSERT_TRUE(b.Ok());
    GrammarContext& context = b.GetContext();
    std::vector<long> unsorted;
    std::vector<long> unsortedRecursive;
    for (long parent = 0; parent < context.GetNumContexts(); ++parent) {
        for (long name = 0; name < context.GetNumNames(); ++name) {
            unsorted.push_back(context.FindSubcontext(parent, name));
            unsortedRecursive.push_back(context.FindSubcontextRecursive(parent, name));
        }
    }
    context.SortContexts();
    size_t i = 0;
    for (long parent = 0; parent < context.GetNumContexts(); ++parent) {
        for (long name = 0; name < context.GetNumNames(); ++name, ++i) {
            EXPECT_EQ(context.FindSubcontext(parent, name), unsorted[i]) << parent << " " << name;
            EXPECT_EQ(context.FindSubcontextRecursive(parent, name), unsortedRecursive[i]) << parent << " " << name;
        }
    }
    EXPECT_EQ(context.FindSubcontext(h, context.LookupName("x")), x1) << "the first of two, by index";
    EXPECT_EQ(context.FindSubcontextRecursive(g, context.LookupName("x")), 7) << "children in index order: a first";
}

TEST(ContextSearch, ContextsCreatedAfterSortingAreFound)
{
    GrammarBuilder b;
    const long g = b.AddGrammar(0, "g");
    b.AddSymbol(g, "a");
    b.GetContext().SortContexts();
    const long late = b.AddSymbol(g, "late");
    EXPECT_EQ(b.GetContext().FindSubcontext(g, b.GetContext().LookupName("late")), late);
    EXPECT_EQ(b.GetContext().Resolve(g, "late"), late);
}

TEST(ContextLimits, TheTableHolds1024Contexts)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    const long name = context.GetNameID("s");
    while (context.GetNumContexts() < 1024) {
        ASSERT_NE(context.CreateContext(name, 0, 0), 0);
    }
    EXPECT_EQ(context.CreateContext(name, 0, 0), 0) << "no error manager: refused, nothing posted";
    LXErrorManager errors;
    context.SetErrorManager(&errors);
    EXPECT_EQ(context.GetErrorManager(), &errors);
    EXPECT_EQ(context.CreateContext(name, 0, 0), 0);
    EXPECT_EQ(context.GetNumContexts(), 1024);
    EXPECT_EQ(ErrorCodes(errors), std::vector<long>{1253});
}

TEST(ContextLimits, ContextsReferOnlyToExistingContextsAndNames)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    LXErrorManager errors;
    context.SetErrorManager(&errors);
    const long name = context.GetNameID("s");
    EXPECT_EQ(context.CreateContext(name, 1, 0), 0) << "parent not created yet";
    EXPECT_EQ(context.CreateContext(name + 1, 0, 0), 0) << "no such name";
    EXPECT_EQ(context.CreateContext(name, 0, -1), 0) << "no such kind";
    EXPECT_EQ(context.GetNumContexts(), 1);
    EXPECT_EQ(ErrorCodes(errors), (std::vector<long>{1001, 1001, 1001}));
}

TEST(ContextLimits, ParentPathsHaveTheirLimits)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    LXErrorManager errors;
    context.SetErrorManager(&errors);
    const long g = b.AddGrammar(0, "g");
    long path[9];
    for (long& id : path) {
        id = context.GetNameID("g");
    }
    const Context::State& state = context.GetState();
    context.SetParentContext(g, path, 9);
    EXPECT_EQ(state.contexts[g].parentRecord, 0) << "a path of 9 names is not added";
    for (int i = 0; i < 8; ++i) {
        context.SetParentContext(g, path, 8);
    }
    context.SetParentContext(g, path, 1);
    context.SetParentContext(g, path, 0);
    EXPECT_EQ(state.records[static_cast<size_t>(state.contexts[g].parentRecord)].pathCount, 8);
    long records = 1;
    for (long ctx = b.AddSymbol(g, "s"); ctx != 0 && records < 63; ctx = b.AddSymbol(g, "s"), ++records) {
        context.SetParentContext(ctx, path, 1);
    }
    const long last = b.AddSymbol(g, "s");
    context.SetParentContext(last, path, 1);
    EXPECT_EQ(state.contexts[last].parentRecord, 0);
    EXPECT_EQ(ErrorCodes(errors), (std::vector<long>{1254, 1255, 1263}));
}

TEST(ContextByteCode, StorageDoublesUntilItExceedsTheRequest)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    LXErrorManager errors;
    context.SetErrorManager(&errors);
    b.Literal("kept");
    const std::string before(context.GetByteCode(), static_cast<size_t>(context.GetByteCodeLength()));
    EXPECT_EQ(context.CheckByteCodesAllocation(100), 2048);
    EXPECT_EQ(context.CheckByteCodesAllocation(2047), 2048);
    EXPECT_EQ(context.CheckByteCodesAllocation(2048), 4096);
    EXPECT_EQ(context.CheckByteCodesAllocation(5000), 8192);
    EXPECT_EQ(std::string(context.GetByteCode(), before.size()), before);
    EXPECT_EQ(context.CheckByteCodesAllocation(1L << 40), 0);
    EXPECT_EQ(ErrorCodes(errors), std::vector<long>{1250});
}

TEST(ContextByteCode, AppendedBytesCanBeCutBackAndNeverStartAtZero)
{
    GrammarBuilder b;
    GrammarContext& context = b.GetContext();
    const long length = context.GetByteCodeLength();
    const long offset = context.AppendByteCode("abcd", 4);
    EXPECT_EQ(offset, length);
    EXPECT_EQ(std::string(context.GetByteCode() + offset, 4), "abcd");
    context.SetByteCodeLength(length);
    EXPECT_EQ(context.GetByteCodeLength(), length);
    context.SetByteCodeLength(length + 100);
    EXPECT_EQ(context.GetByteCodeLength(), length) << "never lengthened";
    context.SetByteCodeLength(0);
    EXPECT_EQ(context.AppendByteCode("x", 1), 1) << "offset 0 means none";
}

TEST(DefaultStartSymbol, FollowsTheHeaderOrTheLastNestedGrammar)
{
    {
        GrammarBuilder b;
        const long g = b.AddGrammar(0, "g");
        b.AddContext(g, "notasymbol", "other");
        const long first = b.AddSymbol(g, "first");
        b.AddSymbol(g, "second");
        EXPECT_EQ(b.GetContext().GetDefaultStartSymbol(), first);
        b.SetStartSymbol(first + 1);
        EXPECT_EQ(b.GetContext().GetDefaultStartSymbol(), first + 1);
    }
    {
        GrammarBuilder b;
        const long g = b.AddGrammar(0, "g");
        const long inner1 = b.AddGrammar(g, "inner1");
        b.AddSymbol(inner1, "a");
        const long inner2 = b.AddGrammar(g, "inner2");
        b.AddSymbol(g, "top");
        const long wanted = b.AddSymbol(inner2, "b");
        EXPECT_EQ(b.GetContext().GetDefaultStartSymbol(), wanted);
    }
    {
        GrammarBuilder b;
        b.AddGrammar(0, "g");
        EXPECT_EQ(b.GetContext().GetDefaultStartSymbol(), 0);
    }
}

// Grammars that import each other: lookups that find nothing still end.
TEST(ParentPathCycles, LookupsThroughMutualImportsEnd)
{
    GrammarBuilder b;
    const long g = b.AddGrammar(0, "g");
    const long a = b.AddGrammar(g, "a");
    const long c = b.AddGrammar(g, "c");
    const long inA = b.AddSymbol(a, "inA");
    const long inC = b.AddSymbol(c, "inC");
    for (const char* path : {"c", "a", "g.c", "g.a"}) {
        ASSERT_TRUE(b.AddParentPath(a, path));
        ASSERT_TRUE(b.AddParentPath(c, path));
    }
    GrammarContext& context = b.GetContext();
    EXPECT_EQ(context.Resolve(a, "missing"), 0);
    EXPECT_EQ(context.Resolve(inA, "missing.too"), 0);
    EXPECT_EQ(context.Resolve(a, "inC"), inC);
    EXPECT_EQ(context.Resolve(c, "inA"), inA);
    const long missing[] = {context.GetNameID("missing")};
    EXPECT_EQ(context.ResolveReference(a, missing, 1, inA), 0);
}

// user sees both lib1 and lib2, which both define x. A reference chooses the path whose
// target is related to the referencing context's parent.
TEST(ReferenceResolution, AmbiguousParentPathsFollowTheReferencingContext)
{
    GrammarBuilder b;
    const long lang = b.AddGrammar(0, "lang");
    const long lib1 = b.AddGrammar(lang, "lib1");
    const long x1 = b.AddSymbol(lib1, "x");
    const long lib2 = b.AddGrammar(lang, "lib2");
    const long x2 = b.AddSymbol(lib2, "x");
    const long inLib2 = b.AddSymbol(lib2, "r");
    const long user = b.AddGrammar(lang, "user");
    const long inUser = b.AddSymbol(user, "s");
    const long other = b.AddGrammar(lang, "other");
    const long inOther = b.AddSymbol(other, "t");
    const long viaLib2 = b.AddGrammar(lang, "via");
    const long inVia = b.AddSymbol(viaLib2, "v");
    ASSERT_TRUE(b.AddParentPath(user, "lib1"));
    ASSERT_TRUE(b.AddParentPath(user, "lib2"));
    ASSERT_TRUE(b.AddParentPath(viaLib2, "lib2"));
    GrammarContext& context = b.GetContext();
    const long x[] = {context.LookupName("x")};

    EXPECT_EQ(context.Resolve(user, x[0]), x1) << "plain lookup takes the first path";
    EXPECT_EQ(context.ResolveReference(user, x, 1, inLib2), x2) << "lib2 is the referencing parent";
    EXPECT_EQ(context.ResolveReference(user, x, 1, inUser), x1) << "both related through user's own paths";
    EXPECT_EQ(context.ResolveReference(user, x, 1, inVia), x2) << "related through via's path to lib2";
    EXPECT_EQ(context.ResolveReference(user, x, 1, inOther), 0) << "neither path is related";
    EXPECT_EQ(context.ResolveReference(user, x, 1, 0), x1) << "context 0 is related to everything";
}

}  // namespace
