// Minutiae read from drawn ridges: where they are, which kind, which way they point, and
// which thinning artefacts are not taken for minutiae.
#include "minutiae/minutiae_detection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "minutiae/skeleton.h"

namespace fpsynth {
namespace {

// Draws a ridge of the given half-thickness along a segment.
void DrawRidge(Grid<uint8_t>& grid, double x0, double y0, double x1, double y1, double half)
{
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            const double dx = x1 - x0;
            const double dy = y1 - y0;
            double t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy);
            t = t < 0 ? 0 : (t > 1 ? 1 : t);
            if (std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= half) {
                grid.at(x, y) = 1;
            }
        }
    }
}

std::vector<Minutia> Detect(Grid<uint8_t> ridges)
{
    ThinRidges(ridges);
    const Grid<uint8_t> valid(ridges.width, ridges.height, 1);
    return DetectMinutiae(ridges, valid, DetectionRules{});
}

double AngleGap(double a, double b)
{
    const double d = std::fabs(std::fmod(a - b + 540.0, 360.0) - 180.0);
    return d;
}

TEST(MinutiaeDetection, StraightRidgeHasTwoEndingsPointingIntoIt)
{
    Grid<uint8_t> ridges(80, 40);
    DrawRidge(ridges, 15, 20, 65, 20, 2.2);
    const std::vector<Minutia> found = Detect(ridges);
    ASSERT_EQ(found.size(), 2u);
    for (const Minutia& m : found) {
        EXPECT_EQ(m.type, MinutiaType::Ending);
        EXPECT_NEAR(m.y, 20.0, 1.5);
        // The left end points right along its ridge (0 degrees), the right end left (180).
        const bool left = m.x < 40;
        EXPECT_NEAR(m.x, left ? 15.0 : 65.0, 3.0);
        EXPECT_LT(AngleGap(m.direction, left ? 0.0 : 180.0), 10.0) << m.direction;
    }
}

TEST(MinutiaeDetection, ForkIsOneBifurcationPointingBetweenItsBranches)
{
    // Stem from the left, branches opening to the right.
    Grid<uint8_t> ridges(100, 80);
    DrawRidge(ridges, 5, 40, 50, 40, 2.2);
    DrawRidge(ridges, 50, 40, 95, 15, 2.2);
    DrawRidge(ridges, 50, 40, 95, 65, 2.2);
    std::vector<Minutia> found = Detect(ridges);
    std::vector<Minutia> forks;
    for (const Minutia& m : found) {
        if (m.type == MinutiaType::Bifurcation) {
            forks.push_back(m);
        }
    }
    ASSERT_EQ(forks.size(), 1u);
    EXPECT_NEAR(forks[0].x, 50.0, 4.0);
    EXPECT_NEAR(forks[0].y, 40.0, 3.0);
    EXPECT_LT(AngleGap(forks[0].direction, 0.0), 15.0) << forks[0].direction;
}

TEST(MinutiaeDetection, RotatedRidgeEndingsFollowTheRidge)
{
    // A ridge going down to the right at 30 degrees: its upper-left end points at 30 degrees.
    Grid<uint8_t> ridges(100, 80);
    const double c = std::cos(30.0 * 3.14159265358979 / 180.0);
    const double s = std::sin(30.0 * 3.14159265358979 / 180.0);
    DrawRidge(ridges, 50 - 35 * c, 40 - 35 * s, 50 + 35 * c, 40 + 35 * s, 2.2);
    const std::vector<Minutia> found = Detect(ridges);
    ASSERT_EQ(found.size(), 2u);
    for (const Minutia& m : found) {
        const bool upper = m.y < 40;
        EXPECT_LT(AngleGap(m.direction, upper ? 30.0 : 210.0), 12.0) << m.direction;
    }
}

struct ArtefactCase {
    const char* name;
    void (*draw)(Grid<uint8_t>&);
    size_t minutiae;
};

class MinutiaeArtefactTest : public ::testing::TestWithParam<ArtefactCase> {};

TEST_P(MinutiaeArtefactTest, ArtefactsAreNotMinutiae)
{
    Grid<uint8_t> ridges(100, 80);
    GetParam().draw(ridges);
    EXPECT_EQ(Detect(ridges).size(), GetParam().minutiae);
}

INSTANTIATE_TEST_SUITE_P(Shapes, MinutiaeArtefactTest,
                         ::testing::Values(
                             // A ring has no ends.
                             ArtefactCase{"ring",
                                          [](Grid<uint8_t>& g) {
                                              for (int y = 0; y < g.height; ++y) {
                                                  for (int x = 0; x < g.width; ++x) {
                                                      const double r = std::hypot(x - 50, y - 40);
                                                      g.at(x, y) = r > 20 && r < 25 ? 1 : 0;
                                                  }
                                              }
                                          },
                                          0},
                             // A bump on a ridge leaves a short spur after thinning; the two long ends remain.
                             ArtefactCase{"spur",
                                          [](Grid<uint8_t>& g) {
                                              DrawRidge(g, 10, 40, 90, 40, 2.2);
                                              DrawRidge(g, 50, 40, 50, 36, 2.2);
                                          },
                                          2},
                             // Two ends facing each other across a tiny gap are too close to tell apart.
                             ArtefactCase{"gap",
                                          [](Grid<uint8_t>& g) {
                                              DrawRidge(g, 5, 40, 47, 40, 2.2);
                                              DrawRidge(g, 51, 40, 95, 40, 2.2);
                                          },
                                          2},
                             // A speck is no ridge.
                             ArtefactCase{"speck", [](Grid<uint8_t>& g) { DrawRidge(g, 50, 40, 52, 40, 2.2); }, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fpsynth
