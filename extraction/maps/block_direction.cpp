#include "maps/block_direction.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "maps/direction_lines.h"
#include "maps/variation_sort.h"

namespace fenrax {
namespace {

constexpr int kLines = 3;           // parallel lines about 3 pixels apart
constexpr int kStepThreshold = 15;  // smaller grey steps along a line are noise
constexpr int kMinimumSpread = 40;  // between the most and least varying directions
constexpr int kMinimumVariation = 20;
constexpr int kBrightestMean = 240;
constexpr int kFaintContrast = 15;
constexpr int kFaintMean = 200;

// Linear offsets of every point of every line, for one image width: line t of direction
// d runs along d through the centre shifted across by entry 10 + 2t of the perpendicular
// direction.
using LineOffsets = std::array<std::array<std::array<int32_t, kLinePoints>, kLines>, kDirections>;

LineOffsets BuildLineOffsets(int32_t width)
{
    LineOffsets offsets{};
    for (int d = 0; d < kDirections; ++d) {
        const int across = (d + 4) % kDirections;
        for (int t = 0; t < kLines; ++t) {
            const PixelOffset shift = kDirectionLines[across][10 + 2 * t];
            for (int k = 0; k < kLinePoints; ++k) {
                const PixelOffset along = kDirectionLines[d][k];
                offsets[d][t][k] = LinearOffset({shift.dx + along.dx, shift.dy + along.dy}, width);
            }
        }
    }
    return offsets;
}

struct DirectionMeasures {
    std::array<int32_t, kDirections> variation{};  // summed grey steps along the lines, / 3
    std::array<int32_t, kDirections> contrast{};   // differences between the lines' means
    int32_t sum = 0;                               // of all sampled grey levels
};

// Samples n points of each line (each compared with the points either side of it), so a
// block at the last interior row or column, which has less image beyond it, uses 13
// rather than 15.
DirectionMeasures MeasureDirections(const uint8_t* centre, const LineOffsets& offsets, int n)
{
    DirectionMeasures m;
    const int half = n / 2;
    const int first = kLineCentre - half - 1;  // the earliest point read
    const int points = n + 2;
    for (int d = 0; d < kDirections; ++d) {
        int32_t variation = 0;
        int32_t grey = 0;
        std::array<int32_t, kLines> lineMean{};
        for (int t = 0; t < kLines; ++t) {
            const auto& line = offsets[d][t];
            std::array<int32_t, kLinePoints> value{};
            for (int k = 0; k < points; ++k) {
                value[k] = centre[line[first + k]];
            }
            int32_t lineSum = 0;
            for (int k = 1; k <= n; ++k) {
                const int32_t a = value[k - 1];
                const int32_t step = std::abs(a - value[k + 1]);
                if (step > kStepThreshold) {
                    variation += step;
                }
                lineSum += a;
            }
            grey += lineSum;
            lineMean[t] = lineSum / n;
        }
        m.variation[d] = variation / 3;
        m.contrast[d] = std::abs(lineMean[1] - lineMean[0]) + std::abs(lineMean[2] - lineMean[1]);
        m.sum += grey / (3 * n);
    }
    return m;
}

// The block's direction, or 8 when the measures do not support one.
int ChooseDirection(DirectionMeasures m)
{
    std::array<uint8_t, kDirections> order = {0, 1, 2, 3, 4, 5, 6, 7};
    SortVariations(m.variation, order);
    const std::array<int32_t, kDirections>& v = m.variation;
    const int32_t least = (v[0] + v[1]) / 2;
    const int32_t most = (v[6] + v[7]) / 2;
    const int32_t mean = m.sum / kDirections;
    const auto [lowest, highest] = std::minmax_element(m.contrast.begin(), m.contrast.end());
    const int32_t spread = *highest - *lowest;
    if (most - least < kMinimumSpread || least < kMinimumVariation || mean > kBrightestMean ||
        (spread < kFaintContrast && mean > kFaintMean)) {
        return kNoDirection;
    }
    return order[0];
}

}  // namespace

void EstimateBlockDirections(std::span<const uint8_t> image, const Geometry& g, std::span<uint8_t> directions)
{
    std::fill(directions.begin(), directions.end(), static_cast<uint8_t>(kNoDirection));
    const LineOffsets offsets = BuildLineOffsets(g.paddedWidth);
    for (int32_t by = 1; by <= g.blocksHigh - 2; ++by) {
        for (int32_t bx = 1; bx <= g.blocksWide - 2; ++bx) {
            const int n = (bx == g.blocksWide - 2 || by == g.blocksHigh - 2) ? 13 : 15;
            const size_t centre =
                static_cast<size_t>(8 * by + 4) * static_cast<size_t>(g.paddedWidth) + static_cast<size_t>(8 * bx + 4);
            const DirectionMeasures m = MeasureDirections(image.data() + centre, offsets, n);
            directions[g.BlockIndex(bx, by)] = static_cast<uint8_t>(ChooseDirection(m));
        }
    }
}

}  // namespace fenrax
