// What the runtime's fuzz targets share: a rule check that stops the run with the rule
// broken, and one scratch file per fuzzing process.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace lxra::fuzzing {

inline void Check(bool ok, const char* rule)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz rule broken: %s\n", rule);
        std::abort();
    }
}

// A file of this process under /tmp, created once; suffix is kept at the end of its name.
inline const std::string& ScratchFile(const char* suffix = "")
{
    static const std::string path = [suffix] {
        std::string pattern = std::string("/tmp/lxra101-fuzz-XXXXXX") + suffix;
        const int fd = mkstemps(pattern.data(), static_cast<int>(std::string(suffix).size()));
        if (fd < 0) {
            std::abort();
        }
        close(fd);
        return pattern;
    }();
    return path;
}

}  // namespace lxra::fuzzing
