// Filling caller-owned text buffers: never past size bytes, always NUL-terminated.
#pragma once

#include <algorithm>
#include <cstring>

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

}  // namespace lxra
