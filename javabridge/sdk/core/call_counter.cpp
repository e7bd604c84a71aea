#include "core/call_counter.h"

#include <atomic>

namespace dactis {
namespace {

std::atomic<long> calls{0};

}  // namespace

void CountSdkCall()
{
    calls.fetch_add(1, std::memory_order_relaxed);
}

long SdkCalls()
{
    return calls.load(std::memory_order_relaxed);
}

}  // namespace dactis
