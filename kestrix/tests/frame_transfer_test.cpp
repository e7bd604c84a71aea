// Moving one frame from the reader: the capture command, reads of 8192 bytes, at most 38
// of them, and the resynchronisation when the reader gets out of step.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "capture/image_geometry.h"
#include "device/io_control.h"
#include "device/reader_connection.h"
#include "test_frames.h"
#include "testing/scripted_device.h"

namespace kestrix {
namespace {

using testing::FailCommand;
using testing::PatternAt;
using testing::RecordedRequest;
using testing::ScriptedDevice;

class FrameTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        device.frameSource = testing::PatternFrames();
        ASSERT_TRUE(reader.Open());
        device.ClearRecord();
    }

    // The requests after the capture command, as a trace.
    std::string Trace() const { return device.Trace(); }

    ScriptedDevice device;
    ReaderConnection reader{device};
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kFrameBufferSize, 0xEE);
};

TEST_F(FrameTransfer, NineteenFullReadsAndOneOf2752MakeTheFrameWithoutAReopen)
{
    device.frameReads = std::deque<uint32_t>(19, 8192);
    device.frameReads.push_back(2752);
    reader.Exposure().SetGainIndex(21);
    ASSERT_TRUE(reader.TransferFrame(buffer));

    EXPECT_EQ(Trace(), "i" + std::string(20, 'r'));
    EXPECT_TRUE(device.openAttempts.empty());
    EXPECT_EQ(device.closes, 0);
    const std::vector<uint8_t> capture = device.Packets(Opcode::CaptureFrame).at(0);
    EXPECT_EQ(std::vector<uint8_t>(capture.begin(), capture.begin() + 11),
              (std::vector<uint8_t>{9, 0x69, 100, 0, 60, 0, 0xB8, 0x01, 0x68, 0x01, 103}));  // gain: table B[21]
    for (const RecordedRequest& r : device.requests) {
        if (r.IsRead()) {
            EXPECT_EQ(r.pipe, kFramePipe);
            EXPECT_EQ(r.asked, 8192u);
        }
    }
    for (size_t i = 0; i < kFrameSize; ++i) {
        ASSERT_EQ(buffer[i], PatternAt(i)) << "byte " << i;
    }
}

struct ShortStartCase {
    const char* name;
    std::deque<uint32_t> reads;
};

void PrintTo(const ShortStartCase& c, std::ostream* os)
{
    *os << c.name;
}

class ShortFirstRead : public FrameTransfer, public ::testing::WithParamInterface<ShortStartCase> {};

TEST_P(ShortFirstRead, ResetsClosesReopensAndFails)
{
    device.frameReads = GetParam().reads;
    reader.Exposure().SetGainIndex(4);
    reader.Exposure().tries = 5;
    EXPECT_FALSE(reader.TransferFrame(buffer));
    // The capture, the reads, a reset, the close, then a whole new connection start.
    EXPECT_EQ(Trace(), "i" + std::string(GetParam().reads.size(), 'r') + "Ro" + "ggggkfrnm");
    EXPECT_EQ(device.closes, 1);
    EXPECT_EQ(device.openAttempts, std::vector<std::string>{"Tn2Usb-0"});
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.Exposure().gainIndex, 15);
    EXPECT_EQ(reader.Exposure().tries, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortFirstRead,
                         ::testing::Values(ShortStartCase{"oneShortRead", {8191}}, ShortStartCase{"nothingRead", {0}},
                                           ShortStartCase{"oneByte", {1}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct WrongTotalCase {
    const char* name;
    std::deque<uint32_t> reads;
    size_t total;
};

void PrintTo(const WrongTotalCase& c, std::ostream* os)
{
    *os << c.name;
}

class WrongFinalTotal : public FrameTransfer, public ::testing::WithParamInterface<WrongTotalCase> {};

TEST_P(WrongFinalTotal, IsReportedCapturedAfterACloseAndReopen)
{
    const WrongTotalCase& c = GetParam();
    device.frameReads = c.reads;
    ASSERT_TRUE(reader.TransferFrame(buffer));
    EXPECT_EQ(Trace(), "i" + std::string(c.reads.size(), 'r') + "o" + "ggggkfrnm");
    EXPECT_EQ(device.closes, 1);
    EXPECT_EQ(device.openAttempts.size(), 1u);
    EXPECT_TRUE(reader.IsOpen());
    const size_t received = std::min(c.total, kFrameSize);
    for (size_t i = 0; i < received; ++i) {
        ASSERT_EQ(buffer[i], PatternAt(i)) << "byte " << i;
    }
    // What never arrived is black, not what the buffer held before.
    for (size_t i = received; i < kFrameSize; ++i) {
        ASSERT_EQ(buffer[i], 0) << "byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WrongFinalTotal,
                         ::testing::Values(WrongTotalCase{"tooFewAfterThirtyEightReads",
                                                          [] {
                                                              std::deque<uint32_t> reads(38, 4000);
                                                              reads[0] = 8192;
                                                              return reads;
                                                          }(),
                                                          8192 + 37 * 4000},
                                           WrongTotalCase{"tooMany", std::deque<uint32_t>(20, 8192), 20 * 8192}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameTransfer, ShortReadsAfterTheFirstFullOneAreMadeUpByFurtherReads)
{
    device.frameReads = std::deque<uint32_t>(19, 8192);
    device.frameReads[5] = 8000;
    ASSERT_TRUE(reader.TransferFrame(buffer));
    // The twentieth read brings the last 2944 bytes; the total is right, so no reopen.
    EXPECT_EQ(Trace(), "i" + std::string(20, 'r'));
    EXPECT_EQ(device.requests.back().returned, 2944u);
    EXPECT_EQ(device.closes, 0);
    for (size_t i = 0; i < kFrameSize; ++i) {
        ASSERT_EQ(buffer[i], PatternAt(i)) << "byte " << i;
    }
}

TEST_F(FrameTransfer, AFailingReadEndsTheTransferAtOnceWithoutAReset)
{
    int reads = 0;
    device.failWhen = [&reads](const RecordedRequest& r) { return r.IsRead() && ++reads == 3; };
    EXPECT_FALSE(reader.TransferFrame(buffer));
    EXPECT_EQ(Trace(), "irrr");
    EXPECT_EQ(device.closes, 0);
    EXPECT_TRUE(reader.IsOpen());
}

TEST_F(FrameTransfer, AFailingCaptureCommandIsResetAndFails)
{
    device.failWhen = FailCommand(Opcode::CaptureFrame);
    EXPECT_FALSE(reader.TransferFrame(buffer));
    EXPECT_EQ(Trace(), "iR");
}

TEST_F(FrameTransfer, ADriverClaimingMoreThanItWasGivenRoomForHasFailedTheRead)
{
    device.readCount = [](const RecordedRequest& r) { return std::optional<uint32_t>(r.asked + 1); };
    EXPECT_FALSE(reader.TransferFrame(buffer));
    EXPECT_EQ(Trace(), "ir");
    EXPECT_TRUE(std::all_of(buffer.begin() + 8192, buffer.end(), [](uint8_t b) { return b == 0xEE; }));
}

TEST(FrameTransferWithoutConnection, FailsWithoutSendingAnything)
{
    ScriptedDevice device;
    ReaderConnection reader(device);
    std::vector<uint8_t> buffer(kFrameBufferSize);
    EXPECT_FALSE(reader.TransferFrame(buffer));
    EXPECT_TRUE(device.requests.empty());
    EXPECT_TRUE(device.openAttempts.empty());
}

}  // namespace
}  // namespace kestrix
