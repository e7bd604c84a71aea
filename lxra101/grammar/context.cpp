#include "lxra101/context.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "core/ascii_case.h"
#include "grammar/context_search.h"
#include "lxra101/lx_error.h"

namespace lxra {

namespace {

constexpr long kErrorTooManyContexts = 1253;
constexpr long kErrorPathTooLong = 1254;
constexpr long kErrorTooManyPaths = 1255;
constexpr long kErrorTooManyParentRecords = 1263;
constexpr long kErrorInternal = 1001;
constexpr long kErrorMemory = 1250;

bool IsNameId(const Context::State& state, long id)
{
    return id >= 0 && static_cast<size_t>(id) < state.names.size();
}

// Children of parent in index order: the run of the sorted index that has that parent,
// or, without the index, a scan of the table. Context 0, its own parent, is left out.
template <typename Visit>
long ForEachChild(const Context::State& state, long parent, long& work, Visit visit)
{
    if (!state.sortedIndex.empty()) {
        auto first = std::lower_bound(state.sortedIndex.begin(), state.sortedIndex.end(), parent,
                                      [&](int32_t ctx, long p) { return state.contexts[ctx].parent < p; });
        for (auto it = first; it != state.sortedIndex.end() && state.contexts[*it].parent == parent; ++it) {
            ++work;
            if (*it != 0) {
                if (const long found = visit(static_cast<long>(*it)); found != 0) {
                    return found;
                }
            }
        }
        return 0;
    }
    for (long ctx = 1; ctx < state.contextCount; ++ctx) {
        ++work;
        if (state.contexts[static_cast<size_t>(ctx)].parent == parent) {
            if (const long found = visit(ctx); found != 0) {
                return found;
            }
        }
    }
    return 0;
}

}  // namespace

long FindName(const Context::State& state, std::string_view name)
{
    for (size_t id = 1; id < state.names.size(); ++id) {
        if (SameTextIgnoringCase(state.names[id], name)) {
            return static_cast<long>(id);
        }
    }
    return 0;
}

long FindChild(const Context::State& state, long parent, long nameId, long& work)
{
    return ForEachChild(state, parent, work,
                        [&](long ctx) { return state.contexts[static_cast<size_t>(ctx)].nameId == nameId ? ctx : 0; });
}

long FindChildRecursive(const Context::State& state, long ctx, long nameId, long& work, long workLimit)
{
    if (work > workLimit) {
        return 0;
    }
    if (const long found = FindChild(state, ctx, nameId, work); found != 0) {
        return found;
    }
    return ForEachChild(state, ctx, work, [&](long child) {
        return child != ctx ? FindChildRecursive(state, child, nameId, work, workLimit) : 0;
    });
}

bool IsAncestorOf(const Context::State& state, long a, long b)
{
    if (!IsContext(state, b)) {
        return a == 0;
    }
    for (long ctx = b; ctx != 0;) {
        ctx = ParentOf(state, ctx);
        if (ctx == a) {
            return true;
        }
    }
    return a == 0;
}

}  // namespace lxra

using lxra::IsContext;

Context::Context() : state_(std::make_unique<State>())
{
    state_->code.resize(lxra::kInitialByteCodeStorage);
}

Context::~Context() = default;

LXError* Context::Post(long code) const
{
    return errorManager_ != nullptr ? errorManager_->ThrowError(code) : nullptr;
}

void Context::ResetContext()
{
    State& s = *state_;
    s.contextCount = 0;
    s.records = {};
    s.nextRecord = 1;
    s.sortedIndex.clear();
    s.names.clear();
    try {
        s.names.emplace_back("<NULL>");
    } catch (const std::bad_alloc&) {
        Post(lxra::kErrorMemory);
    }
    s.contexts[0] = lxra::ContextEntry{};
    s.contextCount = 1;
    if (s.code.empty() && CheckByteCodesAllocation(1) == 0) {
        s.codeLength = 0;
        return;
    }
    s.code[0] = 0;
    s.codeLength = 1;
}

