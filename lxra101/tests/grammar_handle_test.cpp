// The grammar handle host programs hold: names of symbols, and the registrations of
// external symbol handlers and listeners.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grammar/grammar_builder.h"
#include "lxra101/grammar_imp.h"
#include "lxra101/lexora_api.h"
#include "support/posted_errors.h"

namespace {

using lxra::GrammarBuilder;
using lxra::testing::ErrorCodes;
using lxra::testing::StrDetail;

struct Handler : LXExternalSymbolHandler {
    long MatchSymbol(long, LXInputStream*, long, int, const char*, LXParser*) override { return -1; }
};
struct EventListener : LXEventListener {
    long OnEvent(long, long, LXParser*) override { return 0; }
};
struct PositionListener : LXPositionListener {
    void OnPosition(long, long, LXParser*) override {}
};
struct YieldListener : LXYieldListener {
    long OnYield(long, LXParser*) override { return 0; }
};

// lang (1) holds the nested grammar calc with the symbols expr and term.
class GrammarHandle : public ::testing::Test {
protected:
    void SetUp() override
    {
        GrammarBuilder b;
        const long lang = b.AddGrammar(0, "lang");
        b.AddSymbol(lang, "top");
        calc_ = b.AddGrammar(lang, "calc");
        expr_ = b.AddSymbol(calc_, "expr");
        term_ = b.AddSymbol(calc_, "term");
        const std::vector<char> image = b.Image();
        grammar_.reset(api_.LoadGrammarFromBuffer(image.data()));
        ASSERT_NE(grammar_, nullptr);
    }

    GrammarContext& context() { return *static_cast<GrammarImp*>(grammar_.get())->GetContext(); }
    std::string Text(const char* (LXGrammar::*op)(char*, long), long size = 64)
    {
        std::vector<char> buf(static_cast<size_t>(size));
        return (grammar_.get()->*op)(buf.data(), size);
    }

    LexoraAPI api_;
    std::unique_ptr<LXGrammar> grammar_;
    long calc_ = 0, expr_ = 0, term_ = 0;
};

TEST_F(GrammarHandle, SymbolsAreNamedRelativeToTheGrammar)
{
    EXPECT_EQ(grammar_->GetSymbolID("calc.expr"), expr_);
    EXPECT_EQ(grammar_->GetSymbolID("term"), term_) << "nested symbols are found from the grammar";
    EXPECT_EQ(grammar_->GetSymbolID("nosuch"), 0);
    EXPECT_EQ(grammar_->GetSymbolID(nullptr), 0);
    char buf[64];
    EXPECT_STREQ(grammar_->GetSymbolQualifiedName(term_, buf, sizeof buf), "calc.term");
    EXPECT_STREQ(grammar_->GetSymbolQualifiedName(term_, buf, 4), "cal");
    EXPECT_EQ(Text(&LXGrammar::GetDefStartSymbolName), "calc.expr") << "first symbol of the last nested grammar";
}

TEST_F(GrammarHandle, TheHeaderChoosesTheStartSymbol)
{
    GrammarBuilder b;
    const long lang = b.AddGrammar(0, "lang");
    b.AddSymbol(lang, "a");
    const long chosen = b.AddSymbol(lang, "b");
    b.SetStartSymbol(chosen);
    grammar_.reset(api_.LoadGrammarFromBuffer(b.Image().data()));
    ASSERT_NE(grammar_, nullptr);
    EXPECT_EQ(Text(&LXGrammar::GetDefStartSymbolName), "b");
    GrammarBuilder none;
    none.AddGrammar(0, "empty");
    grammar_.reset(api_.LoadGrammarFromBuffer(none.Image().data()));
    ASSERT_NE(grammar_, nullptr);
    EXPECT_EQ(Text(&LXGrammar::GetDefStartSymbolName), "");
}

TEST_F(GrammarHandle, ExternalSymbolHandlersRegisterByName)
{
    Handler first, second;
    EXPECT_EQ(grammar_->RegisterExternalSymbol("calc.expr", &first), 1);
    EXPECT_EQ(grammar_->RegisterExternalSymbol("", &second), 1);
    EXPECT_EQ(grammar_->RegisterExternalSymbol(nullptr, &first), 1);
    EXPECT_EQ(grammar_->RegisterExternalSymbol("term", &first), 1);
    const auto& list = context().ExternalSymbols();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].symbol, expr_);
    EXPECT_EQ(list[0].handler, &first);
    EXPECT_EQ(list[1].symbol, 0) << "empty name: every external symbol";
    EXPECT_EQ(list[2].symbol, 0);
    grammar_->UnregisterExternalSymbol(&first);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].handler, &second) << "only the first registration goes";
    EXPECT_EQ(list[2].symbol, term_);
    grammar_->UnregisterExternalSymbol(nullptr);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(api_.GetNumErrors(), 0);
}

TEST_F(GrammarHandle, RegistrationsThatCannotBeMadePostTheirError)
{
    Handler handler;
    EventListener listener;
    EXPECT_EQ(grammar_->RegisterExternalSymbol("nosuch", &handler), 0);
    EXPECT_EQ(StrDetail(api_.GetLastError(), "SymbolName"), "nosuch");
    EXPECT_EQ(grammar_->RegisterExternalSymbol("expr", nullptr), 0);
    EXPECT_EQ(grammar_->RegisterEventListener("calc.nosuch", 2, &listener), 0);
    EXPECT_EQ(StrDetail(api_.GetLastError(), "SymbolName"), "calc.nosuch");
    EXPECT_EQ(grammar_->RegisterEventListener("expr", 2, nullptr), 0);
    EXPECT_EQ(ErrorCodes(api_), (std::vector<long>{1151, 1151, 1150, 1150}));
    EXPECT_TRUE(context().ExternalSymbols().empty());
    EXPECT_TRUE(context().EventListeners().empty());
}

TEST_F(GrammarHandle, EventListenersKeepTheirMask)
{
    EventListener a, b;
    EXPECT_EQ(grammar_->RegisterEventListener("expr", 2 | 4, &a), 1);
    EXPECT_EQ(grammar_->RegisterEventListener(nullptr, 0, &b), 1);
    EXPECT_EQ(grammar_->RegisterEventListener("term", 8, &a), 1);
    const auto& list = context().EventListeners();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].symbol, expr_);
    EXPECT_EQ(list[0].eventMask, 6);
    EXPECT_EQ(list[1].symbol, 0);
    EXPECT_EQ(list[1].eventMask, 0);
    grammar_->UnregisterEventListener(&a);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].symbol, term_);
}

TEST_F(GrammarHandle, PositionAndYieldListenersAttachToTheGrammar)
{
    PositionListener p, q;
    EXPECT_EQ(context().RegisterPositionListener(0, &p), 1);
    EXPECT_EQ(context().RegisterPositionListener(17, &q), 1);
    EXPECT_EQ(context().RegisterPositionListener(5, &p), 1);
    EXPECT_EQ(context().RegisterPositionListener(5, nullptr), 0);
    context().UnregisterPositionListener(&p);
    const auto& list = context().PositionListeners();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].position, 17);
    EXPECT_EQ(list[1].position, 5);

    YieldListener yield;
    auto* imp = static_cast<GrammarImp*>(grammar_.get());
    imp->SetYieldListener(&yield);
    EXPECT_EQ(context().GetYieldListener(), &yield);
    imp->SetYieldListener(nullptr);
    EXPECT_EQ(context().GetYieldListener(), nullptr);
}

TEST(GrammarImpCreation, AGrammarOwnsItsContext)
{
    LexoraAPI api;
    EXPECT_EQ(GrammarImp::CreateNew(nullptr, &api), nullptr);
    GrammarImp* grammar = GrammarImp::CreateNew(GrammarContext::CreateNew(), &api);
    ASSERT_NE(grammar, nullptr);
    EXPECT_EQ(grammar->GetAPI(), &api);
    EXPECT_EQ(grammar->GetContext()->GetState().header.version, 7);
    EXPECT_NE(grammar->GetContext()->GetState().header.created, 0);
    GrammarImp::Delete(grammar);
    api.UnloadGrammar(nullptr);
    GrammarContext::Delete(nullptr);
}

}  // namespace
