#include "maps/direction_smoothing.h"

#include <array>
#include <cstdlib>
#include <utility>

#include "maps/direction_lines.h"

namespace fenrax {
namespace {

struct ValueCount {
    int count = 0;
    int value = 0;
};

// Distance between two directions around the half turn of eight classes.
int CircularDistance(int a)
{
    const int m = std::abs(a);
    return m <= 4 ? m : 8 - m;
}

// The new direction of a block whose neighbourhood holds these counts of the values 0..8.
int SmoothedDirection(const std::array<int, kNoDirection + 1>& counts, int current)
{
    std::array<ValueCount, kNoDirection + 1> ranked{};
    for (int v = 0; v <= kNoDirection; ++v) {
        ranked[v] = {counts[v], v};
    }
    // Ranking by count that gives up at the first position already holding the largest of
    // the rest: the top entries are what the rules below read, in the order the
    // extractor has always found them.
    for (size_t j = 0; j + 1 < ranked.size(); ++j) {
        bool swapped = false;
        for (size_t k = j + 1; k < ranked.size(); ++k) {
            if (ranked[j].count < ranked[k].count) {
                std::swap(ranked[j], ranked[k]);
                swapped = true;
            }
        }
        if (!swapped) {
            break;
        }
    }
    const ValueCount first = ranked[0];
    const ValueCount second = ranked[1];
    if (first.count <= 2) {
        return current;
    }
    if (second.count < first.count) {
        return first.value;
    }
    if (second.count == ranked[2].count || current == first.value || current == second.value) {
        return current;
    }
    // Two values share the top: the one nearer the block's own direction.
    return CircularDistance(current - first.value) < CircularDistance(current - second.value) ? first.value
                                                                                              : second.value;
}

}  // namespace

void SmoothDirections(const Geometry& g, std::span<uint8_t> directions)
{
    for (int32_t by = 1; by <= g.blocksHigh - 2; ++by) {
        for (int32_t bx = 1; bx <= g.blocksWide - 2; ++bx) {
            std::array<int, kNoDirection + 1> counts{};
            for (int32_t y = by - 1; y <= by + 1; ++y) {
                for (int32_t x = bx - 1; x <= bx + 1; ++x) {
                    ++counts[directions[g.BlockIndex(x, y)]];
                }
            }
            uint8_t& block = directions[g.BlockIndex(bx, by)];
            block = static_cast<uint8_t>(SmoothedDirection(counts, block));
        }
    }
}

}  // namespace fenrax
