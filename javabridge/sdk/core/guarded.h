// Runs the body of an exported function so that no C++ exception leaves the library:
// running out of memory becomes a result like any other failure.
#pragma once

#include <exception>

#include "core/call_counter.h"

namespace dactis {

template <class Body>
int GuardedCall(int failure, Body&& body) noexcept
{
    CountSdkCall();
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

}  // namespace dactis
