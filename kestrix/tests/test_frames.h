// Frames and images the capture tests feed the library with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "capture/image_geometry.h"

namespace kestrix::testing {

// Every frame pixel at one grey level: the image then has that level everywhere.
inline std::function<void(uint8_t, std::span<uint8_t>)> UniformFrames(uint8_t level)
{
    return [level](uint8_t, std::span<uint8_t> frame) { std::fill(frame.begin(), frame.end(), level); };
}

// A different value at each frame position, so a misplaced byte shows.
inline uint8_t PatternAt(size_t index)
{
    return static_cast<uint8_t>((index * 7 + index / kFrameWidth * 13) % 251);
}

inline std::function<void(uint8_t, std::span<uint8_t>)> PatternFrames()
{
    return [](uint8_t, std::span<uint8_t> frame) {
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i] = PatternAt(i);
        }
    };
}

// An image whose first `area` pixels have the level and whose others are at the
// sensor's black level 10, which counts as no finger.
inline std::vector<uint8_t> ImageWith(int area, uint8_t level)
{
    std::vector<uint8_t> image(kImageSize, 10);
    std::fill_n(image.begin(), area, level);
    return image;
}

}  // namespace kestrix::testing
