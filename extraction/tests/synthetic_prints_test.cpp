// The block maps on synthetic fingerprints: clean impressions of every pattern class,
// whose ridges are exactly the generated ones, compared block by block with the ridge
// orientation and period that the image itself shows.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fpsynth/fpsynth.h"
#include "interface/extraction_pipeline.h"
#include "support/ridge_reference.h"

namespace fenrax {
namespace {

struct Agreement {
    int blocks = 0;           // foreground blocks judged
    int directionsAgree = 0;  // within one 22.5-degree class of the reference
    int periodsJudged = 0;    // with a period on both sides
    int periodsAgree = 0;     // within 15 %
};

// Foreground blocks: interior blocks whose centre has the finger all around it for 12
// pixels, the reach of the direction lines, away from singular points, where the
// orientation has no single value.
bool IsJudged(const fpsynth::Impression& imp, int x, int y)
{
    for (int dy = -12; dy <= 12; ++dy) {
        for (int dx = -12; dx <= 12; ++dx) {
            const int px = x + dx;
            const int py = y + dy;
            if (px < 0 || py < 0 || px >= imp.foreground.width || py >= imp.foreground.height ||
                imp.foreground.at(px, py) == 0) {
                return false;
            }
        }
    }
    for (const fpsynth::SingularPoint& s : imp.singularPoints) {
        if (std::hypot(s.x - x, s.y - y) < 12) {
            return false;
        }
    }
    return true;
}

Agreement Compare(const fpsynth::Impression& imp)
{
    const Geometry g = *MakeGeometry(imp.image.width, imp.image.height);
    std::vector<uint8_t> working = PlaceRawImage(g, imp.image.pixels.data());
    std::vector<uint8_t> directions(g.Blocks());
    std::vector<uint8_t> periods(g.Blocks());
    NoDumps noDumps;
    EnhanceAndMap(working, g, directions, periods, noDumps);

    const testing::GreyView view{imp.image.pixels.data(), imp.image.width, imp.image.height};
    Agreement a;
    for (int by = 1; by <= g.blocksHigh - 2; ++by) {
        for (int bx = 1; bx <= g.blocksWide - 2; ++bx) {
            const int x = 8 * bx + 4 - g.marginX;
            const int y = 8 * by + 4 - g.marginY;
            if (!IsJudged(imp, x, y)) {
                continue;
            }
            ++a.blocks;
            const testing::Orientation truth = testing::RidgeOrientation(view, x, y, 8);
            const int d = directions[g.BlockIndex(bx, by)];
            if (d < 8 && testing::OrientationDistance(d * 22.5, truth.degrees) <= 22.5) {
                ++a.directionsAgree;
            }
            const int p = periods[g.BlockIndex(bx, by)];
            const double truePeriod = testing::RidgePeriod(view, x, y, truth.degrees);
            if (p >= 40 && p <= 200 && truePeriod > 0) {
                ++a.periodsJudged;
                if (std::fabs(p / 10.0 - truePeriod) <= 0.15 * truePeriod) {
                    ++a.periodsAgree;
                }
            }
        }
    }
    return a;
}

// Each pattern class at both benchmark sizes: directions within one class (22.5 degrees)
// of the image's own orientation on at least 90 % of the foreground blocks, periods
// within 15 % of its ridge spacing on at least 90 % of them.
class SyntheticPrints : public ::testing::TestWithParam<fpsynth::PatternClass> {};

TEST_P(SyntheticPrints, MapsFollowTheRidgesOfCleanImpressions)
{
    fpsynth::MasterOptions m;
    m.seed = 11 + static_cast<uint64_t>(GetParam());
    m.patternClass = GetParam();
    const fpsynth::MasterFingerprint master = fpsynth::MasterFingerprint::Generate(m);
    for (const int side : {256, 300}) {
        const fpsynth::Impression imp =
            fpsynth::RenderImpression(master, fpsynth::CleanImpressionOptions(side, side, 5 + side));
        const Agreement a = Compare(imp);
        SCOPED_TRACE(std::to_string(side) + " x " + std::to_string(side));
        ASSERT_GT(a.blocks, 300);
        EXPECT_GE(a.directionsAgree, 0.9 * a.blocks);
        EXPECT_GE(a.periodsJudged, 0.9 * a.blocks);
        EXPECT_GE(a.periodsAgree, 0.9 * a.periodsJudged);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryClass, SyntheticPrints, ::testing::ValuesIn(fpsynth::kPatternClasses),
                         [](const ::testing::TestParamInfo<fpsynth::PatternClass>& info) {
                             std::string name(fpsynth::PatternClassName(info.param));
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
}  // namespace fenrax
