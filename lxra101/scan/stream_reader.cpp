#include "scan/stream_reader.h"

#include <algorithm>
#include <cstring>

#include "scan/token_scan.h"

namespace lxra {

namespace {

// Literals are fetched at least this many bytes at a time.
constexpr long kLiteralFetch = 32;

// The stream's bytes one after another from a position, 0 at the end of the input.
// The stream is only asked for bytes that exist: some streams refuse to stand at the end.
class StreamCursor {
public:
    StreamCursor(LXInputStream* stream, long pos, long length) : stream_(stream), pos_(pos), length_(length)
    {
        if (pos_ >= 0 && pos_ < length_) {
            stream_->Seek(pos_);
        }
    }
    char Next()
    {
        if (pos_ < 0 || pos_ >= length_) {
            return 0;
        }
        ++pos_;
        return stream_->GetChar();
    }

private:
    LXInputStream* stream_;
    long pos_;
    long length_;
};

}  // namespace

char StreamReader::CharAt(long pos)
{
    return StreamCursor(stream_, pos, length_).Next();
}

long StreamReader::ReadAt(char* dst, long pos, long n)
{
    if (dst == nullptr || n <= 0 || pos < 0 || pos >= length_) {
        return 0;
    }
    stream_->Seek(pos);
    return stream_->Read(dst, std::min(n, length_ - pos));
}

long StreamReader::Span(const char* set, long pos)
{
    if (set == nullptr || pos < 0) {
        return 0;
    }
    StreamCursor cursor(stream_, pos, length_);
    long count = 0;
    for (char c = cursor.Next(); c != 0 && std::strchr(set, c) != nullptr; c = cursor.Next()) {
        ++count;
    }
    return count;
}

long StreamReader::ScanPredefined(long type, long pos, long maxLen, long* code)
{
    if (pos < 0 || pos > length_) {
        return 0;
    }
    StreamCursor cursor(stream_, pos, length_);
    return ScanTypeWith(cursor, type, ScanLimit(pos, maxLen), code);
}

const char* StreamReader::GetPointer(long pos, long n)
{
    return pos >= 0 && pos < length_ ? stream_->GetPointer(pos, n) : nullptr;
}

const char* StreamReader::BytesAt(long pos, long n)
{
    if (!Inside(pos, n)) {
        return nullptr;
    }
    if (n == 0) {
        return "";
    }
    return stream_->GetPointer(pos, std::max(n, kLiteralFetch));
}

}  // namespace lxra
