// The input reader through a stream without a buffer (a file stream): bytes come from
// Seek and GetChar, literals from GetPointer.
#pragma once

#include "scan/reader_common.h"

namespace lxra {

class StreamReader final : public ReaderCommon {
public:
    StreamReader(LXInputStream* stream, long length) : ReaderCommon(stream, length) {}

    char CharAt(long pos) override;
    long ReadAt(char* dst, long pos, long n) override;
    long Span(const char* set, long pos) override;
    long ScanPredefined(long type, long pos, long maxLen, long* code) override;
    const char* GetPointer(long pos, long n) override;

protected:
    const char* BytesAt(long pos, long n) override;
};

}  // namespace lxra
