// The working geometry: margins, padded size and block grid of each image size.

#include "interface/geometry.h"

#include <gtest/gtest.h>

namespace fenrax {
namespace {

struct GeometryCase {
    int32_t width, height;
    int32_t marginX, marginY, paddedWidth, paddedHeight, blocksWide, blocksHigh;
};

TEST(Geometry, FramesTheImageSoThatWholeBlocksCoverIt)
{
    const GeometryCase cases[] = {
        {260, 300, 6, 6, 272, 312, 34, 39},
        {256, 256, 8, 8, 272, 272, 34, 34},
        {257, 256, 7, 8, 271, 272, 33, 34},  // odd remainder: the last partial block is left out
        {300, 300, 6, 6, 312, 312, 39, 39},
        {352, 288, 8, 8, 368, 304, 46, 38},
        {263, 258, 4, 7, 271, 272, 33, 34},
        {1, 1, 7, 7, 15, 15, 1, 1},
        {16384, 16384, 8, 8, 16400, 16400, 2050, 2050},
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const std::optional<Geometry> g = MakeGeometry(c.width, c.height);
        ASSERT_TRUE(g.has_value());
        EXPECT_EQ(g->rawWidth, c.width);
        EXPECT_EQ(g->rawHeight, c.height);
        EXPECT_EQ(g->marginX, c.marginX);
        EXPECT_EQ(g->marginY, c.marginY);
        EXPECT_EQ(g->paddedWidth, c.paddedWidth);
        EXPECT_EQ(g->paddedHeight, c.paddedHeight);
        EXPECT_EQ(g->blocksWide, c.blocksWide);
        EXPECT_EQ(g->blocksHigh, c.blocksHigh);
    }
}

TEST(Geometry, RefusesSizesTheTemplateCannotDescribe)
{
    for (const auto& [w, h] : {std::pair{0, 100}, {100, 0}, {-5, 100}, {16385, 100}, {100, 16385}, {INT32_MIN, 1}}) {
        EXPECT_FALSE(MakeGeometry(w, h).has_value()) << w << " x " << h;
    }
}

}  // namespace
}  // namespace fenrax
