// The simulated reader: it answers the library's requests like a reader, and the
// library's exposure control brings its finger into the target brightness from a dark
// and from a bright start.

#include "simulator/virtual_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "capture/capture.h"
#include "capture/gain_tables.h"
#include "device/io_control.h"
#include "device/little_endian.h"
#include "device/reader_connection.h"

namespace kestrix {
namespace {

std::array<uint8_t, 4> Pipe(uint32_t pipe)
{
    std::array<uint8_t, 4> bytes{};
    StoreLe32(bytes.data(), pipe);
    return bytes;
}

class VirtualReaderRequests : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle = reader.Open("Tn2Usb-0");
        ASSERT_NE(handle, kNoDevice);
    }

    bool Write(CommandPacket packet)
    {
        uint32_t returned = 0;
        return reader.IoControl(handle, kWritePipeRequest, Pipe(kCommandPipe), packet, returned);
    }

    bool Read(uint32_t pipe, std::span<uint8_t> area, uint32_t& returned)
    {
        return reader.IoControl(handle, kReadPipeRequest, Pipe(pipe), area, returned);
    }

    VirtualReader reader{VirtualReaderOptions{0x21, {1, 2, 3, 4}, 5, 1, fpsynth::TouchScript{1, -1, 1}}};
    DeviceHandle handle = kNoDevice;
};

TEST_F(VirtualReaderRequests, HoldsOneDeviceObjectForOneHolderAtATime)
{
    EXPECT_EQ(reader.Open("Tn2Usb-0"), kNoDevice);
    EXPECT_EQ(reader.Open("Tn2Usb-1"), kNoDevice);
    EXPECT_TRUE(reader.Close(handle));
    EXPECT_FALSE(reader.Close(handle));
    const DeviceHandle again = reader.Open("Tn2Usb-0");
    EXPECT_NE(again, kNoDevice);
    uint32_t returned = 0;
    EXPECT_FALSE(reader.IoControl(handle, kResetPipeRequest, {}, {}, returned)) << "a stale handle";
    EXPECT_TRUE(reader.IoControl(again, kResetPipeRequest, {}, {}, returned));
}

TEST_F(VirtualReaderRequests, RepliesWithTheModeByteAndTheKey)
{
    std::array<uint8_t, 62> reply{};
    uint32_t returned = 0;
    EXPECT_FALSE(Read(kReplyPipe, reply, returned)) << "nothing asked yet";
    ASSERT_TRUE(Write(MakeCommand(Opcode::QueryMode)));
    ASSERT_TRUE(Read(kReplyPipe, reply, returned));
    EXPECT_EQ(returned, 62u);
    EXPECT_EQ(reply[0], 0x21);
    std::array<uint8_t, 4> key{};
    ASSERT_TRUE(Write(MakeCommand(Opcode::ReadKey)));
    ASSERT_TRUE(Read(kReplyPipe, key, returned));
    EXPECT_EQ(returned, 4u);
    EXPECT_EQ(key, (std::array<uint8_t, 4>{1, 2, 3, 4}));
}

TEST_F(VirtualReaderRequests, RefusesMalformedRequests)
{
    CommandPacket wrongCount = MakeCommand(Opcode::Activate);
    wrongCount[0] = 1;
    EXPECT_FALSE(Write(wrongCount));
    CommandPacket unknown = MakeCommand(Opcode::Activate);
    unknown[1] = 0x70;
    EXPECT_FALSE(Write(unknown));
    EXPECT_FALSE(reader.IsActive());
    uint32_t returned = 0;
    std::array<uint8_t, 32> shortPacket{};
    EXPECT_FALSE(reader.IoControl(handle, kWritePipeRequest, Pipe(kCommandPipe), shortPacket, returned));
    CommandPacket packet = MakeCommand(Opcode::Activate);
    EXPECT_FALSE(reader.IoControl(handle, kWritePipeRequest, Pipe(kFramePipe), packet, returned));
    EXPECT_FALSE(reader.IoControl(handle, 0x222000, Pipe(kCommandPipe), packet, returned));
}

