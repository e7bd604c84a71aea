#include "maps/period_consistency.h"

#include <algorithm>
#include <cstdlib>

#include "maps/direction_lines.h"
#include "maps/ridge_period.h"

namespace fenrax {
namespace {

constexpr int32_t kLargestDeviation = 20;

}  // namespace

void RejectInconsistentPeriods(const Geometry& g, std::span<const uint8_t> directions, std::span<int32_t> periods)
{
    const int32_t w = g.blocksWide;
    for (int32_t by = 1; by <= g.blocksHigh - 2; ++by) {
        for (int32_t bx = 1; bx <= w - 2; ++bx) {
            const size_t b = g.BlockIndex(bx, by);
            if (directions[b] >= kDirections || periods[b] < 0) {
                continue;
            }
            int32_t sum = 0;
            int32_t counted = 0;
            // Neighbours from block 1 on; the outer ring holds no period anyway.
            for (int32_t y = std::max(by - 2, 1); y <= std::min(by + 2, g.blocksHigh - 1); ++y) {
                for (int32_t x = std::max(bx - 2, 1); x <= std::min(bx + 2, w - 1); ++x) {
                    const int32_t p = periods[g.BlockIndex(x, y)];
                    if ((x != bx || y != by) && p > 0) {
                        sum += p;
                        ++counted;
                    }
                }
            }
            if (counted > 0 && std::abs(sum / counted - periods[b]) > kLargestDeviation) {
                periods[b] = kInconsistentPeriod;
            }
        }
    }
}

}  // namespace fenrax
