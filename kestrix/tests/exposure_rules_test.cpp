// Judging one image: the finger area and brightness it measures, the rules in their
// order, and how the gain index moves.

#include "capture/exposure_rules.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "capture/gain_tables.h"
#include "capture/image_statistics.h"
#include "test_frames.h"

namespace kestrix {
namespace {

using testing::ImageWith;

TEST(ImageStatistics, CountsPixelsAboveTheBlackLevelAndAveragesThemTruncated)
{
    std::vector<uint8_t> image(kImageSize, 0);
    image[0] = 10;  // black
    image[1] = 11;
    image[2] = 255;
    image[3] = 100;
    const ImageStatistics s = MeasureImage(image);
    EXPECT_EQ(s.area, 3);
    EXPECT_EQ(s.mean, (11 + 255 + 100) / 3);
    EXPECT_EQ(MeasureImage(std::vector<uint8_t>(kImageSize, 10)).area, 0);
    EXPECT_EQ(MeasureImage(std::vector<uint8_t>(kImageSize, 255)).mean, 255);
}

TEST(BrightnessSteps, FollowTheBandsOfMeanBrightness)
{
    const std::vector<std::pair<int, int>> bands = {{0, 6},    {39, 6},   {40, 5},   {47, 5},   {48, 4},   {55, 4},
                                                    {56, 3},   {63, 3},   {64, 2},   {71, 2},   {72, 1},   {79, 1},
                                                    {80, 0},   {100, 0},  {101, -2}, {110, -2}, {111, -3}, {120, -3},
                                                    {121, -4}, {132, -4}, {133, -5}, {145, -5}, {146, -6}, {255, -6}};
    for (const auto& [mean, step] : bands) {
        EXPECT_EQ(BrightnessStep(mean), step) << "mean " << mean;
    }
    for (int mean = 0; mean < 256; ++mean) {
        EXPECT_NE(BrightnessStep(mean), -1);
    }
}

struct RuleCase {
    const char* name;
    int tries;
    int gainIndex;
    int previousArea;
    int area;
    uint8_t mean;
    int result;
    int triesAfter;
    int gainIndexAfter;
};

void PrintTo(const RuleCase& c, std::ostream* os)
{
    *os << c.name;
}

class ExposureRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ExposureRules, JudgeTheImageAndSteerTheGain)
{
    const RuleCase& c = GetParam();
    ExposureState exposure;
    exposure.SelectTable(kGainTableB);
    exposure.SetGainIndex(c.gainIndex);
    exposure.tries = c.tries;
    exposure.previousArea = c.previousArea;

    const ImageStatistics statistics = MeasureImage(ImageWith(c.area, c.mean));
    ASSERT_EQ(statistics.area, c.area);
    EXPECT_EQ(JudgeImage(statistics, exposure), c.result);
    EXPECT_EQ(exposure.tries, c.triesAfter);
    EXPECT_EQ(exposure.gainIndex, c.gainIndexAfter);
    EXPECT_EQ(exposure.gainByte, kGainTableB[static_cast<size_t>(c.gainIndexAfter)]);
    // Only frames with a finger update the previous area.
    EXPECT_EQ(exposure.previousArea, c.area > 4000 ? c.area : c.previousArea);
}

constexpr int kLarge = 20000;

INSTANTIATE_TEST_SUITE_P(
    Cases, ExposureRules,
    ::testing::Values(
        // name, tries, gain index, previous area, area, mean -> result, tries, gain index
        RuleCase{"area4000IsNoFingerAndResets", 7, 20, 9000, 4000, 90, 0, 0, 15},
        RuleCase{"area4001GoesOnToTheRules", 0, 20, 0, 4001, 90, 1, 1, 20},
        RuleCase{"mean80SteadyAndLargeIsGood", 2, 20, kLarge, kLarge, 80, 2, 2, 20},
        RuleCase{"mean100SteadyAndLargeIsGood", 2, 20, kLarge, kLarge, 100, 2, 2, 20},
        RuleCase{"mean101IsNotYetGoodAndLowersTheGain", 2, 20, kLarge, kLarge, 101, 1, 3, 18},
        RuleCase{"mean101AtGainIndex3AfterSixTriesIsAcceptable", 6, 3, kLarge, kLarge, 101, 3, 6, 3},
        RuleCase{"veryBrightAtGainIndex0AfterManyTriesIsAcceptable", 20, 0, kLarge, kLarge, 200, 3, 20, 0},
        RuleCase{"mean101AfterFiveTriesIsNotYetAcceptable", 5, 3, kLarge, kLarge, 101, 1, 6, 1},
        RuleCase{"mean101AtGainIndex4IsNotAcceptable", 6, 4, kLarge, kLarge, 101, 1, 7, 2},
        RuleCase{"mean79AtLowGainIsNotAcceptable", 6, 3, kLarge, kLarge, 79, 1, 7, 4},
        RuleCase{"theSecondFrameIsNeverGood", 1, 20, kLarge, kLarge, 90, 1, 2, 20},
        RuleCase{"anAreaChangeOf3000IsNotSteady", 2, 20, kLarge - 3000, kLarge, 90, 1, 3, 20},
        RuleCase{"anAreaChangeOf2999IsSteady", 2, 20, kLarge + 2999, kLarge, 90, 2, 2, 20},
        RuleCase{"anAreaOf15000IsTooSmall", 2, 20, 15000, 15000, 90, 1, 3, 20},
        RuleCase{"anAreaOf15001IsLargeEnough", 2, 20, 15001, 15001, 90, 2, 2, 20},
        RuleCase{"theFirstTwoFramesKeepTheGain", 1, 20, kLarge, kLarge, 30, 1, 2, 20},
        RuleCase{"darkFramesRaiseTheGain", 2, 20, kLarge, kLarge, 50, 1, 3, 24},
        RuleCase{"theGainIndexStopsAt30", 9, 28, kLarge, kLarge, 30, 1, 10, 30},
        RuleCase{"theGainIndexStopsAt0", 9, 4, kLarge, kLarge, 79 + 100, 1, 10, 0},
        RuleCase{"the25thTryGivesUpAndResets", 25, 30, kLarge, kLarge, 50, 0, 0, 15},
        RuleCase{"goodBeatsGivingUp", 25, 30, kLarge, kLarge, 90, 2, 25, 30}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrix
