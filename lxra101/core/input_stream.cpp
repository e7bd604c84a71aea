#include "core/input_stream.h"

#include <algorithm>
#include <cstring>

#include "core/text_buffer.h"

LXInputStream::~LXInputStream() = default;

namespace lxra {

void InputStreamImp::SetUserData(long value)
{
    userData_ = value;
}

long InputStreamImp::GetUserData()
{
    return userData_;
}

long InputStreamImp::CountLineFeeds(long end)
{
    long count = 0;
    for (long pos = 0; pos < end;) {
        std::string_view bytes = BytesFrom(pos);
        if (bytes.empty()) {
            break;
        }
        bytes = bytes.substr(0, static_cast<size_t>(end - pos));
        count += std::count(bytes.begin(), bytes.end(), '\n');
        pos += static_cast<long>(bytes.size());
    }
    return count;
}

long InputStreamImp::GetLineNumber(long pos)
{
    if (pos == -1) {
        pos = GetPos();
    }
    const long length = GetLength();
    if (pos < 0 || pos > length) {
        return 0;
    }
    // Bytes 0 .. pos inclusive; at pos == length that is the whole input.
    return 1 + CountLineFeeds(std::min(pos + 1, length));
}

long InputStreamImp::GetNumLines()
{
    return 1 + CountLineFeeds(GetLength());
}

long InputStreamImp::GetLinePos(long line)
{
    if (line < 1) {
        return -1;
    }
    const long length = GetLength();
    long lineFeedsToPass = line - 1;
    long pos = 0;
    while (lineFeedsToPass > 0 && pos < length) {
        const std::string_view bytes = BytesFrom(pos);
        if (bytes.empty()) {
            break;
        }
        const char* next = static_cast<const char*>(std::memchr(bytes.data(), '\n', bytes.size()));
        if (next == nullptr) {
            pos += static_cast<long>(bytes.size());
            continue;
        }
        pos += static_cast<long>(next - bytes.data()) + 1;
        --lineFeedsToPass;
    }
    return lineFeedsToPass == 0 ? pos : length;
}

const char* InputStreamImp::GetLine(long line, char* buf, long size)
{
    if (buf == nullptr || size <= 0) {
        return NoRoomResult();
    }
    buf[0] = '\0';
    if (line < 1) {
        return buf;
    }
    long used = 0;
    for (long pos = GetLinePos(line); used < size - 1;) {
        const std::string_view bytes = BytesFrom(pos);
        if (bytes.empty()) {
            break;
        }
        size_t i = 0;
        for (; i < bytes.size() && bytes[i] != '\n' && used < size - 1; ++i) {
            if (bytes[i] != '\r') {
                buf[used++] = bytes[i];
            }
        }
        if (i < bytes.size()) {
            break;  // reached the line feed or filled the buffer
        }
        pos += static_cast<long>(bytes.size());
    }
    buf[used] = '\0';
    return buf;
}

}  // namespace lxra
