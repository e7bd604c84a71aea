// ParserInterface: the parser facade of the runtime. Its static file helpers work
// without a parser.
#pragma once

#include "lxra101/lxra101_export.h"

class LXRA101_API ParserInterface {
public:
    static long GetFileSize(const char* path);
    static long LoadFile(const char* path, char* buf, long size);
};
