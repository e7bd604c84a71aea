// The operating-system side of the runtime's file access. Everything else in the
// runtime uses the C library's FILE streams through these few calls.
#pragma once

#include <cstdio>

namespace lxra::platform {

// Opens a file for binary reading; null when it cannot be opened or is a directory
// (a directory is not a file the runtime can read input or grammars from).
FILE* OpenForReading(const char* path);

// Last modification of an open file in seconds since 1970; 0 when it cannot be told.
unsigned long ModificationTime(FILE* file);

// True when the calling process may write to the file at path.
bool IsWritable(const char* path);

}  // namespace lxra::platform