long Context::CreateContext(long nameId, long parent, long kind)
{
    State& s = *state_;
    if (s.contextCount >= lxra::kMaxContexts) {
        Post(lxra::kErrorTooManyContexts);
        return 0;
    }
    // A parent created later would let parent chains loop.
    if (!IsContext(s, parent) || !lxra::IsNameId(s, nameId) || !lxra::IsNameId(s, kind)) {
        Post(lxra::kErrorInternal);
        return 0;
    }
    const long ctx = s.contextCount++;
    s.contexts[static_cast<size_t>(ctx)] = lxra::ContextEntry{
        static_cast<int32_t>(nameId), static_cast<int32_t>(parent), static_cast<int32_t>(kind), 0, 0};
    // The index no longer covers every context; searches scan the table until the next sort.
    s.sortedIndex.clear();
    return ctx;
}

void Context::SetValue(long ctx, long value)
{
    if (IsContext(*state_, ctx) && value >= 0 && value <= std::numeric_limits<int32_t>::max()) {
        state_->contexts[static_cast<size_t>(ctx)].value = static_cast<int32_t>(value);
    }
}

long Context::GetValue(long ctx) const
{
    return IsContext(*state_, ctx) ? state_->contexts[static_cast<size_t>(ctx)].value : 0;
}

void Context::SetParentContext(long ctx, long* path, long n)
{
    State& s = *state_;
    if (!IsContext(s, ctx) || path == nullptr || n <= 0) {
        return;
    }
    if (n > lxra::kMaxPathLength) {
        Post(lxra::kErrorPathTooLong);
        return;
    }
    if (!std::all_of(path, path + n, [&](long id) { return lxra::IsNameId(s, id); })) {
        Post(lxra::kErrorInternal);
        return;
    }
    lxra::ContextEntry& entry = s.contexts[static_cast<size_t>(ctx)];
    if (entry.parentRecord != 0 &&
        s.records[static_cast<size_t>(entry.parentRecord)].pathCount >= lxra::kMaxParentPaths) {
        Post(lxra::kErrorTooManyPaths);
        return;
    }
    if (entry.parentRecord == 0) {
        if (s.nextRecord > lxra::kMaxParentRecords) {
            Post(lxra::kErrorTooManyParentRecords);
            return;
        }
        entry.parentRecord = static_cast<int32_t>(s.nextRecord++);
        s.records[static_cast<size_t>(entry.parentRecord)] = lxra::ParentRecord{};
    }
    lxra::ParentRecord& record = s.records[static_cast<size_t>(entry.parentRecord)];
    lxra::ParentPath& added = record.paths[static_cast<size_t>(record.pathCount++)];
    added.length = static_cast<int32_t>(n);
    for (long i = 0; i < n; ++i) {
        added.ids[static_cast<size_t>(i)] = static_cast<int32_t>(path[i]);
    }
}

const char* Context::GetName(long id) const
{
    return lxra::IsNameId(*state_, id) ? state_->names[static_cast<size_t>(id)].c_str() : nullptr;
}

long Context::LookupName(const char* name) const
{
    return name != nullptr ? lxra::FindName(*state_, name) : 0;
}

long Context::GetNameID(const char* name)
{
    if (name == nullptr) {
        return 0;
    }
    if (const long id = LookupName(name); id != 0) {
        return id;
    }
    try {
        state_->names.emplace_back(name);
    } catch (const std::bad_alloc&) {
        Post(lxra::kErrorMemory);
        return 0;
    }
    return static_cast<long>(state_->names.size()) - 1;
}

long Context::GetContextNameID(long ctx) const
{
    return IsContext(*state_, ctx) ? state_->contexts[static_cast<size_t>(ctx)].nameId : 0;
}

const char* Context::GetContextName(long ctx) const
{
    return IsContext(*state_, ctx) ? GetName(GetContextNameID(ctx)) : nullptr;
}

long Context::FindSuperContext(long ctx) const
{
    return lxra::ParentOf(*state_, ctx);
}

int Context::IsAncestor(long a, long b) const
{
    return lxra::IsAncestorOf(*state_, a, b) ? 1 : 0;
}

