// Load-time check of a grammar's byte code: every instruction reachable from a
// context's value lies wholly inside the byte code, and so does everything its operands
// point at (instructions, literals, name expressions, synchronisation tables). The
// parser can then follow any of them without checking again.
#pragma once

#include "grammar/context_state.h"

namespace lxra {

bool CheckByteCode(const Context::State& state);

}  // namespace lxra
