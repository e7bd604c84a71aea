// The library's own transcendental functions and random numbers.
#include "core/det_math.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/random.h"

namespace fpsynth {
namespace {

TEST(DeterministicMath, AgreesWithTheSystemLibraryFarBeyondEightBits)
{
    for (double x = -40.0; x <= 40.0; x += 0.0137) {
        EXPECT_NEAR(DetSin(x), std::sin(x), 1e-12) << x;
        EXPECT_NEAR(DetCos(x), std::cos(x), 1e-12) << x;
        EXPECT_NEAR(DetAtan(x), std::atan(x), 1e-12) << x;
        EXPECT_NEAR(DetExp(x / 2), std::exp(x / 2), 1e-12 * std::exp(x / 2)) << x;
    }
    for (double a = -3.2; a <= 3.2; a += 0.01) {
        const double y = std::sin(a) * 7.0;
        const double x = std::cos(a) * 7.0;
        EXPECT_NEAR(DetAtan2(y, x), std::atan2(y, x), 1e-12) << a;
    }
    EXPECT_EQ(DetAtan2(0.0, 0.0), 0.0);
    EXPECT_NEAR(DetAtan2(0.0, -1.0), kPi, 1e-15);
    EXPECT_EQ(DetExp(-1000.0), 0.0);
}

TEST(DeterministicMath, AnglesFoldIntoTheirRanges)
{
    EXPECT_NEAR(WrapAngle(-0.5), kTwoPi - 0.5, 1e-15);
    EXPECT_NEAR(WrapAngle(7.0), 7.0 - kTwoPi, 1e-15);
    EXPECT_NEAR(WrapOrientation(-0.5), kPi - 0.5, 1e-15);
    EXPECT_NEAR(WrapOrientation(4.0), 4.0 - kPi, 1e-15);
    EXPECT_LT(WrapAngle(-1e-18), kTwoPi);
}

TEST(RandomNumbers, DrawsStayInRangeAndAreFairlySpread)
{
    Random random(12345);
    double sum = 0;
    double squares = 0;
    int counts[7] = {};
    constexpr int kDraws = 20000;
    for (int i = 0; i < kDraws; ++i) {
        const double u = random.Uniform();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
        const uint32_t b = random.Below(7);
        ASSERT_LT(b, 7u);
        ++counts[b];
        const double n = random.Normal();
        sum += n;
        squares += n * n;
    }
    EXPECT_NEAR(sum / kDraws, 0.0, 0.03);
    EXPECT_NEAR(squares / kDraws, 1.0, 0.05);
    for (const int count : counts) {
        EXPECT_NEAR(count, kDraws / 7.0, kDraws / 7.0 * 0.1);
    }
    // Fixed by the seed alone.
    Random a(99);
    Random b(99);
    EXPECT_EQ(a.Next(), b.Next());
    EXPECT_NE(DeriveSeed(1, 1), DeriveSeed(1, 2));
}

}  // namespace
}  // namespace fpsynth
