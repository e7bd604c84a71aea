// The direction map: the line table, the sort of variations, block directions on
// stripes and flat images, direction smoothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "maps/block_direction.h"
#include "maps/direction_lines.h"
#include "maps/direction_smoothing.h"
#include "maps/variation_sort.h"
#include "support/block_maps_run.h"
#include "support/test_images.h"

namespace fenrax {
namespace {

using testing::MapsRun;
using testing::RunBlockMaps;
using testing::StripeImage;

TEST(DirectionLines, RunThroughTheCentreAlongTheirDirectionInStepsOfAboutOneAndAHalfPixels)
{
    for (int d = 0; d < kDirections; ++d) {
        const DirectionLine& line = kDirectionLines[static_cast<size_t>(d)];
        EXPECT_EQ(line[kLineCentre].dx, 0) << d;
        EXPECT_EQ(line[kLineCentre].dy, 0) << d;
        for (int k = 0; k < kLinePoints; ++k) {
            // Symmetric about the centre.
            EXPECT_EQ(line[static_cast<size_t>(k)].dx, -line[static_cast<size_t>(24 - k)].dx) << d << " " << k;
            EXPECT_EQ(line[static_cast<size_t>(k)].dy, -line[static_cast<size_t>(24 - k)].dy) << d << " " << k;
            if (k > 0) {
                const double step = std::hypot(line[static_cast<size_t>(k)].dx - line[static_cast<size_t>(k - 1)].dx,
                                               line[static_cast<size_t>(k)].dy - line[static_cast<size_t>(k - 1)].dy);
                EXPECT_GE(step, 1.0) << d << " " << k;
                EXPECT_LE(step, 2.3) << d << " " << k;
            }
        }
        // The last point lies on the side of growing y (angles 0 to 157.5 degrees).
        EXPECT_NEAR(std::atan2(line[24].dy, line[24].dx) * 180 / M_PI, d * 22.5, 3.5) << d;
    }
}

TEST(VariationSort, SortsAscendingAndKeepsEachDirectionWithItsVariation)
{
    // Every arrangement of three values over eight directions.
    for (int code = 0; code < 6561; ++code) {
        std::array<int32_t, 8> v{};
        int rest = code;
        for (int32_t& x : v) {
            x = rest % 3;
            rest /= 3;
        }
        const std::array<int32_t, 8> original = v;
        std::array<uint8_t, 8> d = {0, 1, 2, 3, 4, 5, 6, 7};
        SortVariations(v, d);
        ASSERT_TRUE(std::is_sorted(v.begin(), v.end())) << code;
        std::array<uint8_t, 8> seen = d;
        std::sort(seen.begin(), seen.end());
        ASSERT_EQ(seen, (std::array<uint8_t, 8>{0, 1, 2, 3, 4, 5, 6, 7})) << code;
        for (size_t k = 0; k < 8; ++k) {
            ASSERT_EQ(v[k], original[d[k]]) << code;
        }
    }
}

TEST(VariationSort, LeavesTiesInTheOrderThatDecidesTheBlocksDirection)
{
    struct Case {
        std::array<int32_t, 8> variation;
        std::array<uint8_t, 8> order;
    };
    const Case cases[] = {
        {{5, 5, 5, 5, 5, 5, 5, 5}, {5, 4, 7, 6, 1, 0, 3, 2}},
        {{3, 1, 3, 1, 3, 1, 3, 1}, {3, 5, 7, 1, 6, 0, 4, 2}},
        {{7, 7, 2, 2, 9, 9, 2, 7}, {3, 6, 2, 0, 7, 1, 4, 5}},
        {{1, 0, 0, 0, 0, 0, 0, 0}, {5, 4, 7, 6, 1, 2, 3, 0}},
    };
    for (const Case& c : cases) {
        std::array<int32_t, 8> v = c.variation;
        std::array<uint8_t, 8> d = {0, 1, 2, 3, 4, 5, 6, 7};
        SortVariations(v, d);
        EXPECT_EQ(d, c.order);
    }
}

TEST(BlockDirections, StripesGiveTheirDirectionInEveryInteriorBlock)
{
    for (int d = 0; d < kDirections; ++d) {
        for (const auto& [w, h] : {std::pair{256, 256}, {300, 300}, {257, 263}}) {
            const MapsRun run = RunBlockMaps(StripeImage(w, h, 8, d * 22.5), w, h);
            int wrong = 0;
            for (int by = 0; by < run.geometry.blocksHigh; ++by) {
                for (int bx = 0; bx < run.geometry.blocksWide; ++bx) {
                    if (run.OnRing(bx, by)) {
                        EXPECT_EQ(run.Direction(bx, by), 8);
                    } else if (run.InInterior(bx, by)) {
                        wrong += run.Direction(bx, by) != d;
                    }
                }
            }
            EXPECT_EQ(wrong, 0) << "direction " << d << ", " << w << " x " << h;
        }
    }
}

TEST(BlockDirections, FlatImagesHaveNoDirectionAndNoPeriod)
{
    for (const uint8_t level : {0, 1, 128, 254, 255}) {
        const MapsRun run = RunBlockMaps(std::vector<uint8_t>(256 * 256, level), 256, 256);
        EXPECT_EQ(std::count(run.directions.begin(), run.directions.end(), 8),
                  static_cast<std::ptrdiff_t>(run.directions.size()))
            << int{level};
        EXPECT_EQ(std::count(run.periods.begin(), run.periods.end(), 0),
                  static_cast<std::ptrdiff_t>(run.periods.size()))
            << int{level};
    }
}

TEST(BlockDirections, BlocksWithoutRidgesStayWithoutDirection)
{
    // Stripes on the left half, a flat light background on the right, as where a finger
    // ends.
    const int side = 256;
    std::vector<uint8_t> image = StripeImage(side, side, 9, 0);
    for (int y = 0; y < side; ++y) {
        std::fill_n(image.begin() + y * side + side / 2, side / 2, uint8_t{215});
    }
    const MapsRun run = RunBlockMaps(image, side, side);
    for (int by = 3; by <= run.geometry.blocksHigh - 4; ++by) {
        for (int bx = 1; bx <= run.geometry.blocksWide - 2; ++bx) {
            const int x = 8 * bx + 4 - run.geometry.marginX;
            if (x < side / 2 - 20) {
                EXPECT_EQ(run.Direction(bx, by), 0) << bx << "," << by;
            } else if (x > side / 2 + 20) {
                EXPECT_EQ(run.Direction(bx, by), 8) << bx << "," << by;
                EXPECT_EQ(run.Period(bx, by), 0) << bx << "," << by;
            }
        }
    }
}

TEST(BlockMaps, OuterRingHasNoDirectionAndNoPeriodWhateverTheImage)
{
    // Noise, stripes and tiny images, including sizes whose last block is partial.
    uint32_t state = 12345;
    for (const auto& [w, h] : {std::pair{260, 300}, {257, 255}, {33, 17}, {1, 1}, {8, 40}, {61, 59}}) {
        std::vector<uint8_t> noise(static_cast<size_t>(w) * static_cast<size_t>(h));
        for (uint8_t& p : noise) {
            state = state * 1664525u + 1013904223u;
            p = static_cast<uint8_t>(state >> 24);
        }
        for (const std::vector<uint8_t>& image : {noise, StripeImage(w, h, 7, 30)}) {
            const MapsRun run = RunBlockMaps(image, w, h);
            for (int by = 0; by < run.geometry.blocksHigh; ++by) {
                for (int bx = 0; bx < run.geometry.blocksWide; ++bx) {
                    if (run.OnRing(bx, by)) {
                        EXPECT_EQ(run.Direction(bx, by), 8) << w << " x " << h << " block " << bx << "," << by;
                        EXPECT_EQ(run.Period(bx, by), 0) << w << " x " << h << " block " << bx << "," << by;
                    }
                }
            }
        }
    }
}

TEST(BlockMaps, EverySmallGeometryIsMappedWithinItsImage)
{
    // The lines and signatures of the last interior blocks come closest to the image's
    // edges; the sanitizer build checks every read of these runs.
    for (int w = 1; w <= 48; ++w) {
        for (const int h : {1, 7, 23, 24, 25, 47}) {
            const MapsRun run = RunBlockMaps(StripeImage(w, h, 6, 60), w, h);
            for (size_t b = 0; b < run.directions.size(); ++b) {
                ASSERT_LE(run.directions[b], 8) << w << " x " << h;
                if (run.directions[b] == 8) {
                    ASSERT_EQ(run.periods[b], 0) << w << " x " << h;
                }
            }
        }
    }
}

TEST(BlockMaps, EqualImagesGiveEqualMaps)
{
    const std::vector<uint8_t> image = StripeImage(300, 300, 9.5, 100);
    const MapsRun first = RunBlockMaps(image, 300, 300);
    const MapsRun second = RunBlockMaps(image, 300, 300);
    EXPECT_EQ(first.directions, second.directions);
    EXPECT_EQ(first.periods, second.periods);
}

// A 3 x 3 grid: one interior block with the eight around it.
struct SmoothingCase {
    std::array<uint8_t, 9> neighbourhood;  // row-major, the block itself in the middle
    uint8_t result;
};

TEST(DirectionSmoothing, FollowsAClearMajorityAndKeepsTies)
{
    const SmoothingCase cases[] = {
        {{8, 8, 8, 8, 3, 8, 8, 8, 8}, 8},  // an isolated direction goes
        {{2, 2, 2, 2, 8, 2, 2, 2, 2}, 2},  // a hole is filled
        {{1, 1, 2, 2, 4, 3, 3, 8, 8}, 4},  // no value more than twice: unchanged
        {{1, 1, 1, 1, 5, 5, 5, 5, 8}, 5},  // shared top, the block holds one of them
        {{1, 1, 1, 1, 6, 5, 5, 5, 5}, 5},  // shared top: the one nearer 6
        {{1, 1, 1, 1, 3, 7, 7, 7, 7}, 1},  // shared top: 3 is 2 from 1 and 4 from 7
        {{3, 3, 3, 5, 1, 5, 7, 7, 7}, 7},  // 3 and 7 tie at three, 1 is 2 from each: the second
        {{2, 2, 2, 4, 6, 4, 4, 2, 4}, 4},  // shared top: 6 is nearer 4
        {{2, 2, 2, 2, 6, 4, 4, 4, 8}, 2},  // four against three: the majority
        // The ranking stops at the first position that needs no exchange: when value 0 is
        // among the most frequent, it wins without the tie rule.
        {{0, 0, 0, 0, 6, 5, 5, 5, 5}, 0},
    };
    Geometry g;
    g.blocksWide = 3;
    g.blocksHigh = 3;
    for (const SmoothingCase& c : cases) {
        std::vector<uint8_t> grid(c.neighbourhood.begin(), c.neighbourhood.end());
        SmoothDirections(g, grid);
        EXPECT_EQ(grid[4], c.result) << ::testing::PrintToString(c.neighbourhood);
    }
}

TEST(DirectionSmoothing, LaterBlocksSeeEarlierResults)
{
    // Block (1,1) becomes 2; with it, 2 ties 8 around block (2,1), whose own 3 is
    // nearer 2. On the unsmoothed grid 8 would win there.
    Geometry g;
    g.blocksWide = 4;
    g.blocksHigh = 3;
    std::vector<uint8_t> grid = {
        2, 2, 2, 8,  //
        2, 8, 3, 8,  //
        2, 2, 8, 8,
    };
    SmoothDirections(g, grid);
    EXPECT_EQ(grid[5], 2);
    EXPECT_EQ(grid[6], 2);
}

}  // namespace
}  // namespace fenrax
