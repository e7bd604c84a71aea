// An input stream over text in memory that the caller keeps alive.
#pragma once

#include "core/input_stream.h"

namespace lxra {

class BufferStreamImp final : public InputStreamImp {
public:
    // length 0 means the text's strlen.
    BufferStreamImp(const char* text, long length);

    long GetLength() override;
    char GetChar() override;
    long Read(char* buf, long n) override;
    // Only positions inside the text are taken; any other leaves the position as it was.
    long Seek(long pos) override;
    long GetPos() override;
    const char* GetPointer(long pos, long n) override;
    const char* GetBuffer() override;

protected:
    std::string_view BytesFrom(long pos) override;

private:
    const char* text_;
    long length_;
    long pos_ = 0;
};

}  // namespace lxra
