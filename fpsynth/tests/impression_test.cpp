// Impressions: what a small data set looks like as a whole, whether the ground truth
// matches the ridges of the image it belongs to, and how placement and options act.
#include "fpsynth/impression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "fingerprint_analysis.h"
#include "fpsynth/master.h"
#include "minutiae/minutiae_detection.h"
#include "minutiae/skeleton.h"

namespace fpsynth {
namespace {

MasterFingerprint Master(uint64_t seed, PatternClass patternClass)
{
    MasterOptions options;
    options.seed = seed;
    options.patternClass = patternClass;
    return MasterFingerprint::Generate(options);
}

double Share(const GreyImage& mask)
{
    return static_cast<double>(std::count(mask.pixels.begin(), mask.pixels.end(), 255)) /
           static_cast<double>(mask.pixels.size());
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

TEST(ImpressionStatistics, SmallDataSetHasRealisticPeriodMinutiaeAndContact)
{
    // One finger of every class, two full impressions each, as the reader would take them.
    std::vector<double> periods;
    std::vector<double> counts;
    uint64_t seed = 41;
    for (const PatternClass patternClass : kPatternClasses) {
        const MasterFingerprint master = Master(seed++, patternClass);
        for (int i = 0; i < 2; ++i) {
            ImpressionOptions options;
            options.seed = seed * 10 + static_cast<uint64_t>(i);
            options.partialContact = false;
            options.pressureSpread = 0.0;
            const Impression impression = RenderImpression(master, options);
            SCOPED_TRACE(std::string(PatternClassName(patternClass)) + " impression " + std::to_string(i));

            const double contact = Share(impression.foreground);
            EXPECT_GE(contact, 0.4);
            EXPECT_LE(contact, 0.9);
            // Arches have fewer minutiae than loops and whorls, as on real fingers.
            EXPECT_GE(impression.minutiae.size(), 20u);
            EXPECT_LE(impression.minutiae.size(), 75u);
            counts.push_back(static_cast<double>(impression.minutiae.size()));
            const std::vector<double> local = testing::BlockRidgePeriods(impression.image, impression.foreground);
            EXPECT_GE(local.size(), 20u);
            periods.insert(periods.end(), local.begin(), local.end());
        }
    }
    EXPECT_GE(Median(counts), 25.0);
    EXPECT_LE(Median(counts), 70.0);
    const double median = Median(periods);
    EXPECT_GE(median, 8.0);
    EXPECT_LE(median, 11.0);
    const auto inRange = std::count_if(periods.begin(), periods.end(), [](double p) { return p >= 7.0 && p <= 12.0; });
    EXPECT_GE(static_cast<double>(inRange), 0.9 * static_cast<double>(periods.size()));
}

TEST(ImpressionGroundTruth, MinutiaeLieOnEndingsAndForksOfTheImagesOwnRidges)
{
    // Clean impressions, still turned, shifted and distorted: binarise and thin the image
    // itself and look for a line end or fork of the same kind near each listed minutia.
    int listed = 0;
    int found = 0;
    int sameKind = 0;
    int directed = 0;
    int pointing = 0;
    uint64_t seed = 61;
    for (const PatternClass patternClass : {PatternClass::Arch, PatternClass::LeftLoop, PatternClass::Whorl}) {
        const MasterFingerprint master = Master(seed++, patternClass);
        const Impression impression = RenderImpression(master, CleanImpressionOptions(352, 288, seed * 3));
        Grid<uint8_t> skeleton = testing::BinariseRidges(impression.image, impression.foreground);
        ThinRidges(skeleton);
        const std::vector<Minutia> points = testing::SkeletonMinutiae(skeleton);
        const std::vector<Minutia> detected =
            DetectMinutiae(skeleton, Grid<uint8_t>(skeleton.width, skeleton.height, 1), DetectionRules{});
        for (const Minutia& truth : impression.minutiae) {
            ++listed;
            bool near = false;
            bool same = false;
            for (const Minutia& p : points) {
                if (std::hypot(p.x - truth.x, p.y - truth.y) <= 4.0) {
                    near = true;
                    same = same || p.type == truth.type;
                }
            }
            found += near ? 1 : 0;
            sameKind += same ? 1 : 0;
            for (const Minutia& d : detected) {
                if (std::hypot(d.x - truth.x, d.y - truth.y) <= 4.0) {
                    ++directed;
                    const double gap = std::fabs(std::fmod(d.direction - truth.direction + 540.0, 360.0) - 180.0);
                    pointing += gap <= 30.0 ? 1 : 0;
                    break;
                }
            }
        }
    }
    ASSERT_GT(listed, 60);
    EXPECT_GE(found, 0.9 * listed);
    EXPECT_GE(sameKind, 0.9 * listed);
    EXPECT_GE(pointing, 0.9 * directed);
}

TEST(ImpressionPlacement, RigidPlacementKeepsDistancesAndDistortionBendsThemALittle)
{
    const MasterFingerprint master = Master(71, PatternClass::RightLoop);
    ImpressionOptions options = CleanImpressionOptions(640, 640, 5);  // room for the whole finger
    options.maxShift = 0.0;
    options.distortion = 0.0;
    options.maxRotation = 20.0;
    const Impression rigid = RenderImpression(master, options);
    options.distortion = 1.0;
    const Impression distorted = RenderImpression(master, options);
    ASSERT_NE(rigid.pose.rotation, 0.0);

    // Minutiae of the master matched to their images by position order is not possible;
    // pair distances of the singular points, which every placement keeps, are.
    ASSERT_EQ(rigid.singularPoints.size(), 2u);
    ASSERT_EQ(distorted.singularPoints.size(), 2u);
    const auto distance = [](const std::vector<SingularPoint>& p) {
        return std::hypot(p[0].x - p[1].x, p[0].y - p[1].y);
    };
    const double original = distance(master.SingularPoints());
    EXPECT_NEAR(distance(rigid.singularPoints), original, 0.01);
    EXPECT_NEAR(distance(distorted.singularPoints), original, 0.15 * original);
    // The turn of the line from core to delta is the pose's rotation.
    const auto angle = [](const std::vector<SingularPoint>& p) { return std::atan2(p[1].y - p[0].y, p[1].x - p[0].x); };
    double turned = (angle(rigid.singularPoints) - angle(master.SingularPoints())) * 180.0 / 3.14159265358979;
    EXPECT_NEAR(turned, rigid.pose.rotation, 0.01);

    // Every minutia direction turns with the finger too: the rigid impression keeps all
    // master minutiae (the image is large), each moved by the same rotation and shift.
    ASSERT_FALSE(rigid.minutiae.empty());
    const double c = std::cos(rigid.pose.rotation * 3.14159265358979 / 180.0);
    const double s = std::sin(rigid.pose.rotation * 3.14159265358979 / 180.0);
    for (const Minutia& m : rigid.minutiae) {
        bool matched = false;
        for (const Minutia& o : master.Minutiae()) {
            // Rotate the master offset from the core and compare with the image offset.
            const double dx = o.x - master.SingularPoints()[0].x;
            const double dy = o.y - master.SingularPoints()[0].y;
            const double ex = rigid.singularPoints[0].x + c * dx - s * dy;
            const double ey = rigid.singularPoints[0].y + s * dx + c * dy;
            if (std::hypot(ex - m.x, ey - m.y) < 0.01) {
                const double expected = std::fmod(o.direction + rigid.pose.rotation + 720.0, 360.0);
                EXPECT_LT(std::fabs(std::fmod(m.direction - expected + 540.0, 360.0) - 180.0), 0.1);
                EXPECT_EQ(m.type, o.type);
                matched = true;
            }
        }
        EXPECT_TRUE(matched) << m.x << ", " << m.y;
    }
}

struct SizeCase {
    int width;
    int height;
};

class ImpressionSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ImpressionSizeTest, AnySizeGivesAFingerWithItsGroundTruthInside)
{
    static const MasterFingerprint master = Master(81, PatternClass::LeftLoop);
    ImpressionOptions options;
    options.width = GetParam().width;
    options.height = GetParam().height;
    options.seed = 9;
    const Impression impression = RenderImpression(master, options);
    ASSERT_EQ(impression.image.width, options.width);
    ASSERT_EQ(impression.image.height, options.height);
    ASSERT_EQ(impression.image.pixels.size(), static_cast<size_t>(options.width * options.height));
    EXPECT_GT(Share(impression.foreground), 0.3);
    for (const Minutia& m : impression.minutiae) {
        EXPECT_GE(m.x, 0.0);
        EXPECT_GE(m.y, 0.0);
        EXPECT_LE(m.x, options.width - 1.0);
        EXPECT_LE(m.y, options.height - 1.0);
        EXPECT_EQ(impression.foreground.at(static_cast<int>(m.x + 0.5), static_cast<int>(m.y + 0.5)), 255);
    }
    // Dark ridges on a light background: the finger is darker on average than what is off it.
    double inside = 0;
    double outside = 0;
    size_t in = 0;
    for (size_t i = 0; i < impression.image.pixels.size(); ++i) {
        if (impression.foreground.pixels[i] != 0) {
            inside += impression.image.pixels[i];
            ++in;
        } else {
            outside += impression.image.pixels[i];
        }
    }
    const size_t out = impression.image.pixels.size() - in;
    if (out > 0) {
        EXPECT_LT(inside / in + 30.0, outside / out);
    }
}

INSTANTIATE_TEST_SUITE_P(ReaderAndExtractorSizes, ImpressionSizeTest,
                         ::testing::Values(SizeCase{352, 288}, SizeCase{256, 256}, SizeCase{300, 300},
                                           SizeCase{260, 300}, SizeCase{480, 320}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

TEST(ImpressionOptionsCheck, OptionsOutOfRangeAreRefused)
{
    static const MasterFingerprint master = Master(91, PatternClass::Arch);
    const std::vector<void (*)(ImpressionOptions&)> breakers = {
        [](ImpressionOptions& o) { o.width = 0; },
        [](ImpressionOptions& o) { o.height = 5000; },
        [](ImpressionOptions& o) { o.scale = 0.1; },
        [](ImpressionOptions& o) { o.maxRotation = -1; },
        [](ImpressionOptions& o) { o.maxShift = 2; },
        [](ImpressionOptions& o) { o.distortion = 3; },
        [](ImpressionOptions& o) { o.noise = -0.5; },
        [](ImpressionOptions& o) { o.pressureSpread = 1.5; },
        [](ImpressionOptions& o) { o.scale = std::nan(""); },
    };
    for (size_t i = 0; i < breakers.size(); ++i) {
        ImpressionOptions options;
        breakers[i](options);
        EXPECT_THROW(RenderImpression(master, options), std::invalid_argument) << "case " << i;
    }
}

TEST(ImpressionPose, PoseStaysWithinTheOptions)
{
    static const MasterFingerprint master = Master(93, PatternClass::Whorl);
    ImpressionOptions options;
    options.width = 64;
    options.height = 64;
    options.maxRotation = 5.0;
    options.maxShift = 0.05;
    options.pressureSpread = 0.0;
    for (uint64_t seed = 1; seed <= 12; ++seed) {
        options.seed = seed;
        const ImpressionPose pose = RenderImpression(master, options).pose;
        EXPECT_LE(std::fabs(pose.rotation), 5.0);
        EXPECT_LE(std::fabs(pose.shiftX), 0.05 * 64);
        EXPECT_LE(std::fabs(pose.shiftY), 0.05 * 64);
        EXPECT_EQ(pose.pressure, 0.5);
    }
}

}  // namespace
}  // namespace fpsynth
