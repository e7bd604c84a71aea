// Whole captures through the scripted reader: the frame becomes the caller's image, the
// result codes follow one another as a finger stays, and the gain the reader is asked
// for follows the exposure control.

#include "capture/capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "capture/gain_tables.h"
#include "test_frames.h"
#include "testing/scripted_device.h"

namespace kestrix {
namespace {

using testing::FailCommand;
using testing::ScriptedDevice;

class Capture : public ::testing::Test {
protected:
    void OpenWithMode(uint8_t modeByte)
    {
        device.modeByte = modeByte;
        ASSERT_TRUE(reader.Open());
        device.ClearRecord();
    }

    int CaptureOnce() { return CaptureImage(reader, std::span<uint8_t, kImageSize>(image.data(), kImageSize)); }

    // The gain byte each CaptureFrame carried, in order.
    std::vector<int> GainBytesSent() const
    {
        std::vector<int> gains;
        for (const std::vector<uint8_t>& packet : device.Packets(Opcode::CaptureFrame)) {
            gains.push_back(packet[10]);
        }
        return gains;
    }

    ScriptedDevice device;
    ReaderConnection reader{device};
    std::vector<uint8_t> image = std::vector<uint8_t>(kImageSize, 0xAB);
};

TEST_F(Capture, PicksFourPixelsInFiveAndMirrorsLeftToRight)
{
    device.frameSource = testing::PatternFrames();
    OpenWithMode(1);
    ASSERT_NE(CaptureOnce(), kNoFrame);
    for (int r = 0; r < kImageHeight; ++r) {
        for (int c = 0; c < kImageWidth; ++c) {
            const size_t frameIndex = static_cast<size_t>(10 * r / 8) * kFrameWidth + 10 * (351 - c) / 8;
            ASSERT_EQ(image[static_cast<size_t>(r) * kImageWidth + c], testing::PatternAt(frameIndex))
                << "row " << r << " column " << c;
        }
    }
}

TEST_F(Capture, TheLeftmostColumnComesFromFrameColumn438AndTheRightmostFromColumn0)
{
    device.frameSource = [](uint8_t, std::span<uint8_t> frame) {
        for (int row = 0; row < kFrameHeight; ++row) {
            frame[static_cast<size_t>(row) * kFrameWidth + 438] = 200;
            frame[static_cast<size_t>(row) * kFrameWidth + 0] = 100;
            frame[static_cast<size_t>(row) * kFrameWidth + 439] = 50;  // never picked
        }
    };
    OpenWithMode(1);
    ASSERT_NE(CaptureOnce(), kNoFrame);
    for (int r = 0; r < kImageHeight; ++r) {
        const uint8_t* row = &image[static_cast<size_t>(r) * kImageWidth];
        EXPECT_EQ(row[0], 200);
        EXPECT_EQ(row[kImageWidth - 1], 100);
        for (int c = 1; c < kImageWidth - 1; ++c) {
            ASSERT_EQ(row[c], 0) << "row " << r << " column " << c;
        }
    }
}

TEST_F(Capture, NoFrameLeavesTheImageAndTheExposureUntouched)
{
    // No connection.
    EXPECT_EQ(CaptureOnce(), kNoFrame);
    EXPECT_TRUE(device.requests.empty());
    // A transfer failure.
    device.frameSource = testing::UniformFrames(50);
    OpenWithMode(1);
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(CaptureOnce(), kNotYetGood);
    }
    const ExposureState before = reader.Exposure();
    std::fill(image.begin(), image.end(), 0xAB);
    device.failWhen = FailCommand(Opcode::CaptureFrame);
    EXPECT_EQ(CaptureOnce(), kNoFrame);
    EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](uint8_t b) { return b == 0xAB; }));
    EXPECT_EQ(reader.Exposure().gainIndex, before.gainIndex);
    EXPECT_EQ(reader.Exposure().tries, before.tries);
    EXPECT_EQ(reader.Exposure().previousArea, before.previousArea);
}

TEST_F(Capture, ASteadyWellLitFingerGivesOneOneThenGood)
{
    device.frameSource = testing::UniformFrames(90);
    OpenWithMode(0);
    std::vector<int> results;
    for (int i = 0; i < 5; ++i) {
        results.push_back(CaptureOnce());
    }
    EXPECT_EQ(results, (std::vector<int>{1, 1, 2, 2, 2}));
    // Good images leave the exposure as it was.
    EXPECT_EQ(reader.Exposure().tries, 2);
    EXPECT_EQ(GainBytesSent(), std::vector<int>(5, kGainTableA[15]));
}

