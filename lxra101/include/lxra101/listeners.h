// The interfaces a host program implements to take part in a parse. The parser calls
// them synchronously from its steps; they belong to the host, which keeps them alive
// while they are registered with a grammar (lx_grammar.h, grammar_context.h).
#pragma once

#include <cstdint>

#include "lxra101/lxra101_export.h"

class LXInputStream;
class LXParser;

// Matches a symbol the grammar declares external. Slot 0.
class LXRA101_API LXExternalSymbolHandler {
public:
    // The stream stands at the current position. Returns the number of characters
    // matched (at most maxLen), -1 for no match; any other negative value aborts the parse.
    virtual long MatchSymbol(long symbol, LXInputStream* stream, long maxLen, int matchCase, const char* spaceChars,
                             LXParser* parser) = 0;
    // After the published slot, so that it keeps its place.
    virtual ~LXExternalSymbolHandler();
};

// Told of a symbol's events: 1 pushed, 2 matched, 4 failed, 8 popped. Slot 1 (the
// destructor is slot 0).
class LXRA101_API LXEventListener {
public:
    virtual ~LXEventListener();
    // -1 vetoes a match (event 2) and stops the notification of further listeners.
    virtual long OnEvent(long symbol, long event, LXParser* parser) = 0;
};

// Told of each match that extends the furthest position the parse has reached. Slot 0.
class LXRA101_API LXPositionListener {
public:
    virtual void OnPosition(long pos, long length, LXParser* parser) = 0;
    virtual ~LXPositionListener();
};

// Called after every step whose count is a multiple of interval. Slot 0; the interval
// is a 32-bit field right after the object's virtual-table pointer.
class LXRA101_API LXYieldListener {
public:
    explicit LXYieldListener(long everySteps = 1) : interval(static_cast<int32_t>(everySteps)) {}
    // Non-zero aborts the parse.
    virtual long OnYield(long stepCount, LXParser* parser) = 0;
    virtual ~LXYieldListener();

    int32_t interval;
};
