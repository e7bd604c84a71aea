#include "scan/buffer_reader.h"

#include <algorithm>
#include <cstring>

#include "scan/token_scan.h"

namespace lxra {

long BufferReader::ReadAt(char* dst, long pos, long n)
{
    if (dst == nullptr || n <= 0 || pos < 0 || pos >= length_) {
        return 0;
    }
    const long count = std::min(n, length_ - pos);
    std::memcpy(dst, buffer_ + pos, static_cast<size_t>(count));
    return count;
}

long BufferReader::Span(const char* set, long pos)
{
    if (set == nullptr || pos < 0) {
        return 0;
    }
    long count = 0;
    for (long p = pos; p < length_ && buffer_[p] != 0 && std::strchr(set, buffer_[p]) != nullptr; ++p) {
        ++count;
    }
    return count;
}

long BufferReader::ScanPredefined(long type, long pos, long maxLen, long* code)
{
    if (pos < 0 || pos > length_) {
        return 0;
    }
    PointerCursor cursor(buffer_ + pos, buffer_ + length_);
    return ScanTypeWith(cursor, type, ScanLimit(pos, maxLen), code);
}

int BufferReader::CompareRanges(long pos1, long pos2, long n, int matchCase)
{
    if (n <= 0) {
        return 0;
    }
    const char* first = BytesAt(pos1, n);
    const char* second = BytesAt(pos2, n);
    return first != nullptr && second != nullptr && SameBytes(first, second, n, matchCase != 0) ? 0 : 1;
}

const char* BufferReader::GetPointer(long pos, long /*n*/)
{
    return pos >= 0 && pos < length_ ? buffer_ + pos : nullptr;
}

}  // namespace lxra
