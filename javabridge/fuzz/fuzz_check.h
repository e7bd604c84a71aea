// The rule check of the SDK's fuzz targets: a broken rule stops the run with its text.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace dactis::fuzzing {

inline void Check(bool ok, const char* rule)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz rule broken: %s\n", rule);
        std::abort();
    }
}

}  // namespace dactis::fuzzing
