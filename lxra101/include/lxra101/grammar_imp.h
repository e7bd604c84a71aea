// GrammarImp: the runtime's LXGrammar, over the GrammarContext it owns. It posts into
// the LexoraAPI that loaded it, which must outlive it.
#pragma once

#include <cstddef>

#include "lxra101/grammar_context.h"
#include "lxra101/lx_grammar.h"
#include "lxra101/lxra101_export.h"

class LexoraAPI;

class LXRA101_API GrammarImp final : public LXGrammar {
public:
    // A grammar over context, which it now owns; null when context is null or memory
    // runs out (the context is then deleted).
    static GrammarImp* CreateNew(GrammarContext* context, LexoraAPI* api);
    static void Delete(GrammarImp* grammar);
    void GetVersionStr(const char* name, char* buf, unsigned size) override;
    // One yield listener per grammar; null removes it.
    void SetYieldListener(LXYieldListener* listener);

    LXRA101_INTERNAL ~GrammarImp() override;
    LXRA101_INTERNAL const char* GetDefStartSymbolName(char* buf, long size) override;
    LXRA101_INTERNAL const char* GetSymbolQualifiedName(long symbol, char* buf, long size) override;
    LXRA101_INTERNAL long GetSymbolID(const char* name) override;
    LXRA101_INTERNAL int RegisterExternalSymbol(const char* name, LXExternalSymbolHandler* handler) override;
    LXRA101_INTERNAL void UnregisterExternalSymbol(LXExternalSymbolHandler* handler) override;
    LXRA101_INTERNAL int RegisterEventListener(const char* name, long eventMask, LXEventListener* listener) override;
    LXRA101_INTERNAL void UnregisterEventListener(LXEventListener* listener) override;

    // The members below serve the runtime itself and are not exported.

    // Loading, reached through LexoraAPI (which clears its lists first). Null on
    // failure, with the errors posted to api.
    LXRA101_INTERNAL static LXGrammar* LoadGrammar(const char* path, LexoraAPI* api);
    // The image must hold as many bytes as its counts say: there is no size to check.
    LXRA101_INTERNAL static LXGrammar* LoadGrammarFromBuffer(const char* data, LexoraAPI* api);
    // The same for an image whose size is known, checked against it.
    LXRA101_INTERNAL static LXGrammar* LoadGrammarFromImage(const char* data, size_t size, LexoraAPI* api);

    GrammarContext* GetContext() const { return context_; }
    LexoraAPI* GetAPI() const { return api_; }

    GrammarImp(const GrammarImp&) = delete;
    GrammarImp& operator=(const GrammarImp&) = delete;

private:
    GrammarImp(GrammarContext* context, LexoraAPI* api) : context_(context), api_(api) {}

    GrammarContext* context_;
    LexoraAPI* api_;
};
