// Searches over a context table that the resolution code and the Context members share.
// Every context's parent has a smaller index (creation and loading both insist), so
// walks up the parent chain and down through children always end.
#pragma once

#include <string_view>

#include "grammar/context_state.h"

namespace lxra {

inline bool IsContext(const Context::State& state, long ctx)
{
    return ctx >= 0 && ctx < state.contextCount;
}

inline long ParentOf(const Context::State& state, long ctx)
{
    return IsContext(state, ctx) ? state.contexts[static_cast<size_t>(ctx)].parent : 0;
}

// Id of a name equal without regard to case, from id 1; 0 when absent.
long FindName(const Context::State& state, std::string_view name);

// The first child of parent with that name, in index order; 0 when none. Adds the
// number of contexts examined to work.
long FindChild(const Context::State& state, long parent, long nameId, long& work);

// FindChild, else the same search in each child of ctx, depth first. Gives up (0) once
// work exceeds workLimit.
long FindChildRecursive(const Context::State& state, long ctx, long nameId, long& work, long workLimit);

// 1 when a is on the chain of b's parents.
bool IsAncestorOf(const Context::State& state, long a, long b);

}  // namespace lxra
