// LXGrammar: a loaded grammar as host programs hold it (LexoraAPI::LoadGrammar).
// Names are resolved from context 1, the grammar itself; dotted names reach into
// nested grammars and symbols.
#pragma once

#include "lxra101/listeners.h"
#include "lxra101/lxra101_export.h"

class LXRA101_API LXGrammar {
public:
    // Virtual operations in their published slot order (0 .. 8); on Linux the
    // destructor (slot 0) takes two entries of the table.
    virtual ~LXGrammar();
    // Qualified name of the default start symbol; "" when the grammar has none.
    virtual const char* GetDefStartSymbolName(char* buf, long size) = 0;
    virtual const char* GetSymbolQualifiedName(long symbol, char* buf, long size) = 0;
    // The symbol a (dotted) name resolves to; 0 when none.
    virtual long GetSymbolID(const char* name) = 0;
    // A null or empty name registers for every external symbol. A name that does not
    // resolve posts 1151 (SymbolName) and gives 0.
    virtual int RegisterExternalSymbol(const char* name, LXExternalSymbolHandler* handler) = 0;
    // Removes the first registration of the handler.
    virtual void UnregisterExternalSymbol(LXExternalSymbolHandler* handler) = 0;
    // As RegisterExternalSymbol, for every symbol's events with a null or empty name;
    // eventMask 0 is every event; 1150 when the name does not resolve.
    virtual int RegisterEventListener(const char* name, long eventMask, LXEventListener* listener) = 0;
    virtual void UnregisterEventListener(LXEventListener* listener) = 0;
    // The literal of "<VERSION>", or of name + ".<VERSION>"; "" when there is none.
    virtual void GetVersionStr(const char* name, char* buf, unsigned size) = 0;
};
