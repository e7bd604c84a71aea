// Pixel offsets used by the block maps, and the linear form in which the stages read them.
#pragma once

#include <cstdint>

namespace fenrax {

struct PixelOffset {
    int dx = 0;
    int dy = 0;
};

// Offset of (dx, dy) in a row-major image of this width.
inline constexpr int32_t LinearOffset(PixelOffset o, int32_t width)
{
    return o.dy * width + o.dx;
}

}  // namespace fenrax
