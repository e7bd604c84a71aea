#include "core/file_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "lxra101/file_helpers.h"
#include "platform/file_access.h"

namespace lxra {

FileStreamImp* FileStreamImp::Open(const char* path, long windowSize)
{
    if (path == nullptr || path[0] == '\0') {
        return nullptr;
    }
    FILE* file = platform::OpenForReading(path);
    if (file == nullptr) {
        return nullptr;
    }
    const long length = ::GetFileSize(file);
    if (windowSize <= 0) {
        windowSize = kDefaultWindowSize;
    }
    // A window larger than the file would only hold NULs.
    windowSize = std::clamp(windowSize, 1L, std::max(length, 1L));
    auto* stream = new (std::nothrow) FileStreamImp(file, length, windowSize);
    if (stream == nullptr) {
        std::fclose(file);
        return nullptr;
    }
    if (stream->window_ == nullptr) {
        delete stream;
        return nullptr;
    }
    return stream;
}

FileStreamImp::FileStreamImp(FILE* file, long length, long windowSize)
    : file_(file), length_(length), windowSize_(windowSize), window_(new (std::nothrow) char[windowSize + 1]())
{
}

FileStreamImp::~FileStreamImp()
{
    std::fclose(file_);
}

bool FileStreamImp::WindowHolds(long pos, long span) const
{
    return pos >= windowStart_ && pos - windowStart_ < windowValid_ && span <= windowStart_ + windowValid_ - pos;
}

bool FileStreamImp::FillWindowAt(long pos, long span)
{
    if (span > windowSize_) {
        long size = windowSize_;
        while (size < span) {
            size *= 2;
        }
        std::unique_ptr<char[]> larger(new (std::nothrow) char[size + 1]);
        if (larger == nullptr) {
            return false;
        }
        window_ = std::move(larger);
        windowSize_ = size;
    }
    windowStart_ = pos;
    windowValid_ = 0;
    // The input is the file as long as it was when opened, even if it grows since.
    if (std::fseek(file_, pos, SEEK_SET) == 0) {
        const long wanted = std::min(windowSize_, length_ - pos);
        windowValid_ = static_cast<long>(std::fread(window_.get(), 1, static_cast<size_t>(wanted), file_));
    }
    std::memset(window_.get() + windowValid_, 0, windowSize_ + 1 - windowValid_);
    return windowValid_ > 0;
}

long FileStreamImp::GetLength()
{
    return length_;
}

char FileStreamImp::GetChar()
{
    if (pos_ < 0 || pos_ >= length_) {
        return 0;
    }
    if (!WindowHolds(pos_, 1) && !FillWindowAt(pos_, 1)) {
        return 0;
    }
    return window_[pos_++ - windowStart_];
}

long FileStreamImp::Read(char* buf, long n)
{
    if (buf == nullptr || n <= 0 || pos_ < 0 || pos_ >= length_) {
        return 0;
    }
    // Copied window by window: a long read does not enlarge the window.
    long copied = 0;
    n = std::min(n, length_ - pos_);
    while (copied < n) {
        if (!WindowHolds(pos_, 1) && !FillWindowAt(pos_, 1)) {
            break;
        }
        const long chunk = std::min(n - copied, windowStart_ + windowValid_ - pos_);
        std::memcpy(buf + copied, window_.get() + (pos_ - windowStart_), static_cast<size_t>(chunk));
        copied += chunk;
        pos_ += chunk;
    }
    return copied;
}

long FileStreamImp::Seek(long pos)
{
    pos_ = pos;
    return pos_;
}

long FileStreamImp::GetPos()
{
    return pos_;
}

const char* FileStreamImp::GetPointer(long pos, long n)
{
    if (pos < 0 || pos >= length_) {
        return nullptr;
    }
    // Bytes past the end cannot be had, so they never enlarge the window.
    const long span = std::clamp(n, 1L, length_ - pos);
    if (!WindowHolds(pos, span) && !FillWindowAt(pos, span)) {
        return nullptr;
    }
    return window_.get() + (pos - windowStart_);
}

const char* FileStreamImp::GetBuffer()
{
    return nullptr;
}

std::string_view FileStreamImp::BytesFrom(long pos)
{
    if (pos < 0 || pos >= length_) {
        return {};
    }
    if (!WindowHolds(pos, 1) && !FillWindowAt(pos, 1)) {
        return {};
    }
    return {window_.get() + (pos - windowStart_), static_cast<size_t>(windowStart_ + windowValid_ - pos)};
}

}  // namespace lxra