TEST_F(Capture, AFrameWithoutAFingerResetsTheExposure)
{
    device.frameSource = testing::UniformFrames(50);
    OpenWithMode(1);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(CaptureOnce(), kNotYetGood);
    }
    ASSERT_NE(reader.Exposure().gainIndex, 15);
    device.frameSource = testing::UniformFrames(10);
    EXPECT_EQ(CaptureOnce(), kNoFinger);
    EXPECT_EQ(reader.Exposure().gainIndex, 15);
    EXPECT_EQ(reader.Exposure().tries, 0);
    EXPECT_EQ(reader.Exposure().previousArea, static_cast<int32_t>(kImageSize));
}

struct GainWalkCase {
    const char* name;
    uint8_t modeByte;
    uint8_t level;             // every frame's grey level
    bool unsteady;             // the finger's area changes by more than 3000 pixels every frame
    std::vector<int> indices;  // gain index of the first frames, then constant
};

void PrintTo(const GainWalkCase& c, std::ostream* os)
{
    *os << c.name;
}

// Uniform frames whose top 20 rows (16 image rows, 5632 pixels) go black every other frame.
std::function<void(uint8_t, std::span<uint8_t>)> UnsteadyFrames(uint8_t level)
{
    return [level, frame = 0](uint8_t, std::span<uint8_t> bytes) mutable {
        std::fill(bytes.begin(), bytes.end(), level);
        if (frame++ % 2 == 1) {
            std::fill_n(bytes.begin(), 20 * kFrameWidth, uint8_t{10});
        }
    };
}

class GainWalk : public Capture, public ::testing::WithParamInterface<GainWalkCase> {};

TEST_P(GainWalk, StepsEveryFrameFromTheThirdAndTheControlGivesUpAfter25Tries)
{
    const GainWalkCase& c = GetParam();
    const GainTable& table = c.modeByte == 0 ? kGainTableA : kGainTableB;
    device.frameSource = c.unsteady ? UnsteadyFrames(c.level) : testing::UniformFrames(c.level);
    OpenWithMode(c.modeByte);
    std::vector<int> results;
    for (int frame = 0; frame < 27; ++frame) {
        results.push_back(CaptureOnce());
    }
    std::vector<int> expectedResults(25, kNotYetGood);
    expectedResults.push_back(kNoFinger);
    expectedResults.push_back(kNotYetGood);
    EXPECT_EQ(results, expectedResults);

    std::vector<int> expectedGains;
    for (int frame = 0; frame < 26; ++frame) {
        const size_t i = std::min<size_t>(static_cast<size_t>(frame), c.indices.size() - 1);
        expectedGains.push_back(table[static_cast<size_t>(c.indices[i])]);
    }
    expectedGains.push_back(table[15]);  // after the reset
    EXPECT_EQ(GainBytesSent(), expectedGains);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GainWalk,
    ::testing::Values(GainWalkCase{"darkTableAUpByFour", 0, 50, false, {15, 15, 15, 19, 23, 27, 30}},
                      GainWalkCase{"darkTableBUpByFour", 1, 50, false, {15, 15, 15, 19, 23, 27, 30}},
                      GainWalkCase{"brightTableADownBySix", 0, 200, true, {15, 15, 15, 9, 3, 0}},
                      GainWalkCase{"brightTableBDownBySix", 7, 200, true, {15, 15, 15, 9, 3, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Capture, AnImageTooBrightEvenAtTheLowestGainsIsAcceptedAfterSixTries)
{
    device.frameSource = testing::UniformFrames(200);
    OpenWithMode(1);
    std::vector<int> results;
    for (int frame = 0; frame < 8; ++frame) {
        results.push_back(CaptureOnce());
    }
    // Gain index 15, 15, 15, 9, 3, 0, ...; tries reach 6 at the seventh frame.
    EXPECT_EQ(results, (std::vector<int>{1, 1, 1, 1, 1, 1, 3, 3}));
}

TEST_F(Capture, AReopenDuringTheTransferRestartsTheExposureControl)
{
    device.frameSource = testing::UniformFrames(50);
    OpenWithMode(1);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(CaptureOnce(), kNotYetGood);
    }
    ASSERT_EQ(reader.Exposure().gainIndex, 27);
    // A frame with too many bytes: captured, after a close and reopen.
    device.frameReads = std::deque<uint32_t>(20, 8192);
    EXPECT_EQ(CaptureOnce(), kNotYetGood);
    EXPECT_EQ(device.Count(Opcode::Deactivate), 1);
    EXPECT_EQ(reader.Exposure().gainIndex, 15);
    EXPECT_EQ(reader.Exposure().tries, 1);
    EXPECT_EQ(reader.Exposure().previousArea, static_cast<int32_t>(kImageSize));
}

}  // namespace
}  // namespace kestrix
