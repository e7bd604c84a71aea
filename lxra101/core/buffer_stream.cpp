#include "core/buffer_stream.h"

#include <algorithm>
#include <cstring>

namespace lxra {

BufferStreamImp::BufferStreamImp(const char* text, long length)
    : text_(text), length_(length != 0 ? length : static_cast<long>(std::strlen(text)))
{
}

long BufferStreamImp::GetLength()
{
    return length_;
}

char BufferStreamImp::GetChar()
{
    if (pos_ < 0 || pos_ >= length_) {
        return 0;
    }
    return text_[pos_++];
}

long BufferStreamImp::Read(char* buf, long n)
{
    if (buf == nullptr || n <= 0 || pos_ < 0 || pos_ >= length_) {
        return 0;
    }
    const long count = std::min(n, length_ - pos_);
    std::memcpy(buf, text_ + pos_, static_cast<size_t>(count));
    pos_ += count;
    return count;
}

long BufferStreamImp::Seek(long pos)
{
    if (pos >= 0 && pos < length_) {
        pos_ = pos;
    }
    return pos_;
}

long BufferStreamImp::GetPos()
{
    return pos_;
}

const char* BufferStreamImp::GetPointer(long pos, long /*n*/)
{
    // The end of the text is a valid place to point at (nothing may be read there);
    // anything further would point outside the caller's text.
    if (pos < 0 || pos > length_) {
        return nullptr;
    }
    return text_ + pos;
}

const char* BufferStreamImp::GetBuffer()
{
    return text_;
}

std::string_view BufferStreamImp::BytesFrom(long pos)
{
    if (pos < 0 || pos >= length_) {
        return {};
    }
    return {text_ + pos, static_cast<size_t>(length_ - pos)};
}

}  // namespace lxra
