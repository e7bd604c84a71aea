// Masters: every pattern class shows its singular points in its own ridges, the minutiae
// lie on the finger, and a seed always gives the same finger.
#include "fpsynth/master.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fingerprint_analysis.h"
#include "master/master_data.h"

namespace fpsynth {
namespace {

using testing::FindSingularPoints;
using testing::FingerMask;

struct ClassCase {
    PatternClass patternClass;
    uint64_t seed;
    int cores;
    int deltas;
};

class MasterClassTest : public ::testing::TestWithParam<ClassCase> {};

int Count(const std::vector<SingularPoint>& points, SingularKind kind)
{
    int n = 0;
    for (const SingularPoint& p : points) {
        n += p.kind == kind ? 1 : 0;
    }
    return n;
}

TEST_P(MasterClassTest, RidgesShowTheSingularPointsOfTheClass)
{
    const ClassCase c = GetParam();
    MasterOptions options;
    options.seed = c.seed;
    options.patternClass = c.patternClass;
    const MasterFingerprint master = MasterFingerprint::Generate(options);
    ASSERT_EQ(master.Class(), c.patternClass);
    ASSERT_EQ(Count(master.SingularPoints(), SingularKind::Core), c.cores);
    ASSERT_EQ(Count(master.SingularPoints(), SingularKind::Delta), c.deltas);

    // What the ridges show, measured on the rendered image alone.
    const GreyImage image = master.Render();
    const std::vector<SingularPoint> found = FindSingularPoints(image, FingerMask(image), 18);
    EXPECT_EQ(Count(found, SingularKind::Delta), c.deltas);
    if (c.patternClass == PatternClass::Whorl) {
        // The two cores of a whorl may be close enough to read as one centre.
        EXPECT_GE(Count(found, SingularKind::Core), 1);
        EXPECT_LE(Count(found, SingularKind::Core), 2);
    } else {
        EXPECT_EQ(Count(found, SingularKind::Core), c.cores);
    }
    for (const SingularPoint& f : found) {
        double nearest = 1e9;
        for (const SingularPoint& p : master.SingularPoints()) {
            if (p.kind == f.kind) {
                nearest = std::min(nearest, std::hypot(p.x - f.x, p.y - f.y));
            }
        }
        EXPECT_LT(nearest, 30.0) << "unplanned singular point at " << f.x << ", " << f.y;
    }

    if (c.cores == 1 && c.deltas == 1) {
        const SingularPoint& core = master.SingularPoints()[0];
        const SingularPoint& delta = master.SingularPoints()[1];
        EXPECT_GT(delta.y, core.y);
        switch (c.patternClass) {
            case PatternClass::LeftLoop:
                EXPECT_GT(delta.x - core.x, 30.0);
                break;
            case PatternClass::RightLoop:
                EXPECT_LT(delta.x - core.x, -30.0);
                break;
            default:
                EXPECT_LT(std::fabs(delta.x - core.x), 0.5 * (delta.y - core.y));
                break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryClass, MasterClassTest,
                         ::testing::Values(ClassCase{PatternClass::Arch, 11, 0, 0},
                                           ClassCase{PatternClass::TentedArch, 12, 1, 1},
                                           ClassCase{PatternClass::LeftLoop, 13, 1, 1},
                                           ClassCase{PatternClass::RightLoop, 14, 1, 1},
                                           ClassCase{PatternClass::Whorl, 15, 2, 2}),
                         [](const auto& info) {
                             std::string name(PatternClassName(info.param.patternClass));
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

TEST(Master, MinutiaeLieOnTheFingerInRealisticNumbers)
{
    MasterOptions options;
    options.seed = 21;
    options.patternClass = PatternClass::RightLoop;
    const MasterFingerprint master = MasterFingerprint::Generate(options);
    const MasterData& data = master.Data();
    EXPECT_GE(master.Minutiae().size(), 25u);
    EXPECT_LE(master.Minutiae().size(), 100u);
    int endings = 0;
    for (const Minutia& m : master.Minutiae()) {
        EXPECT_GE(data.shape.Inside(m.x, m.y), 0.0);
        EXPECT_GE(m.direction, 0.0);
        EXPECT_LT(m.direction, 360.0);
        endings += m.type == MinutiaType::Ending ? 1 : 0;
    }
    // Both kinds are common on real fingers.
    EXPECT_GT(endings, 0);
    EXPECT_LT(endings, static_cast<int>(master.Minutiae().size()));
    // Master size at 500 dpi: about 12 to 15 mm wide plus margins.
    EXPECT_GE(master.Width(), 270);
    EXPECT_LE(master.Width(), 360);
}

TEST(Master, SameOptionsGiveTheSameFingerAndAnotherSeedAnotherOne)
{
    MasterOptions options;
    options.seed = 31;
    const MasterFingerprint a = MasterFingerprint::Generate(options);
    const MasterFingerprint b = MasterFingerprint::Generate(options);
    EXPECT_EQ(a.Render().pixels, b.Render().pixels);
    EXPECT_EQ(a.Minutiae().size(), b.Minutiae().size());

    // Naming the class that the seed draws anyway changes nothing else.
    options.patternClass = a.Class();
    const MasterFingerprint named = MasterFingerprint::Generate(options);
    EXPECT_EQ(named.Render().pixels, a.Render().pixels);

    options.seed = 32;
    const MasterFingerprint other = MasterFingerprint::Generate(options);
    EXPECT_NE(other.Render().pixels, a.Render().pixels);
}

}  // namespace
}  // namespace fpsynth
