// What a Context holds: the contents of a grammar image and the sorted index.
#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "grammar/grammar_layout.h"
#include "lxra101/context.h"

struct Context::State {
    lxra::GrammarHeader header;

    std::array<lxra::ContextEntry, lxra::kMaxContexts> contexts{};
    long contextCount = 0;

    // Name id = index. A deque keeps every name where it is as names are added, so the
    // texts GetName hands out stay valid.
    std::deque<std::string> names;

    // Index 0 is never used; nextRecord is the next one to hand out.
    std::array<lxra::ParentRecord, lxra::kMaxParentRecords + 1> records{};
    long nextRecord = 1;

    // Storage (its size is the allocated size) and the length in use.
    std::vector<char> code;
    long codeLength = 0;

    // Context indexes ordered by parent, then index; empty when not sorted.
    std::vector<int32_t> sortedIndex;
};
