// Grammars as a host program makes and loads them through the shared library: a
// context built with the exported Context members, written and loaded again.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "lxra101.h"
#include "scratch_folder.h"
#include "support/posted_errors.h"

namespace {

using lxra::testing::ErrorCodes;
using lxra::testing::StrDetail;

struct ContextDeleter {
    void operator()(GrammarContext* context) const { GrammarContext::Delete(context); }
};

class HostGrammar : public ::testing::Test {
protected:
    // lang (1) with the nested grammars calc (expr, term), user and lib (base); user
    // sees lib's names through a parent path.
    void SetUp() override
    {
        std::unique_ptr<GrammarContext, ContextDeleter> context(GrammarContext::CreateNew());
        ASSERT_NE(context, nullptr);
        Context& c = *context;
        const long grammar = c.GetNameID("grammar");
        const long symbol = c.GetNameID("symbol");
        const long lang = c.CreateContext(c.GetNameID("lang"), 0, grammar);
        const long calc = c.CreateContext(c.GetNameID("calc"), lang, grammar);
        expr_ = c.CreateContext(c.GetNameID("expr"), calc, symbol);
        c.CreateContext(c.GetNameID("term"), calc, symbol);
        user_ = c.CreateContext(c.GetNameID("user"), lang, grammar);
        long path[] = {c.GetNameID("lib")};
        c.SetParentContext(user_, path, 1);
        const long lib = c.CreateContext(c.GetNameID("lib"), lang, grammar);
        base_ = c.CreateContext(c.GetNameID("base"), lib, symbol);
        path_ = dir_.Path("host.gmr");
        ASSERT_EQ(c.Serialize(path_.c_str(), 1), 1);
    }

    LexoraAPI api_;
    kit::testing::ScratchFolder dir_;
    std::string path_;
    long expr_ = 0, base_ = 0, user_ = 0;
};

TEST_F(HostGrammar, AWrittenContextLoadsAndResolvesItsNames)
{
    LXGrammar* grammar = api_.LoadGrammar(path_.c_str());
    ASSERT_NE(grammar, nullptr) << ::testing::PrintToString(ErrorCodes(api_));
    EXPECT_EQ(grammar->GetSymbolID("calc.expr"), expr_);
    EXPECT_EQ(grammar->GetSymbolID("lib.base"), base_);
    char buf[64];
    EXPECT_STREQ(grammar->GetSymbolQualifiedName(expr_, buf, sizeof buf), "calc.expr");
    EXPECT_STREQ(grammar->GetDefStartSymbolName(buf, sizeof buf), "lib.base") << "lib is the last nested grammar";
    grammar->GetVersionStr("", buf, sizeof buf);
    EXPECT_STREQ(buf, "");
    api_.UnloadGrammar(grammar);
    EXPECT_EQ(api_.GetNumErrors(), 0);
}

// A context made in memory has no marker in its header: its image loads from a file
// only.
TEST_F(HostGrammar, ImagesWithoutTheMarkerDoNotLoadFromMemory)
{
    std::ifstream file(path_, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(api_.LoadGrammarFromBuffer(image.data()), nullptr);
    EXPECT_EQ(ErrorCodes(api_), (std::vector<long>{1105, 1103}));
}

TEST_F(HostGrammar, OtherExtensionsAreRefused)
{
    const std::string path = dir_.Path("host.txt");
    EXPECT_EQ(api_.LoadGrammar(path.c_str()), nullptr);
    ASSERT_EQ(ErrorCodes(api_), std::vector<long>{1102});
    EXPECT_EQ(StrDetail(api_.GetLastError(), "PathName"), path);
    EXPECT_EQ(StrDetail(api_.GetLastError(), "ExtensionExpected"), ".GMR");
}

TEST_F(HostGrammar, ContextsReadBackIntoAnotherContext)
{
    std::unique_ptr<GrammarContext, ContextDeleter> context(GrammarContext::CreateNew());
    ASSERT_EQ(context->Serialize(path_.c_str(), 0), 1);
    EXPECT_EQ(context->Resolve(user_, "base"), base_);
    EXPECT_STREQ(context->GetContextName(base_), "base");
    EXPECT_EQ(context->GetSymbolType(1), -1) << "the byte code is one zero byte";
}

}  // namespace
