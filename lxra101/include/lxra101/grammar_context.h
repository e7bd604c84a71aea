// GrammarContext: a Context with the registrations that hang off a loaded grammar
// (external symbol handlers, event, position and yield listeners) and the printed
// forms of its instructions.
#pragma once

#include <vector>

#include "lxra101/context.h"
#include "lxra101/listeners.h"
#include "lxra101/lxra101_export.h"

class LXRA101_API GrammarContext : public Context {
public:
    // An empty context (version 7, created now) with its byte-code storage; null when
    // memory runs out.
    static GrammarContext* CreateNew();
    static void Delete(GrammarContext* context);

    // The opcode at a byte-code offset; -1 where no instruction can be.
    long GetSymbolType(long offset) const;
    // The instruction at offset as the runtime prints it ("calc.expr", "{\"ab\"}",
    // "<conjunction>" ...); at most size - 1 characters. An offset that holds no
    // instruction (0 among them) posts 1256 and gives "".
    const char* GetSymbolName(long offset, char* buf, long size);
    void GetVersionStr(const char* name, char* buf, unsigned size) const;
    // position 0 is every match. 1, or 0 for a null listener.
    int RegisterPositionListener(long position, LXPositionListener* listener);
    // Removes the first registration of the listener.
    void UnregisterPositionListener(LXPositionListener* listener);

    // The members below serve the runtime itself and are not exported.

    // Flags of a loaded grammar.
    static constexpr unsigned long kSequencesHaveSyncTables = 1;  // version 7
    static constexpr unsigned long kCompiledWithErrors = 2;       // the header's invalid flag
    unsigned long GetFlags() const { return flags_; }
    void SetFlags(unsigned long flags) { flags_ = flags; }

    // Symbol 0 stands for every symbol; event mask 0 for every event. Lists are kept in
    // registration order.
    struct ExternalSymbolRegistration {
        long symbol;
        LXExternalSymbolHandler* handler;
    };
    struct EventListenerRegistration {
        long symbol;
        long eventMask;
        LXEventListener* listener;
    };
    struct PositionListenerRegistration {
        long position;
        LXPositionListener* listener;
    };
    // Each adds one registration; false when memory runs out.
    LXRA101_INTERNAL bool AddExternalSymbol(long symbol, LXExternalSymbolHandler* handler);
    LXRA101_INTERNAL void RemoveExternalSymbol(LXExternalSymbolHandler* handler);
    LXRA101_INTERNAL bool AddEventListener(long symbol, long eventMask, LXEventListener* listener);
    LXRA101_INTERNAL void RemoveEventListener(LXEventListener* listener);
    const std::vector<ExternalSymbolRegistration>& ExternalSymbols() const { return externalSymbols_; }
    const std::vector<EventListenerRegistration>& EventListeners() const { return eventListeners_; }
    const std::vector<PositionListenerRegistration>& PositionListeners() const { return positionListeners_; }
    void SetYieldListener(LXYieldListener* listener) { yieldListener_ = listener; }
    LXYieldListener* GetYieldListener() const { return yieldListener_; }

private:
    LXRA101_INTERNAL GrammarContext();
    LXRA101_INTERNAL ~GrammarContext() override;

    unsigned long flags_ = 0;
    std::vector<ExternalSymbolRegistration> externalSymbols_;
    std::vector<EventListenerRegistration> eventListeners_;
    std::vector<PositionListenerRegistration> positionListeners_;
    LXYieldListener* yieldListener_ = nullptr;
};
