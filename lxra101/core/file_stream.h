// An input stream over a file, read through a window of the file held in memory.
#pragma once

#include <cstdio>
#include <memory>

#include "core/input_stream.h"

namespace lxra {

class FileStreamImp final : public InputStreamImp {
public:
    static constexpr long kDefaultWindowSize = 8192;

    // Opens path for reading; null when it cannot be opened. windowSize 0 (or less)
    // chooses the default window.
    static FileStreamImp* Open(const char* path, long windowSize);
    ~FileStreamImp() override;

    long GetLength() override;
    char GetChar() override;
    long Read(char* buf, long n) override;
    // Any position is stored as given; reading outside the file yields nothing.
    long Seek(long pos) override;
    long GetPos() override;
    const char* GetPointer(long pos, long n) override;
    const char* GetBuffer() override;

protected:
    std::string_view BytesFrom(long pos) override;

private:
    FileStreamImp(FILE* file, long length, long windowSize);

    // Makes the window hold the file from pos on, enlarged (doubling) until it can hold
    // span bytes. False when nothing could be read at pos.
    bool FillWindowAt(long pos, long span);
    bool WindowHolds(long pos, long span) const;

    FILE* file_;
    long length_;
    long windowSize_;
    // windowSize_ + 1 bytes; the bytes after the valid ones are NUL.
    std::unique_ptr<char[]> window_;
    long windowStart_ = 0;
    long windowValid_ = 0;
    long pos_ = 0;
};

}  // namespace lxra
