// The interfaces' destructors: defined here so that their virtual tables and type
// information live in the library, for host classes that implement them.

#include "lxra101/listeners.h"

#include "lxra101/lx_grammar.h"

LXGrammar::~LXGrammar() = default;
LXExternalSymbolHandler::~LXExternalSymbolHandler() = default;
LXEventListener::~LXEventListener() = default;
LXPositionListener::~LXPositionListener() = default;
LXYieldListener::~LXYieldListener() = default;
