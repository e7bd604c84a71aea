// What the exposure control measures of an image: the finger area (pixels brighter than
// the sensor's black level) and the finger's mean brightness. Integer arithmetic only.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace kestrix {

// Pixels at or below this level are the sensor's black, not finger.
inline constexpr int kBlackLevel = 10;

struct ImageStatistics {
    int32_t area = 0;  // pixels brighter than kBlackLevel
    int32_t mean = 0;  // their mean grey level, truncated; 0 when there are none
};

inline ImageStatistics MeasureImage(std::span<const uint8_t> image)
{
    std::array<int32_t, 256> histogram{};
    for (const uint8_t pixel : image) {
        ++histogram[pixel];
    }
    ImageStatistics statistics;
    int64_t sum = 0;
    for (int level = kBlackLevel + 1; level < 256; ++level) {
        statistics.area += histogram[static_cast<size_t>(level)];
        sum += static_cast<int64_t>(level) * histogram[static_cast<size_t>(level)];
    }
    if (statistics.area > 0) {
        statistics.mean = static_cast<int32_t>(sum / statistics.area);
    }
    return statistics;
}

}  // namespace kestrix
