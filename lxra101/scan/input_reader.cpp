#include <algorithm>
#include <cstring>

#include "core/ascii_case.h"
#include "core/little_endian.h"
#include "grammar/byte_code.h"
#include "scan/buffer_reader.h"
#include "scan/char_class.h"
#include "scan/reader_common.h"
#include "scan/stream_reader.h"

namespace lxra {

InputReader::~InputReader() = default;

std::unique_ptr<InputReader> CreateInputReader(LXInputStream* stream)
{
    if (stream == nullptr) {
        return nullptr;
    }
    const long length = std::max(stream->GetLength(), 0L);
    if (const char* buffer = stream->GetBuffer(); buffer != nullptr) {
        return std::unique_ptr<InputReader>(new (std::nothrow) BufferReader(stream, buffer, length));
    }
    return std::unique_ptr<InputReader>(new (std::nothrow) StreamReader(stream, length));
}

bool SameBytes(const char* a, const char* b, long n, bool matchCase)
{
    if (matchCase) {
        return std::memcmp(a, b, static_cast<size_t>(n)) == 0;
    }
    for (long i = 0; i < n; ++i) {
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) {
            return false;
        }
    }
    return true;
}

long ReaderCommon::ScanLimit(long pos, long maxLen) const
{
    return std::clamp(maxLen, 0L, std::max(length_ - pos, 0L));
}

long ReaderCommon::Match(const char* chars, long len, long pos, bool matchCase, bool delimiterCheck, bool& refused)
{
    refused = false;
    if (chars == nullptr || len <= 0) {
        return 0;
    }
    const char* input = BytesAt(pos, len);
    if (input == nullptr || !SameBytes(input, chars, len, matchCase)) {
        return 0;
    }
    // Taken before CharAt, which may move a stream's window.
    const char last = input[len - 1];
    if (delimiterCheck && DelimiterRefuses(last, CharAt(pos + len))) {
        refused = true;
        return 0;
    }
    return len;
}

long ReaderCommon::MatchLiteral(const char* chars, long len, long pos, int matchCase, int delimiterCheck, int* refused)
{
    bool wasRefused = false;
    const long matched = Match(chars, len, pos, matchCase != 0, delimiterCheck != 0, wasRefused);
    if (refused != nullptr) {
        *refused = wasRefused ? 1 : 0;
    }
    return matched;
}

long ReaderCommon::MatchStringList(std::string_view list, long pos, long maxLen, long required, int matchCase,
                                   int delimiterCheck, int* refused)
{
    if (refused != nullptr) {
        *refused = 0;
    }
    int32_t count = 0;
    if (maxLen < required || !ReadInt32At(list.data(), list.size(), 4, count)) {
        return 0;
    }
    LengthPrefixedTexts entries(list.substr(8), count);
    for (std::string_view entry; entries.Next(entry);) {
        const auto length = static_cast<long>(entry.size());
        if ((required != 0 && length != required) || length > maxLen) {
            continue;
        }
        bool wasRefused = false;
        if (const long matched = Match(entry.data(), length, pos, matchCase != 0, delimiterCheck != 0, wasRefused);
            matched > 0) {
            return matched;
        }
        if (wasRefused && refused != nullptr) {
            *refused = 1;
        }
    }
    return 0;
}

long ReaderCommon::FindLiteral(const char* chars, long len, long pos, long maxLen, int matchCase, int delimiterCheck,
                               int* refused)
{
    if (refused != nullptr) {
        *refused = 0;
    }
    if (chars == nullptr || pos < 0 || pos > length_ || maxLen < 0) {
        return -1;
    }
    if (len <= 0) {
        return pos;  // empty text is found where the search starts
    }
    const long last = std::min(pos + std::min(maxLen, length_), length_) - len;
    const char first = FoldAsciiCase(chars[0]);
    bool anyRefused = false;
    for (long p = pos; p <= last; ++p) {
        const char c = CharAt(p);
        if (matchCase != 0 ? c != chars[0] : FoldAsciiCase(c) != first) {
            continue;
        }
        bool wasRefused = false;
        if (Match(chars, len, p, matchCase != 0, delimiterCheck != 0, wasRefused) > 0) {
            return p;
        }
        anyRefused = anyRefused || wasRefused;
    }
    if (refused != nullptr) {
        *refused = anyRefused ? 1 : 0;
    }
    return -1;
}

int ReaderCommon::CompareRanges(long pos1, long pos2, long n, int matchCase)
{
    if (n <= 0) {
        return 0;
    }
    if (!Inside(pos1, n) || !Inside(pos2, n)) {
        return 1;
    }
    // Copied piece by piece: a stream may hold only one window at a time.
    char first[256];
    char second[256];
    for (long done = 0; done < n;) {
        const long chunk = std::min<long>(n - done, sizeof first);
        if (ReadAt(first, pos1 + done, chunk) != chunk || ReadAt(second, pos2 + done, chunk) != chunk ||
            !SameBytes(first, second, chunk, matchCase != 0)) {
            return 1;
        }
        done += chunk;
    }
    return 0;
}

int ReaderCommon::CompareText(const char* chars, long pos, long n, int matchCase)
{
    if (n <= 0) {
        return 0;
    }
    const char* input = chars != nullptr ? BytesAt(pos, n) : nullptr;
    return input != nullptr && SameBytes(input, chars, n, matchCase != 0) ? 0 : 1;
}

}  // namespace lxra
