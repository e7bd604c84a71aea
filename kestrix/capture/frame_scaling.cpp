#include "capture/frame_scaling.h"

#include <array>
#include <cassert>

namespace kestrix {
namespace {

constexpr int Pick(int index)
{
    return 10 * index / 8;
}

// Frame column of each image column, mirror included.
constexpr std::array<uint16_t, kImageWidth> MakeColumnMap()
{
    std::array<uint16_t, kImageWidth> columns{};
    for (int c = 0; c < kImageWidth; ++c) {
        columns[static_cast<size_t>(c)] = static_cast<uint16_t>(Pick(kImageWidth - 1 - c));
    }
    return columns;
}

constexpr std::array<uint16_t, kImageWidth> kColumnMap = MakeColumnMap();
static_assert(kColumnMap.front() == 438 && kColumnMap.back() == 0);
static_assert(Pick(kImageHeight - 1) < kFrameHeight);

}  // namespace

void ScaleAndMirror(std::span<const uint8_t> frame, std::span<uint8_t, kImageSize> image)
{
    assert(frame.size() >= kFrameSize);
    for (int r = 0; r < kImageHeight; ++r) {
        const uint8_t* source = frame.data() + static_cast<size_t>(Pick(r)) * kFrameWidth;
        uint8_t* target = image.data() + static_cast<size_t>(r) * kImageWidth;
        for (int c = 0; c < kImageWidth; ++c) {
            target[c] = source[kColumnMap[static_cast<size_t>(c)]];
        }
    }
}

}  // namespace kestrix
