// Context: the namespace of a compiled grammar. A tree of named contexts (grammars,
// symbols, reserved names such as "<START>"), the table of names, the parent paths
// through which a context sees the names of others, and the byte code that contexts'
// values point into. A loaded grammar is a GrammarContext (grammar_context.h); the
// grammar file is a memory image of one.
#pragma once

#include <memory>

#include "lxra101/lxra101_export.h"

class LXError;
class LXErrorManager;

class LXRA101_API Context {
public:
    // Empties everything, then holds the name "<NULL>" (id 0), context 0 and a byte code
    // of one zero byte.
    void ResetContext();
    // Appends a context (value 0, no parent paths) and returns its index. At 1024
    // contexts posts 1253 and returns 0; a parent that is not yet a context, or a name
    // or kind that is not a name id, posts 1001 and returns 0.
    long CreateContext(long nameId, long parent, long kind);
    // A context's value is the byte-code offset of its production (0: none).
    void SetValue(long ctx, long value);
    long GetValue(long ctx) const;
    // Adds a parent path of n name ids (at most 8) to the context; a context holds at
    // most 8 paths (1254 / 1255 otherwise) and at most 63 contexts hold paths (1263).
    void SetParentContext(long ctx, long* path, long n);

    // Null for an id outside the names.
    const char* GetName(long id) const;
    // Id of a name equal without regard to case, searching from id 1; 0 when absent.
    long LookupName(const char* name) const;
    // LookupName, or a new name when absent.
    long GetNameID(const char* name);
    long GetContextNameID(long ctx) const;
    const char* GetContextName(long ctx) const;

    long FindSuperContext(long ctx) const;
    // 1 when a lies on the chain of b's parents (which ends at 0), else 0.
    int IsAncestor(long a, long b) const;
    // The first child of parent (in index order) with that name; 0 when none.
    long FindSubcontext(long parent, long nameId) const;
    // FindSubcontext, else the same search in each child of ctx, depth first.
    long FindSubcontextRecursive(long ctx, long nameId) const;
    // The parent, or, for a context with parent paths, the target of its first path.
    long FindOuterContext(long ctx) const;

    // Name lookup from ctx: its children, then outwards through its parents, parent
    // paths acting as imported scopes. 0 when not found.
    long Resolve(long ctx, long nameId) const;
    // Qualified lookup: each id from the context reached so far.
    long Resolve(long ctx, const long* ids, long n) const;
    // A dotted name of at most 128 parts.
    long Resolve(long ctx, const char* name) const;
    // Names of ctx's ancestors below stop (context 0 left out), outermost first, then
    // ctx's own name, joined by "."; at most size - 1 characters.
    const char* BuildQualifiedName(long ctx, long stop, char* buf, long size) const;

    // Orders the index that FindSubcontext searches. Contexts created later drop the
    // index until the next sort, so lookups never miss them.
    void SortContexts();
    // Doubles the byte-code storage until it exceeds n bytes; returns its size, or 0
    // (posting 1250) when it cannot grow.
    long CheckByteCodesAllocation(long n);

    // Where conditions are posted; null posts nothing.
    void SetErrorManager(LXErrorManager* manager);
    LXErrorManager* GetErrorManager() const;

    // The grammar image: write 1 writes the file, write 0 replaces this context with
    // the file's (1105 posted when the image is not valid). 1 on success, else 0.
    int Serialize(const char* path, int write);
    // Reads an image from memory; it must carry the marker text (1105 otherwise).
    int SerializeFromBuffer(const char* data);

    // The members below serve the runtime itself and are not exported.

    // Everything the file image holds, and the sorted index (grammar/context_state.h).
    struct State;
    State& GetState() { return *state_; }
    const State& GetState() const { return *state_; }

    LXRA101_INTERNAL long GetNumContexts() const;
    LXRA101_INTERNAL long GetNumNames() const;
    LXRA101_INTERNAL long GetContextKind(long ctx) const;
    // Byte code: the loaded instructions followed by those appended for one parse.
    LXRA101_INTERNAL const char* GetByteCode() const;
    LXRA101_INTERNAL long GetByteCodeLength() const;
    // Appends n bytes and returns their offset; 0 (1250 posted) when storage cannot grow.
    LXRA101_INTERNAL long AppendByteCode(const char* bytes, long n);
    // Cuts the byte code back to length bytes (never lengthens it).
    LXRA101_INTERNAL void SetByteCodeLength(long length);
    // The header's start symbol, or the first symbol of the grammar's last nested
    // grammar (or of context 1); 0 when there is none.
    LXRA101_INTERNAL long GetDefaultStartSymbol() const;
    // Qualified lookup from scope, as Resolve does, for a reference made inside the
    // production of referencingContext: where a context has two or more parent paths,
    // only a path whose target is related to referencingContext's parent P is followed
    // (equal to P, an ancestor or descendant of it, or related to a target of P's own
    // parent paths).
    LXRA101_INTERNAL long ResolveReference(long scope, const long* ids, long n, long referencingContext) const;
    // Reads an image held in memory whose size is known; every count is checked against
    // that size. No marker is required.
    LXRA101_INTERNAL int ReadImage(const char* data, long size);
    // Posts code when an error manager is set; null otherwise.
    LXRA101_INTERNAL LXError* Post(long code) const;

    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

protected:
    LXRA101_INTERNAL Context();
    LXRA101_INTERNAL virtual ~Context();

private:
    std::unique_ptr<State> state_;
    LXErrorManager* errorManager_ = nullptr;
};
