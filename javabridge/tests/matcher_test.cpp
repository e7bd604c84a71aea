// The matcher on templates whose geometry the test controls: a print compared with a
// moved copy of itself, with and without the rotation allowed, and with unrelated prints.
#include "biometrics/matcher.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace dactis {
namespace {

FingerTemplate RandomPrint(uint32_t seed, int count)
{
    std::mt19937 random(seed);
    FingerTemplate t;
    t.width = 400;
    t.height = 400;
    t.resolution = 500;
    for (int i = 0; i < count; ++i) {
        t.minutiae.push_back({100 + static_cast<int>(random() % 200), 100 + static_cast<int>(random() % 200),
                              static_cast<int>(random() % 360), MinutiaKind::Ending, 50});
    }
    return t;
}

// Turned by `degrees` about (200, 200) and moved by (dx, dy).
FingerTemplate Moved(const FingerTemplate& t, double degrees, int dx, int dy)
{
    FingerTemplate moved = t;
    const double c = std::cos(degrees * std::numbers::pi / 180);
    const double s = std::sin(degrees * std::numbers::pi / 180);
    for (TemplateMinutia& m : moved.minutiae) {
        const double x = m.x - 200.0;
        const double y = m.y - 200.0;
        m.x = static_cast<int>(std::lround(200 + c * x - s * y)) + dx;
        m.y = static_cast<int>(std::lround(200 + s * x + c * y)) + dy;
        m.direction = static_cast<int>(std::lround(m.direction + degrees + 360)) % 360;
    }
    return moved;
}

TEST(DactisMatcher, PrintAgainstItselfPairsEveryMinutia)
{
    const FingerTemplate print = RandomPrint(1, 40);
    const MatchOutcome outcome = MatchTemplates(print, print, 0);
    EXPECT_EQ(outcome.score, 100);
    ASSERT_EQ(outcome.pairs.size(), 40u);
    for (const auto& [q, r] : outcome.pairs) {
        EXPECT_EQ(q, r);
    }
}

TEST(DactisMatcher, MovedCopyMatchesWithinTheAllowedRotationOnly)
{
    const FingerTemplate print = RandomPrint(2, 40);
    const FingerTemplate moved = Moved(print, 35, 17, -12);
    EXPECT_GE(MatchTemplates(moved, print, 60).score, 90);
    EXPECT_LE(MatchTemplates(moved, print, 20).score, 20);
    EXPECT_GE(MatchTemplates(Moved(print, -150, 0, 0), print, 180).score, 90);
}

TEST(DactisMatcher, UnrelatedPrintsScoreLow)
{
    for (uint32_t seed = 10; seed < 15; ++seed) {
        EXPECT_LT(MatchTemplates(RandomPrint(seed, 40), RandomPrint(seed + 100, 40), 180).score, 25) << seed;
    }
}

TEST(DactisMatcher, ScoreIsHeldDownWhileFewMinutiaePair)
{
    // Twelve minutiae in common out of a few: agreement, but too little to be sure.
    const FingerTemplate print = RandomPrint(3, 12);
    const int few = MatchTemplates(print, print, 0).score;
    EXPECT_LT(few, 100);
    EXPECT_GT(few, 0);
    const FingerTemplate empty;
    EXPECT_EQ(MatchTemplates(empty, print, 180).score, 0);
}

}  // namespace
}  // namespace dactis
