// The working geometry of one image size: the caller's image framed by a border that
// makes room for the block grid and the stages' neighbourhoods.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace fenrax {

// Largest raw width or height: keeps every linear pixel index and the template's 16-bit
// half sizes in range.
inline constexpr int32_t kMaximumRawSide = 16384;

inline constexpr int kBlockSide = 8;

struct Geometry {
    int32_t rawWidth = 0;
    int32_t rawHeight = 0;
    int32_t marginX = 0;  // border added on each side
    int32_t marginY = 0;
    int32_t paddedWidth = 0;
    int32_t paddedHeight = 0;
    int32_t blocksWide = 0;  // whole 8 x 8 blocks; a partial last block is not represented
    int32_t blocksHigh = 0;

    size_t RawPixels() const { return static_cast<size_t>(rawWidth) * static_cast<size_t>(rawHeight); }
    size_t PaddedPixels() const { return static_cast<size_t>(paddedWidth) * static_cast<size_t>(paddedHeight); }
    size_t Blocks() const { return static_cast<size_t>(blocksWide) * static_cast<size_t>(blocksHigh); }
    // Block (bx, by) in the row-major block maps.
    size_t BlockIndex(int32_t bx, int32_t by) const
    {
        return static_cast<size_t>(by) * static_cast<size_t>(blocksWide) + static_cast<size_t>(bx);
    }
    // Blocks off the outermost ring of the grid.
    bool IsInteriorBlock(int32_t bx, int32_t by) const
    {
        return bx >= 1 && by >= 1 && bx <= blocksWide - 2 && by <= blocksHigh - 2;
    }
};

// Empty for a side outside 1..kMaximumRawSide.
std::optional<Geometry> MakeGeometry(int32_t rawWidth, int32_t rawHeight);

}  // namespace fenrax
