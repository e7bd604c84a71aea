#include "maps/period_filling.h"

#include <algorithm>
#include <array>
#include <vector>

namespace fenrax {
namespace {

constexpr std::array<std::array<int32_t, 7>, 7> kWeights = {{
    {0, 0, 1, 2, 1, 0, 0},
    {0, 3, 13, 22, 13, 3, 0},
    {1, 13, 59, 97, 59, 13, 1},
    {2, 22, 97, 159, 97, 22, 2},
    {1, 13, 59, 97, 59, 13, 1},
    {0, 3, 13, 22, 13, 3, 0},
    {0, 0, 1, 2, 1, 0, 0},
}};

// One line of blocks (a row or a column), `length` blocks `stride` apart from `first`;
// only its interior (1..length-2) changes.
void BridgeLine(std::span<const int32_t> in, std::span<int32_t> out, size_t first, size_t stride, int32_t length)
{
    auto at = [&](int32_t i) { return first + static_cast<size_t>(i) * stride; };
    bool gapOpen = false;
    int32_t gapStart = 0;
    int32_t gapPeriod = 0;
    for (int32_t c = 1; c <= length - 2; ++c) {
        const int32_t p = in[at(c)];
        if (p <= 0) {
            continue;
        }
        if (in[at(c - 1)] < 1 && c != 1) {
            if (!gapOpen) {
                for (int32_t k = c - 1; k >= 1; --k) {
                    if (in[at(k)] != 0) {
                        out[at(k)] = p;
                    }
                }
            } else {
                const int32_t slope = (gapPeriod - p) / (c - gapStart);
                for (int32_t k = c - 1; k > gapStart; --k) {
                    if (in[at(k)] != 0) {
                        out[at(k)] = p + (c - k) * slope;
                    }
                }
            }
            gapOpen = false;
        }
        // A gap opens after every positive block that a non-positive one follows; at the
        // last interior block the next one is the outer ring, and the gap holds nothing.
        if (in[at(c + 1)] < 1) {
            gapOpen = true;
            gapStart = c;
            gapPeriod = p;
        }
    }
    if (gapOpen) {
        for (int32_t k = gapStart + 1; k <= length - 2; ++k) {
            if (in[at(k)] != 0) {
                out[at(k)] = gapPeriod;
            }
        }
    }
}

}  // namespace

void FillFromNeighbourhood(const Geometry& g, std::span<const int32_t> in, std::span<int32_t> out)
{
    std::copy(in.begin(), in.end(), out.begin());
    const int32_t w = g.blocksWide;
    for (int32_t by = 1; by <= g.blocksHigh - 2; ++by) {
        for (int32_t bx = 1; bx <= w - 2; ++bx) {
            const size_t b = g.BlockIndex(bx, by);
            if (in[b] >= 0) {
                continue;
            }
            int32_t weighted = 0;
            int32_t weights = 0;
            for (int32_t y = std::max(by - 3, 1); y <= std::min(by + 3, g.blocksHigh - 1); ++y) {
                for (int32_t x = std::max(bx - 3, 1); x <= std::min(bx + 3, w - 1); ++x) {
                    const int32_t p = in[g.BlockIndex(x, y)];
                    const int32_t weight = kWeights[y - by + 3][x - bx + 3];
                    if (p > 0) {
                        weighted += weight * p;
                        weights += weight;
                    }
                }
            }
            // Corner weights are 0: a block seen only there contributes nothing.
            if (weights > 0) {
                out[b] = weighted / weights;
            }
        }
    }
}

void BridgeRowGaps(const Geometry& g, std::span<const int32_t> in, std::span<int32_t> out)
{
    std::copy(in.begin(), in.end(), out.begin());
    for (int32_t by = 1; by <= g.blocksHigh - 2; ++by) {
        BridgeLine(in, out, g.BlockIndex(0, by), 1, g.blocksWide);
    }
}

void BridgeColumnGaps(const Geometry& g, std::span<const int32_t> in, std::span<int32_t> out)
{
    std::copy(in.begin(), in.end(), out.begin());
    for (int32_t bx = 1; bx <= g.blocksWide - 2; ++bx) {
        BridgeLine(in, out, static_cast<size_t>(bx), static_cast<size_t>(g.blocksWide), g.blocksHigh);
    }
}

void AverageNeighbourhood(const Geometry& g, std::span<const int32_t> in, std::span<int32_t> out)
{
    std::copy(in.begin(), in.end(), out.begin());
    const int32_t w = g.blocksWide;
    for (int32_t by = 1; by <= g.blocksHigh - 2; ++by) {
        for (int32_t bx = 1; bx <= w - 2; ++bx) {
            const size_t b = g.BlockIndex(bx, by);
            if (in[b] == 0) {
                continue;
            }
            int32_t sum = 0;
            int32_t counted = 0;
            for (int32_t y = by - 1; y <= std::min(by + 1, g.blocksHigh - 1); ++y) {
                for (int32_t x = bx - 1; x <= std::min(bx + 1, w - 1); ++x) {
                    const int32_t p = in[g.BlockIndex(x, y)];
                    if (y >= 1 && x >= 1 && p > 0) {
                        sum += p;
                        ++counted;
                    }
                }
            }
            if (counted > 0) {
                out[b] = sum / counted;
            }
        }
    }
}

void FillPeriods(const Geometry& g, std::span<int32_t> periods)
{
    std::vector<int32_t> other(periods.size());
    FillFromNeighbourhood(g, periods, other);
    BridgeRowGaps(g, other, periods);
    BridgeColumnGaps(g, periods, other);
    AverageNeighbourhood(g, other, periods);
}

}  // namespace fenrax
