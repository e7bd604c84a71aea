// What a package holds, read through every volume without writing anything: each entry
// with its stored date and the sizes of its data, and every chunk checked on the way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/package_reader.h"

namespace torvik::package {

struct ListedEntry {
    std::string name;         // UTF-8
    int32_t date = 0;         // packed DOS date-time
    uint64_t size = 0;        // unpacked
    uint64_t packedSize = 0;  // chunk bytes in the package
};

struct PackageListing {
    PackageHeader header;
    std::vector<ListedEntry> entries;
    std::vector<std::string> volumes;  // the package file first
};

// Throws UpdaterError (PackageError for damage, with the detail of where) when the
// package cannot be read to its end.
PackageListing ListPackage(const std::string& packageFile);

}  // namespace torvik::package
