#include "enhancement/smoothing.h"

#include <algorithm>
#include <vector>

namespace fenrax {

void SmoothImage(std::span<uint8_t> image, int32_t width, int32_t height)
{
    const size_t w = static_cast<size_t>(width);
    // Two rows of the unsmoothed image are all the filter needs besides the row below,
    // which is still unsmoothed when its turn comes.
    std::vector<uint8_t> above(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(w));
    std::vector<uint8_t> current(w);
    for (int32_t y = 1; y + 1 < height; ++y) {
        uint8_t* row = image.data() + static_cast<size_t>(y) * w;
        const uint8_t* below = row + w;
        std::copy(row, row + w, current.begin());
        for (size_t x = 1; x + 1 < w; ++x) {
            const int sum = above[x] + current[x - 1] + 2 * current[x] + current[x + 1] + below[x];
            row[x] = static_cast<uint8_t>(sum / 6);
        }
        row[0] = 0;
        row[w - 1] = 0;
        above.swap(current);
    }
    std::fill(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(w), uint8_t{0});
    std::fill(image.end() - static_cast<std::ptrdiff_t>(w), image.end(), uint8_t{0});
}

}  // namespace fenrax
