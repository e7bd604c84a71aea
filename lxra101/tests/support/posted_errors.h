// The codes of the errors a runtime object or error manager holds, oldest first.
#pragma once

#include <string>
#include <vector>

#include "lxra101/lx_error.h"

namespace lxra::testing {

template <typename Holder>
std::vector<long> ErrorCodes(const Holder& holder)
{
    std::vector<long> codes;
    for (LXError* error = holder.GetLastError(); error != nullptr; error = holder.GetPrevError(error)) {
        codes.insert(codes.begin(), error->GetCode());
    }
    return codes;
}

inline std::string StrDetail(LXError* error, const char* name)
{
    const char* text = error != nullptr ? error->GetStrDetail(name) : nullptr;
    return text != nullptr ? text : "(none)";
}

}  // namespace lxra::testing