TEST_F(VirtualReaderRequests, CapturesOnlyWhenActiveAndWithinTheSensor)
{
    EXPECT_FALSE(Write(MakeCaptureFrame(Window{100, 60, 440, 360}, 80)));
    ASSERT_TRUE(Write(MakeCommand(Opcode::Activate)));
    EXPECT_FALSE(Write(MakeCaptureFrame(Window{300, 60, 440, 360}, 80)));
    EXPECT_FALSE(Write(MakeCaptureFrame(Window{0, 0, 0, 360}, 80)));
    ASSERT_TRUE(Write(MakeCaptureFrame(Window{0, 0, 30, 20}, 80)));
    std::vector<uint8_t> area(8192);
    uint32_t returned = 0;
    ASSERT_TRUE(Read(kFramePipe, area, returned));
    EXPECT_EQ(returned, 600u);
    EXPECT_FALSE(Read(kFramePipe, area, returned));
    EXPECT_TRUE(std::all_of(area.begin(), area.begin() + 600, [](uint8_t b) { return b <= 10; }))
        << "the sensor is black outside the finger's window";
    EXPECT_EQ(reader.FramesCaptured(), 1);
    ASSERT_TRUE(Write(MakeCommand(Opcode::Deactivate)));
    EXPECT_FALSE(Write(MakeCaptureFrame(Window{0, 0, 30, 20}, 80)));
}

TEST(VirtualReader, TakesTheStartSequenceAndDeliversFramesOfTheWindowSize)
{
    VirtualReader device(VirtualReaderOptions{0, {9, 9, 9, 9}, 3, 1, fpsynth::TouchScript{2, 3, 1}});
    ReaderConnection reader(device);
    ASSERT_TRUE(reader.Open());
    EXPECT_TRUE(device.IsActive());
    EXPECT_EQ(reader.ModeByte(), 0);
    EXPECT_EQ(device.Register(0x30), 0x10);
    EXPECT_EQ(device.Register(0x25), 0x04);
    EXPECT_EQ(device.SetWindowArgument().width, 440);
    std::array<uint8_t, 4> key{};
    ASSERT_TRUE(reader.ReadKey(key));
    EXPECT_EQ(key, (std::array<uint8_t, 4>{9, 9, 9, 9}));

    // One black frame, the touch (placing 2, holding 3, lifting 1), then black again.
    std::vector<int> results;
    std::vector<uint8_t> image(kImageSize);
    for (int frame = 0; frame < 8; ++frame) {
        results.push_back(CaptureImage(reader, std::span<uint8_t, kImageSize>(image.data(), kImageSize)));
    }
    EXPECT_EQ(results[0], kNoFinger);
    EXPECT_EQ(results[1], kNotYetGood);
    EXPECT_EQ(results[2], kNotYetGood);
    for (size_t i = 3; i < 7; ++i) {
        EXPECT_GE(results[i], kNotYetGood) << "frame " << i;
    }
    EXPECT_EQ(results[7], kNoFinger);
    EXPECT_EQ(reader.Exposure().tries, 0);
    EXPECT_TRUE(reader.Close());
    EXPECT_FALSE(device.IsActive());
}

struct ConvergenceCase {
    const char* name;
    uint8_t modeByte;
    int startIndex;
    uint64_t seed;
};

void PrintTo(const ConvergenceCase& c, std::ostream* os)
{
    *os << c.name;
}

class VirtualReaderExposure : public ::testing::TestWithParam<ConvergenceCase> {};

TEST_P(VirtualReaderExposure, ReachesAGoodOrAcceptableImageBeforeTheControlGivesUp)
{
    const ConvergenceCase& c = GetParam();
    VirtualReader device(VirtualReaderOptions{c.modeByte, {1, 2, 3, 4}, c.seed, 0, fpsynth::TouchScript{3, -1, 3}});
    ReaderConnection reader(device);
    ASSERT_TRUE(reader.Open());
    reader.Exposure().SetGainIndex(c.startIndex);

    std::vector<int> results;
    std::vector<int> gains;
    std::vector<uint8_t> image(kImageSize);
    while (results.empty() || (results.back() == kNotYetGood && results.size() < 25)) {
        gains.push_back(reader.Exposure().gainIndex);
        results.push_back(CaptureImage(reader, std::span<uint8_t, kImageSize>(image.data(), kImageSize)));
    }
    std::string trace;
    for (size_t i = 0; i < results.size(); ++i) {
        trace += " " + std::to_string(results[i]) + "@" + std::to_string(gains[i]);
    }
    const int last = results.back();
    EXPECT_TRUE(last == kGoodImage || last == kAcceptable) << trace;
    EXPECT_NE(gains.back(), c.startIndex) << "the gain moved" << trace;
    const ImageStatistics statistics = MeasureImage(image);
    EXPECT_GT(statistics.area, 15000);
    EXPECT_GE(statistics.mean, 80);
}

INSTANTIATE_TEST_SUITE_P(DarkAndBrightStarts, VirtualReaderExposure,
                         ::testing::Values(ConvergenceCase{"darkStartTableA", 0, 0, 11},
                                           ConvergenceCase{"brightStartTableA", 0, 30, 12},
                                           ConvergenceCase{"darkStartTableB", 1, 0, 13},
                                           ConvergenceCase{"brightStartTableB", 1, 30, 14}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrix
