#include "biometrics/contexts.h"

#include <algorithm>

#include "core/immortal.h"
#include "dactis/dactis.h"

namespace dactis {

static_assert(DC_DEFAULT_CONTEXT == 0);

Biometrics& Biometrics::Instance()
{
    static Immortal<Biometrics> instance;
    return instance.get();
}

int Biometrics::Initialize()
{
    std::lock_guard lock(mutex_);
    if (initialized_) {
        return DC_OK;
    }
    initialized_ = true;
    nextId_ = DC_DEFAULT_CONTEXT + 1;
    Context context;
    context.verify = {DC_DEFAULT_VERIFY_THRESHOLD, DC_DEFAULT_VERIFY_ROTATION};
    context.identify = {DC_DEFAULT_IDENTIFY_THRESHOLD, DC_DEFAULT_IDENTIFY_ROTATION};
    contexts_.emplace(DC_DEFAULT_CONTEXT, std::move(context));
    return DC_OK;
}

int Biometrics::Finalize()
{
    std::lock_guard lock(mutex_);
    if (!initialized_) {
        return DC_ERROR_NOT_INITIALIZED;
    }
    initialized_ = false;
    contexts_.clear();
    return DC_OK;
}

int Biometrics::CreateContext(int& id)
{
    std::lock_guard lock(mutex_);
    if (!initialized_) {
        return DC_ERROR_NOT_INITIALIZED;
    }
    if (contexts_.size() >= DC_MAX_CONTEXTS) {
        return DC_ERROR_TOO_MANY_CONTEXTS;
    }
    // Ids are not reused while the SDK stays initialised: a stale id never reaches a new context.
    while (contexts_.count(nextId_) != 0 || nextId_ <= DC_DEFAULT_CONTEXT) {
        nextId_ = nextId_ <= DC_DEFAULT_CONTEXT ? DC_DEFAULT_CONTEXT + 1 : nextId_ + 1;
    }
    Context context;
    context.verify = {DC_DEFAULT_VERIFY_THRESHOLD, DC_DEFAULT_VERIFY_ROTATION};
    context.identify = {DC_DEFAULT_IDENTIFY_THRESHOLD, DC_DEFAULT_IDENTIFY_ROTATION};
    id = nextId_++;
    contexts_.emplace(id, std::move(context));
    return DC_OK;
}

int Biometrics::DestroyContext(int id)
{
    std::lock_guard lock(mutex_);
    int result = DC_OK;
    if (Find(id, result) == nullptr) {
        return result;
    }
    if (id == DC_DEFAULT_CONTEXT) {
        return DC_ERROR_INVALID_CONTEXT;
    }
    contexts_.erase(id);
    return DC_OK;
}

Biometrics::Context* Biometrics::Find(int id, int& result)
{
    if (!initialized_) {
        result = DC_ERROR_NOT_INITIALIZED;
        return nullptr;
    }
    const auto found = contexts_.find(id);
    if (found == contexts_.end()) {
        result = DC_ERROR_INVALID_CONTEXT;
        return nullptr;
    }
    result = DC_OK;
    return &found->second;
}

int Biometrics::CheckContext(int id)
{
    std::lock_guard lock(mutex_);
    int result = DC_OK;
    Find(id, result);
    return result;
}

int Biometrics::Parameters(int id, Comparison which, MatchParameters& parameters)
{
    std::lock_guard lock(mutex_);
    int result = DC_OK;
    if (Context* context = Find(id, result)) {
        parameters = which == Comparison::Verify ? context->verify : context->identify;
    }
    return result;
}

int Biometrics::SetParameters(int id, Comparison which, const MatchParameters& parameters)
{
    std::lock_guard lock(mutex_);
    int result = DC_OK;
    if (Context* context = Find(id, result)) {
        (which == Comparison::Verify ? context->verify : context->identify) = parameters;
    }
    return result;
}

int Biometrics::Prepare(int id, PreparedQuery query)
{
    std::lock_guard lock(mutex_);
    int result = DC_OK;
    if (Context* context = Find(id, result)) {
        context->prepared = std::move(query);
    }
    return result;
}

int Biometrics::Prepared(int id, PreparedQuery& query)
{
    std::lock_guard lock(mutex_);
    int result = DC_OK;
    Context* context = Find(id, result);
    if (context == nullptr) {
        return result;
    }
    if (!context->prepared) {
        return DC_ERROR_NOT_PREPARED;
    }
    query = *context->prepared;
    return DC_OK;
}

void Biometrics::Record(int id, ComparisonRecord record)
{
    std::lock_guard lock(mutex_);
    int result = DC_OK;
    if (Context* context = Find(id, result)) {
        context->last = std::move(record);
    }
}

std::vector<bool> Biometrics::MatchedMinutiae(int id, const std::vector<uint8_t>& templateBytes, size_t minutiae)
{
    std::lock_guard lock(mutex_);
    int result = DC_OK;
    Context* context = Find(id, result);
    if (context == nullptr) {
        return {};
    }
    const bool isQuery = context->last.query == templateBytes;
    const bool isReference = context->last.reference == templateBytes;
    if (!isQuery && !isReference) {
        return {};
    }
    std::vector<bool> matched(minutiae, false);
    for (const auto& [q, r] : context->last.pairs) {
        const auto index = static_cast<size_t>(isQuery ? q : r);
        if (index < minutiae) {
            matched[index] = true;
        }
    }
    return matched;
}

DisplayColours Biometrics::Colours()
{
    std::lock_guard lock(mutex_);
    return colours_;
}

void Biometrics::SetColours(const DisplayColours& colours)
{
    std::lock_guard lock(mutex_);
    colours_ = colours;
}

}  // namespace dactis
