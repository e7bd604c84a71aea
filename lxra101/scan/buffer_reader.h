// The input reader over a stream's whole buffer: scanners and comparisons run in place.
#pragma once

#include "scan/reader_common.h"

namespace lxra {

class BufferReader final : public ReaderCommon {
public:
    BufferReader(LXInputStream* stream, const char* buffer, long length) : ReaderCommon(stream, length), buffer_(buffer)
    {
    }

    char CharAt(long pos) override { return pos >= 0 && pos < length_ ? buffer_[pos] : 0; }
    long ReadAt(char* dst, long pos, long n) override;
    long Span(const char* set, long pos) override;
    long ScanPredefined(long type, long pos, long maxLen, long* code) override;
    int CompareRanges(long pos1, long pos2, long n, int matchCase) override;
    const char* GetPointer(long pos, long n) override;

protected:
    const char* BytesAt(long pos, long n) override { return Inside(pos, n) ? buffer_ + pos : nullptr; }

private:
    const char* buffer_;
};

}  // namespace lxra
