#include "interface/geometry.h"

namespace fenrax {
namespace {

// Centres the image in a frame of 4 to 8 pixels a side, so that an even size becomes a
// multiple of 8 with at least one block of border.
int32_t Margin(int32_t side)
{
    return (16 - side % 8) / 2;
}

}  // namespace

std::optional<Geometry> MakeGeometry(int32_t rawWidth, int32_t rawHeight)
{
    if (rawWidth < 1 || rawHeight < 1 || rawWidth > kMaximumRawSide || rawHeight > kMaximumRawSide) {
        return std::nullopt;
    }
    Geometry g;
    g.rawWidth = rawWidth;
    g.rawHeight = rawHeight;
    g.marginX = Margin(rawWidth);
    g.marginY = Margin(rawHeight);
    g.paddedWidth = rawWidth + 2 * g.marginX;
    g.paddedHeight = rawHeight + 2 * g.marginY;
    g.blocksWide = g.paddedWidth / kBlockSide;
    g.blocksHigh = g.paddedHeight / kBlockSide;
    return g;
}

}  // namespace fenrax