long Context::FindSubcontext(long parent, long nameId) const
{
    long work = 0;
    return lxra::FindChild(*state_, parent, nameId, work);
}

long Context::FindSubcontextRecursive(long ctx, long nameId) const
{
    if (!IsContext(*state_, ctx)) {
        return 0;
    }
    long work = 0;
    return lxra::FindChildRecursive(*state_, ctx, nameId, work, std::numeric_limits<long>::max());
}

void Context::SortContexts()
{
    State& s = *state_;
    s.sortedIndex.clear();
    try {
        s.sortedIndex.resize(static_cast<size_t>(s.contextCount));
    } catch (const std::bad_alloc&) {
        return;  // searches scan the table instead
    }
    for (long i = 0; i < s.contextCount; ++i) {
        s.sortedIndex[static_cast<size_t>(i)] = static_cast<int32_t>(i);
    }
    std::stable_sort(s.sortedIndex.begin(), s.sortedIndex.end(),
                     [&](int32_t a, int32_t b) { return s.contexts[a].parent < s.contexts[b].parent; });
}

long Context::CheckByteCodesAllocation(long n)
{
    std::vector<char>& code = state_->code;
    const long size = lxra::GrownByteCodeStorage(static_cast<long>(code.size()), n);
    if (size == 0) {
        Post(lxra::kErrorMemory);
        return 0;
    }
    if (size != static_cast<long>(code.size())) {
        try {
            code.resize(static_cast<size_t>(size));
        } catch (const std::bad_alloc&) {
            Post(lxra::kErrorMemory);
            return 0;
        }
    }
    return size;
}

void Context::SetErrorManager(LXErrorManager* manager)
{
    errorManager_ = manager;
}

LXErrorManager* Context::GetErrorManager() const
{
    return errorManager_;
}

long Context::GetNumContexts() const
{
    return state_->contextCount;
}

long Context::GetNumNames() const
{
    return static_cast<long>(state_->names.size());
}

long Context::GetContextKind(long ctx) const
{
    return IsContext(*state_, ctx) ? state_->contexts[static_cast<size_t>(ctx)].kind : 0;
}

const char* Context::GetByteCode() const
{
    return state_->code.data();
}

long Context::GetByteCodeLength() const
{
    return state_->codeLength;
}

long Context::AppendByteCode(const char* bytes, long n)
{
    State& s = *state_;
    if (bytes == nullptr || n < 0) {
        return 0;
    }
    // Offset 0 means "none": it is never handed out for appended bytes.
    const long start = std::max(s.codeLength, 1L);
    if (CheckByteCodesAllocation(start + n) == 0) {
        return 0;
    }
    if (s.codeLength == 0) {
        s.code[0] = 0;
    }
    std::memcpy(s.code.data() + start, bytes, static_cast<size_t>(n));
    s.codeLength = start + n;
    return start;
}

void Context::SetByteCodeLength(long length)
{
    if (length >= 0 && length < state_->codeLength) {
        state_->codeLength = length;
    }
}

long Context::GetDefaultStartSymbol() const
{
    const State& s = *state_;
    if (s.header.startSymbol != 0 && IsContext(s, s.header.startSymbol)) {
        return s.header.startSymbol;
    }
    const long grammarKind = lxra::FindName(s, "grammar");
    const long symbolKind = lxra::FindName(s, "symbol");
    long grammar = 1;
    for (long ctx = s.contextCount - 1; grammarKind != 0 && ctx >= 2; --ctx) {
        const lxra::ContextEntry& entry = s.contexts[static_cast<size_t>(ctx)];
        if (entry.parent == 1 && entry.kind == grammarKind) {
            grammar = ctx;
            break;
        }
    }
    for (long ctx = 1; symbolKind != 0 && ctx < s.contextCount; ++ctx) {
        const lxra::ContextEntry& entry = s.contexts[static_cast<size_t>(ctx)];
        if (entry.parent == grammar && entry.kind == symbolKind) {
            return ctx;
        }
    }
    return 0;
}
