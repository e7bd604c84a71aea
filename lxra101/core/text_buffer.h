// Filling caller-owned text buffers: never past size bytes, always NUL-terminated.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

namespace lxra {

// What a text-returning operation hands back when the caller's buffer cannot hold even
// the terminator (null buffer or size <= 0): nothing is written and the result is "".
inline const char* NoRoomResult()
{
    return "";
}

// Copies at most size - 1 characters of text into buf and terminates it. Returns buf,
// or NoRoomResult() when buf cannot hold a terminator.
inline const char* CopyTruncated(char* buf, long size, const char* text)
{
    if (buf == nullptr || size <= 0) {
        return NoRoomResult();
    }
    const size_t length = std::min(std::strlen(text), static_cast<size_t>(size - 1));
    std::memcpy(buf, text, length);
    buf[length] = '\0';
    return buf;
}

// Builds a text piece by piece in a caller's buffer of size bytes: whatever does not fit
// in size - 1 characters is dropped and the text stays terminated after every append.
class TextAppender {
public:
    // The buffer must hold at least one byte (check with NoRoomResult first).
    TextAppender(char* buf, size_t size) : buf_(buf), limit_(size - 1) { buf_[0] = '\0'; }

    void Append(std::string_view text)
    {
        const size_t count = std::min(text.size(), limit_ - used_);
        if (count > 0) {
            std::memcpy(buf_ + used_, text.data(), count);
        }
        used_ += count;
        buf_[used_] = '\0';
    }
    void Append(char c) { Append(std::string_view(&c, 1)); }
    // Appends text only when all of it fits, so that a piece is never shown cut.
    bool AppendWhole(std::string_view text)
    {
        if (text.size() > limit_ - used_) {
            return false;
        }
        Append(text);
        return true;
    }
    bool Full() const { return used_ == limit_; }

private:
    char* buf_;
    size_t limit_;
    size_t used_ = 0;
};

}  // namespace lxra
