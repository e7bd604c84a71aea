// File helpers shared by the runtime and its host programs.
#pragma once

#include <cstdio>

#include "lxra101/lxra101_export.h"

// 1 when the file can be opened for reading; 0 for a null or empty path.
LXRA101_API int CheckFileExists(const char* path);
// Size found by seeking to the end; the file position is restored. 0 for null.
LXRA101_API long GetFileSize(FILE* file);
// 0 for a null or empty path or a file that cannot be read.
LXRA101_API long GetFileSize(const char* path);
// Number of lines of the file as a file stream counts them; 0 when it cannot be opened.
LXRA101_API long GetFileNumLines(const char* path);
// Reads at most size - 1 bytes into buf and NUL-terminates; returns the number read.
LXRA101_API long LoadBufferFromFile(const char* path, char* buf, long size);
// Creates or truncates the file and writes n bytes; returns the number written.
LXRA101_API long WriteBufferToFile(const char* path, const char* data, long n);
// The whole file, NUL-terminated, or null when nothing could be read.
// The caller releases it with ::operator delete.
LXRA101_API char* LoadFile(const char* path);
// Last modification in seconds since 1970; 0 when the file cannot be opened.
LXRA101_API unsigned long GetLastModTime(const char* path);
// 1 when the path is not empty and cannot be written (a missing file counts).
LXRA101_API int IsReadOnlyFile(const char* path);

// The runtime's version number, 112402.
LXRA101_API long __GetLxraLibVersion();
