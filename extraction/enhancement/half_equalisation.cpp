#include "enhancement/half_equalisation.h"

#include <algorithm>

namespace fenrax {

std::array<uint8_t, 256> HalfEqualisationTable(std::span<const uint8_t> image)
{
    std::array<uint32_t, 256> histogram{};
    for (const uint8_t p : image) {
        ++histogram[p];
    }
    std::array<uint8_t, 256> table{};
    const double n = static_cast<double>(image.size());
    uint32_t atOrBelow = 0;
    for (int g = 0; g < 256; ++g) {
        atOrBelow += histogram[g];
        // The one floating-point step of the extractor: the flat histogram's level.
        const int m = n > 0 ? static_cast<int>(static_cast<double>(atOrBelow) * 255.0 / n) + 1 : g;
        table[g] = static_cast<uint8_t>(std::clamp(g + (m - g) / 2, 0, 255));
    }
    return table;
}

void EqualiseHalfHistogram(std::span<uint8_t> image)
{
    const std::array<uint8_t, 256> table = HalfEqualisationTable(image);
    for (uint8_t& p : image) {
        p = table[p];
    }
}

}  // namespace fenrax
