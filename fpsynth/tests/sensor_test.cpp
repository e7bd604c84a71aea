// Sensor frames as the reader simulation uses them: black off the finger, a bright finger
// that is placed, held and lifted, brightness that follows the gain, and an exposure loop
// like the reader's that settles from a dark and from a bright start.
#include "fpsynth/sensor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace fpsynth {
namespace {

const MasterFingerprint& TestMaster()
{
    static const MasterFingerprint master = [] {
        MasterOptions options;
        options.seed = 101;
        options.patternClass = PatternClass::LeftLoop;
        return MasterFingerprint::Generate(options);
    }();
    return master;
}

struct FrameMeasure {
    int area = 0;  // pixels above 10
    int mean = 0;  // their mean level, truncated
};

FrameMeasure Measure(const GreyImage& image)
{
    FrameMeasure m;
    long long sum = 0;
    for (const uint8_t v : image.pixels) {
        if (v > kSensorBlackLevel) {
            ++m.area;
            sum += v;
        }
    }
    m.mean = m.area > 0 ? static_cast<int>(sum / m.area) : 0;
    return m;
}

// The reader's 352 x 288 image: every frame pixel at 10/8 of the image position.
GreyImage ReaderImage(const GreyImage& frame)
{
    GreyImage image(352, 288);
    for (int r = 0; r < 288; ++r) {
        for (int c = 0; c < 352; ++c) {
            image.at(351 - c, r) = frame.at(10 * c / 8, 10 * r / 8);
        }
    }
    return image;
}

TEST(SensorFrame, OffTheFingerIsBlackAndTheFingerBright)
{
    SensorPose pose;
    pose.skinSeed = 7;
    pose.noiseSeed = 8;
    const SensorFrame frame = RenderSensorFrame(TestMaster(), pose, 90);
    ASSERT_EQ(frame.image.width, kSensorFrameWidth);
    ASSERT_EQ(frame.image.height, kSensorFrameHeight);
    int finger = 0;
    for (size_t i = 0; i < frame.image.pixels.size(); ++i) {
        if (frame.finger.pixels[i] != 0) {
            ++finger;
            EXPECT_GT(frame.image.pixels[i], kSensorBlackLevel);
        } else {
            ASSERT_LE(frame.image.pixels[i], kSensorBlackLevel) << "pixel " << i;
        }
    }
    EXPECT_EQ(frame.fingerPixels, finger);
    // Pressed, the finger covers tens of thousands of the reader's pixels.
    const FrameMeasure reader = Measure(ReaderImage(frame.image));
    EXPECT_GT(reader.area, 30000);
    EXPECT_LT(reader.area, 90000);
    // Ridges are darker than the skin between them: the finger is not one flat level.
    int dark = 0;
    int bright = 0;
    const FrameMeasure whole = Measure(frame.image);
    for (size_t i = 0; i < frame.image.pixels.size(); ++i) {
        if (frame.finger.pixels[i] != 0) {
            dark += frame.image.pixels[i] < whole.mean - 20 ? 1 : 0;
            bright += frame.image.pixels[i] > whole.mean + 20 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, finger / 5);
    EXPECT_GT(bright, finger / 5);
    for (const Minutia& m : frame.minutiae) {
        EXPECT_EQ(frame.finger.at(static_cast<int>(m.x + 0.5), static_cast<int>(m.y + 0.5)), 255);
    }
}

TEST(SensorFrame, BrightnessRisesWithTheGain)
{
    SensorPose pose;
    pose.skinSeed = 17;
    pose.noiseSeed = 18;
    int previous = -1;
    for (int gain = 0; gain <= 255; gain += 15) {
        const FrameMeasure m = Measure(RenderSensorFrame(TestMaster(), pose, static_cast<uint8_t>(gain)).image);
        ASSERT_GT(m.area, 20000);
        if (previous < 200) {
            EXPECT_GT(m.mean, previous) << "gain " << gain;
        } else {
            EXPECT_GE(m.mean, previous) << "gain " << gain;
        }
        previous = m.mean;
    }
    EXPECT_LT(Measure(RenderSensorFrame(TestMaster(), pose, 0).image).mean, 40);
    EXPECT_GT(previous, 180);
}

TEST(SensorFrame, LevelFormulaIsMonotonicAndBounded)
{
    int previous = 0;
    for (int gain = 0; gain <= 255; ++gain) {
        const int level = SensorLevel(0.6, 1.0, static_cast<uint8_t>(gain));
        EXPECT_GE(level, previous);
        EXPECT_GT(level, kSensorBlackLevel);
        EXPECT_LE(level, 255);
        EXPECT_LT(SensorLevel(0.3, 1.0, static_cast<uint8_t>(gain)),
                  SensorLevel(0.9, 1.0, static_cast<uint8_t>(gain)) + 1);
        previous = level;
    }
    EXPECT_EQ(SensorLevel(0.6, 1.0, 0), 17);   // 12 + 0.6 * 8, rounded
    EXPECT_EQ(SensorLevel(0.6, 1.0, 75), 89);  // 12 + 0.6 * 128
    EXPECT_EQ(SensorLevel(0.95, 1.3, 255), 255);
}

TEST(SensorTouchSequence, FingerIsPlacedHeldAndLifted)
{
    TouchScript script;
    script.placingFrames = 4;
    script.holdingFrames = 6;
    script.liftingFrames = 3;
    SensorTouch touch(TestMaster(), 5, script);
    std::vector<int> areas;
    std::vector<TouchPhase> phases;
    std::vector<int> readerAreas;
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(touch.Phase(), i < 4    ? TouchPhase::Placing
                                 : i < 10 ? TouchPhase::Holding
                                 : i < 13 ? TouchPhase::Lifting
                                          : TouchPhase::Lifted);
        const SensorFrame frame = touch.Capture(80);
        phases.push_back(frame.phase);
        areas.push_back(Measure(frame.image).area);
        readerAreas.push_back(Measure(ReaderImage(frame.image)).area);
        EXPECT_EQ(frame.fingerPixels, areas.back());
    }
    for (int i = 1; i < 5; ++i) {
        EXPECT_GT(areas[static_cast<size_t>(i)], areas[static_cast<size_t>(i - 1)]) << "placing, frame " << i;
    }
    EXPECT_GT(areas[0], 5000);
    for (int i = 5; i < 10; ++i) {
        // Held: the reader sees area changes well below its limit of 3000 pixels.
        EXPECT_LT(std::abs(readerAreas[static_cast<size_t>(i)] - readerAreas[static_cast<size_t>(i - 1)]), 1500)
            << "holding, frame " << i;
        EXPECT_GT(readerAreas[static_cast<size_t>(i)], 15000);
    }
    for (int i = 10; i < 13; ++i) {
        EXPECT_LT(areas[static_cast<size_t>(i)], areas[static_cast<size_t>(i - 1)]) << "lifting, frame " << i;
    }
    EXPECT_EQ(areas[13], 0);
    EXPECT_EQ(areas[14], 0);
}

TEST(SensorTouchSequence, LiftEndsTheHoldingAtOnce)
{
    TouchScript script;
    script.holdingFrames = -1;
    SensorTouch touch(TestMaster(), 6, script);
    for (int i = 0; i < 6; ++i) {
        touch.Capture(60);
    }
    EXPECT_EQ(touch.Phase(), TouchPhase::Holding);
    touch.Lift();
    EXPECT_EQ(touch.Phase(), TouchPhase::Lifting);
    for (int i = 0; i < script.liftingFrames; ++i) {
        EXPECT_EQ(touch.Capture(60).phase, TouchPhase::Lifting);
    }
    const SensorFrame after = touch.Capture(60);
    EXPECT_EQ(after.phase, TouchPhase::Lifted);
    EXPECT_EQ(after.fingerPixels, 0);
}

// The reader's exposure control in short: the gain index steps by the mean brightness of
// the pixels above 10 until the mean lies in 80..100.
int Step(int mean)
{
    if (mean < 40)
        return 6;
    if (mean < 48)
        return 5;
    if (mean < 56)
        return 4;
    if (mean < 64)
        return 3;
    if (mean < 72)
        return 2;
    if (mean < 80)
        return 1;
    if (mean <= 100)
        return 0;
    if (mean <= 110)
        return -2;
    if (mean <= 120)
        return -3;
    if (mean <= 132)
        return -4;
    if (mean <= 145)
        return -5;
    return -6;
}

struct ExposureCase {
    const char* name;
    int table;  // 0 or 1
    int startIndex;
    uint64_t seed;
};

class ExposureTest : public ::testing::TestWithParam<ExposureCase> {};

TEST_P(ExposureTest, ExposureControlSettlesInTheTargetBand)
{
    static constexpr int kTables[2][31] = {{0,  2,  4,  6,  7,  9,  10, 12, 14,  16,  20,  22,  26,  28,  30, 35,
                                            38, 42, 45, 52, 59, 67, 75, 89, 100, 119, 146, 172, 197, 210, 255},
                                           {0,  4,  8,  12, 16, 20,  22,  26,  29,  34,  38,  41,  46,  51,  56, 62,
                                            68, 74, 78, 87, 94, 103, 112, 123, 136, 150, 164, 184, 201, 226, 255}};
    const ExposureCase c = GetParam();
    TouchScript script;
    script.placingFrames = 2;
    script.holdingFrames = 16;
    SensorTouch touch(TestMaster(), c.seed, script);
    int index = c.startIndex;
    int settledAt = -1;
    for (int frame = 0; frame < 18 && settledAt < 0; ++frame) {
        const FrameMeasure m = Measure(ReaderImage(touch.Capture(static_cast<uint8_t>(kTables[c.table][index])).image));
        ASSERT_GT(m.area, 4000);
        if (m.mean >= 80 && m.mean <= 100) {
            settledAt = frame;
        } else {
            index = std::clamp(index + Step(m.mean), 0, 30);
        }
    }
    EXPECT_GE(settledAt, 0) << "no frame reached a mean of 80 to 100";
    EXPECT_LE(settledAt, 10);
}

INSTANTIATE_TEST_SUITE_P(DarkAndBrightStarts, ExposureTest,
                         ::testing::Values(ExposureCase{"darkStartTableA", 0, 0, 21},
                                           ExposureCase{"brightStartTableA", 0, 30, 22},
                                           ExposureCase{"darkStartTableB", 1, 0, 23},
                                           ExposureCase{"brightStartTableB", 1, 30, 24},
                                           ExposureCase{"middleStartTableA", 0, 15, 25}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fpsynth
