// What the runtime's two input streams share: the caller's user data and the line
// operations, which read the input through a contiguous view and never move the
// stream's position.
#pragma once

#include <string_view>

#include "lxra101/lx_input_stream.h"

namespace lxra {

class InputStreamImp : public LXInputStream {
public:
    void SetUserData(long value) override;
    long GetUserData() override;
    long GetLineNumber(long pos) override;
    long GetNumLines() override;
    long GetLinePos(long line) override;
    const char* GetLine(long line, char* buf, long size) override;

protected:
    // Input bytes from pos on, as many as can be had contiguously (at least one when
    // 0 <= pos < length). Empty outside the input. Leaves the position alone.
    virtual std::string_view BytesFrom(long pos) = 0;

private:
    // Number of line feeds in bytes [0, end).
    long CountLineFeeds(long end);

    long userData_ = 0;
};

}  // namespace lxra
