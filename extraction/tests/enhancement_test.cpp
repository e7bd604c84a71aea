// Enhancement: the working image built from the caller's image, smoothing and half
// histogram equalisation.

#include <gtest/gtest.h>

#include <vector>

#include "enhancement/half_equalisation.h"
#include "enhancement/smoothing.h"
#include "interface/extraction_pipeline.h"

namespace fenrax {
namespace {

TEST(WorkingImage, PlacesTheImageAtTheMarginsInAZeroBorder)
{
    const Geometry g = *MakeGeometry(3, 2);  // margins 6 and 7: 15 x 16
    const std::vector<uint8_t> raw = {1, 2, 3, 4, 5, 6};
    const std::vector<uint8_t> working = PlaceRawImage(g, raw.data());
    ASSERT_EQ(working.size(), 15u * 16u);
    int nonZero = 0;
    for (const uint8_t p : working) {
        nonZero += p != 0;
    }
    EXPECT_EQ(nonZero, 6);
    EXPECT_EQ(working[7 * 15 + 6], 1);
    EXPECT_EQ(working[7 * 15 + 8], 3);
    EXPECT_EQ(working[8 * 15 + 6], 4);
    EXPECT_EQ(working[8 * 15 + 8], 6);
}

TEST(Smoothing, WeighsTheCentreTwiceAndTruncates)
{
    std::vector<uint8_t> image = {
        0, 2, 0,  //
        2, 2, 2,  //
        0, 3, 0,
    };
    SmoothImage(image, 3, 3);
    // (2 + 2 + 2 x 2 + 2 + 3) / 6 = 2.17; the frame becomes 0.
    EXPECT_EQ(image, (std::vector<uint8_t>{0, 0, 0, 0, 2, 0, 0, 0, 0}));
}

TEST(Smoothing, ReadsOnlyTheUnsmoothedImage)
{
    // A single bright pixel spreads evenly to its four neighbours; smoothing rows that
    // were already smoothed would give the lower and right neighbours less.
    std::vector<uint8_t> image(25, 0);
    image[12] = 255;
    SmoothImage(image, 5, 5);
    std::vector<uint8_t> expected(25, 0);
    expected[12] = 85;  // 2 x 255 / 6
    expected[7] = expected[11] = expected[13] = expected[17] = 42;
    EXPECT_EQ(image, expected);
}

TEST(Smoothing, ClearsTheOutermostRowsAndColumns)
{
    std::vector<uint8_t> image(6 * 4, 255);
    SmoothImage(image, 6, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool edge = x == 0 || y == 0 || x == 5 || y == 3;
            EXPECT_EQ(image[static_cast<size_t>(y * 6 + x)], edge ? 0 : 255) << x << "," << y;
        }
    }
}

TEST(HalfEqualisation, MovesEachLevelHalfwayToItsPlaceInAFlatHistogram)
{
    struct Case {
        std::vector<uint8_t> image;
        std::vector<std::pair<int, int>> mapping;  // level before, level after
    };
    const Case cases[] = {
        // m(0) = floor(2 x 255 / 4) + 1 = 128; m(100) = 192; m(255) = 256, clamped.
        {{0, 0, 100, 255}, {{0, 64}, {100, 146}, {255, 255}}},
        // A level above its flat place moves down, the half truncated towards zero:
        // 201 + (192 - 201) / 2 = 197.
        {{201, 201, 201, 250}, {{201, 197}, {250, 253}}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> image = c.image;
        EqualiseHalfHistogram(image);
        for (const auto& [before, after] : c.mapping) {
            for (size_t i = 0; i < image.size(); ++i) {
                if (c.image[i] == before) {
                    EXPECT_EQ(image[i], after) << "level " << before;
                }
            }
        }
    }
}

TEST(HalfEqualisation, KeepsTheOrderOfGreyLevels)
{
    std::vector<uint8_t> image;
    for (int i = 0; i < 1000; ++i) {
        image.push_back(static_cast<uint8_t>((i * i) % 251));
    }
    const std::array<uint8_t, 256> table = HalfEqualisationTable(image);
    for (int g = 1; g < 256; ++g) {
        EXPECT_LE(table[static_cast<size_t>(g - 1)], table[static_cast<size_t>(g)]) << g;
    }
}

}  // namespace
}  // namespace fenrax
