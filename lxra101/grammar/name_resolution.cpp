// Name lookup through the context tree: children first, then outwards through the
// parents, a context's parent paths acting as imported scopes on the way.

#include <cstdint>
#include <string_view>

#include "core/text_buffer.h"
#include "grammar/context_search.h"
#include "lxra101/context.h"

namespace lxra {

namespace {

constexpr long kMaxNameParts = 128;
// Parent paths may import each other in circles. A lookup that comes back to itself
// (the same name from the same context) finds nothing new and stops there; lookups
// follow nested paths to this depth and examine at most this many contexts, beyond
// which the name does not resolve.
constexpr int kMaxNesting = 64;
constexpr long kWorkLimit = 1L << 20;

class Resolver {
public:
    // referenceParent >= 0 chooses between the parent paths of contexts that have two or
    // more: only a path whose target is related to referenceParent is followed.
    Resolver(const Context::State& state, long referenceParent) : s_(state), referenceParent_(referenceParent) {}

    long Name(long ctx, long nameId, bool filtered)
    {
        if (depth_ >= kMaxNesting || work_ > kWorkLimit) {
            return 0;
        }
        for (int i = 0; i < depth_; ++i) {
            if (active_[i].ctx == ctx && active_[i].nameId == nameId && active_[i].filtered == filtered) {
                return 0;
            }
        }
        active_[depth_++] = Lookup{ctx, nameId, filtered};
        const long found = NameLookup(ctx, nameId, filtered);
        --depth_;
        return found;
    }

    template <typename Id>
    long Path(long ctx, const Id* ids, long n, bool filtered)
    {
        if (ids == nullptr || n <= 0) {
            return 0;
        }
        for (long i = 0; i < n; ++i) {
            const long id = static_cast<long>(ids[i]);
            long next = Name(ctx, id, filtered);
            if (next == 0 && work_ <= kWorkLimit) {
                next = FindChildRecursive(s_, ctx, id, work_, kWorkLimit);
            }
            if (next == 0) {
                return 0;
            }
            ctx = next;
        }
        return ctx;
    }

    long Target(long ctx, const ParentPath& path, bool filtered)
    {
        return Path(ctx, path.ids.data(), path.length, filtered);
    }

private:
    struct Lookup {
        long ctx;
        long nameId;
        bool filtered;
    };

    long NameLookup(long ctx, long nameId, bool filtered)
    {
        if (!IsContext(s_, ctx)) {
            return 0;
        }
        if (const long child = FindChild(s_, ctx, nameId, work_); child != 0) {
            return child;
        }
        while (ctx != 0 && work_ <= kWorkLimit) {
            const long outer = ParentOf(s_, ctx);
            if (s_.contexts[static_cast<size_t>(outer)].nameId == nameId) {
                return outer;
            }
            if (const long imported = ThroughParentPaths(ctx, outer, nameId, filtered); imported != 0) {
                return imported;
            }
            if (const long child = FindChild(s_, outer, nameId, work_); child != 0) {
                return child;
            }
            ctx = outer;
        }
        return 0;
    }

    long ThroughParentPaths(long ctx, long outer, long nameId, bool filtered)
    {
        const int32_t recordIndex = s_.contexts[static_cast<size_t>(ctx)].parentRecord;
        if (recordIndex <= 0 || recordIndex > kMaxParentRecords) {
            return 0;
        }
        const ParentRecord& record = s_.records[static_cast<size_t>(recordIndex)];
        const bool choose = filtered && referenceParent_ >= 0 && record.pathCount >= 2;
        for (int32_t i = 0; i < record.pathCount && i < kMaxParentPaths; ++i) {
            const ParentPath& path = record.paths[static_cast<size_t>(i)];
            const long target = Target(outer, path, filtered);
            // A path that leads nowhere imports nothing.
            if (target == 0 || (choose && !Related(target, referenceParent_, 0))) {
                continue;
            }
            if (path.length > 0 && path.ids[0] == nameId) {
                return target;
            }
            if (const long found = Name(target, nameId, filtered); found != 0) {
                return found;
            }
        }
        return 0;
    }

    // Equal, one an ancestor of the other, or related to a target of ctx's parent paths.
    bool Related(long target, long ctx, int depth)
    {
        if (target == ctx || IsAncestorOf(s_, target, ctx) || IsAncestorOf(s_, ctx, target)) {
            return true;
        }
        const int32_t recordIndex = IsContext(s_, ctx) ? s_.contexts[static_cast<size_t>(ctx)].parentRecord : 0;
        if (recordIndex <= 0 || recordIndex > kMaxParentRecords || depth >= kMaxNesting) {
            return false;
        }
        const ParentRecord& record = s_.records[static_cast<size_t>(recordIndex)];
        for (int32_t i = 0; i < record.pathCount && i < kMaxParentPaths; ++i) {
            const long pathTarget = Target(ParentOf(s_, ctx), record.paths[static_cast<size_t>(i)], false);
            if (pathTarget != 0 && Related(target, pathTarget, depth + 1)) {
                return true;
            }
        }
        return false;
    }

    const Context::State& s_;
    long referenceParent_;
    Lookup active_[kMaxNesting];
    int depth_ = 0;
    long work_ = 0;
};

}  // namespace

}  // namespace lxra

long Context::Resolve(long ctx, long nameId) const
{
    return lxra::Resolver(*state_, -1).Name(ctx, nameId, false);
}

long Context::Resolve(long ctx, const long* ids, long n) const
{
    return lxra::Resolver(*state_, -1).Path(ctx, ids, n, false);
}

long Context::Resolve(long ctx, const char* name) const
{
    if (name == nullptr) {
        return 0;
    }
    long ids[lxra::kMaxNameParts];
    long count = 0;
    std::string_view rest(name);
    while (true) {
        const size_t dot = rest.find('.');
        const std::string_view part = rest.substr(0, dot);
        if (count == lxra::kMaxNameParts || part.empty()) {
            return 0;
        }
        ids[count] = lxra::FindName(*state_, part);
        if (ids[count++] == 0) {
            return 0;
        }
        if (dot == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(dot + 1);
    }
    return Resolve(ctx, ids, count);
}

long Context::ResolveReference(long scope, const long* ids, long n, long referencingContext) const
{
    const long referenceParent = lxra::ParentOf(*state_, referencingContext);
    return lxra::Resolver(*state_, referenceParent).Path(scope, ids, n, true);
}

long Context::FindOuterContext(long ctx) const
{
    const State& s = *state_;
    if (!lxra::IsContext(s, ctx)) {
        return 0;
    }
    const long outer = lxra::ParentOf(s, ctx);
    const int32_t recordIndex = s.contexts[static_cast<size_t>(ctx)].parentRecord;
    if (recordIndex <= 0 || recordIndex > lxra::kMaxParentRecords ||
        s.records[static_cast<size_t>(recordIndex)].pathCount <= 0) {
        return outer;
    }
    return lxra::Resolver(s, -1).Target(outer, s.records[static_cast<size_t>(recordIndex)].paths[0], false);
}

const char* Context::BuildQualifiedName(long ctx, long stop, char* buf, long size) const
{
    if (buf == nullptr || size <= 0) {
        return lxra::NoRoomResult();
    }
    lxra::TextAppender text(buf, static_cast<size_t>(size));
    const State& s = *state_;
    if (!lxra::IsContext(s, ctx)) {
        return buf;
    }
    long chain[lxra::kMaxContexts];
    long count = 0;
    if (ctx != stop) {
        for (long outer = lxra::ParentOf(s, ctx); outer != 0 && outer != stop; outer = lxra::ParentOf(s, outer)) {
            chain[count++] = outer;
        }
    }
    const auto nameOf = [&](long c) {
        const char* name = GetContextName(c);
        return std::string_view(name != nullptr ? name : "");
    };
    while (count > 0) {
        text.Append(nameOf(chain[--count]));
        text.Append('.');
    }
    text.Append(nameOf(ctx));
    return buf;
}
