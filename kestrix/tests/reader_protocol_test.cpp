// Finding, opening and closing the reader, and reading its key, as the reader sees it:
// which names are tried, which commands arrive in which order, what a failure leaves.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "capture/gain_tables.h"
#include "device/io_control.h"
#include "device/reader_connection.h"
#include "testing/scripted_device.h"

namespace kestrix {
namespace {

using testing::FailCommand;
using testing::RecordedRequest;
using testing::ScriptedDevice;

std::vector<uint8_t> Packet(std::initializer_list<uint8_t> head)
{
    std::vector<uint8_t> packet(head);
    packet.resize(64, 0);
    return packet;
}

TEST(ReaderOpen, WithoutAReaderMakesFivePassesOverTheHundredTwentyNamesAndFails)
{
    ScriptedDevice device;
    device.readers.clear();
    ReaderConnection reader(device);
    EXPECT_FALSE(reader.Open());
    ASSERT_EQ(device.openAttempts.size(), 600u);
    for (size_t i = 0; i < device.openAttempts.size(); ++i) {
        ASSERT_EQ(device.openAttempts[i], "Tn2Usb-" + std::to_string(i % 120)) << "attempt " << i;
    }
    EXPECT_TRUE(device.requests.empty());
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.Close());
    EXPECT_TRUE(device.requests.empty());
}

TEST(ReaderOpen, TheFirstDeviceObjectThatOpensEndsTheSearch)
{
    ScriptedDevice device;
    device.readers = {"Tn2Usb-57", "Tn2Usb-90"};
    ReaderConnection reader(device);
    EXPECT_TRUE(reader.Open());
    EXPECT_EQ(device.openAttempts.size(), 58u);
    EXPECT_EQ(reader.DeviceName(), "Tn2Usb-57");
}

struct StartCase {
    const char* name;
    uint8_t modeByte;
    const char* trace;  // opcodes written, 'r' a read
    int registerWrites;
    const GainTable* table;
};

void PrintTo(const StartCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReaderStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(ReaderStart, ProgramsTheSensorForItsModeAndSelectsTheGainTable)
{
    const StartCase c = GetParam();
    ScriptedDevice device;
    device.modeByte = c.modeByte;
    ReaderConnection reader(device);
    ASSERT_TRUE(reader.Open());
    EXPECT_EQ(device.Trace(), c.trace);
    EXPECT_EQ(device.Count(Opcode::WriteRegister), c.registerWrites);
    EXPECT_EQ(reader.ModeByte(), c.modeByte);
    EXPECT_EQ(reader.Exposure().table, c.table);
    EXPECT_EQ(reader.Exposure().gainIndex, 15);
    EXPECT_EQ(reader.Exposure().gainByte, (*c.table)[15]);

    std::vector<std::vector<uint8_t>> registers = {Packet({2, 0x67, 0x30, 0x10}), Packet({2, 0x67, 0x25, 0x06}),
                                                   Packet({2, 0x67, 0x26, 0x5B}), Packet({2, 0x67, 0x27, 0x9A})};
    if (c.modeByte == 0) {
        registers.push_back(Packet({2, 0x67, 0x25, 0x04}));
        registers.push_back(Packet({2, 0x67, 0x26, 0x5B}));
        registers.push_back(Packet({2, 0x67, 0x27, 0x9A}));
    }
    EXPECT_EQ(device.Packets(Opcode::WriteRegister), registers);
    EXPECT_EQ(device.Packets(Opcode::SetWindow),
              std::vector<std::vector<uint8_t>>{Packet({8, 0x6B, 0, 0, 0, 0, 0xB8, 0x01, 0x68, 0x01})});
    EXPECT_EQ(device.Packets(Opcode::QueryMode), std::vector<std::vector<uint8_t>>{Packet({0, 0x66})});
    EXPECT_EQ(device.Packets(Opcode::Activate), std::vector<std::vector<uint8_t>>{Packet({0, 0x6E})});
    EXPECT_EQ(device.Packets(Opcode::ConfirmOpen), std::vector<std::vector<uint8_t>>{Packet({0, 0x6D})});
    // Commands go to pipe 0; the mode reply is read from pipe 1 into 62 bytes.
    for (const RecordedRequest& r : device.requests) {
        EXPECT_EQ(r.pipe, r.IsWrite() ? kCommandPipe : kReplyPipe);
        if (r.IsRead()) {
            EXPECT_EQ(r.asked, 62u);
        }
    }
    const Window window = reader.CaptureWindow();
    EXPECT_EQ(std::vector<int>({window.x, window.y, window.width, window.height}),
              std::vector<int>({100, 60, 440, 360}));
}

INSTANTIATE_TEST_SUITE_P(ByModeByte, ReaderStart,
                         ::testing::Values(StartCase{"modeZeroGetsSevenRegisterWrites", 0, "ggggkfrgggnm", 7,
                                                     &kGainTableA},
                                           StartCase{"otherModesGetFour", 0x2A, "ggggkfrnm", 4, &kGainTableB},
                                           StartCase{"modeOne", 1, "ggggkfrnm", 4, &kGainTableB}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderOpen, OpeningTwiceSendsNothingTheSecondTime)
{
    ScriptedDevice device;
    ReaderConnection reader(device);
    ASSERT_TRUE(reader.Open());
    device.ClearRecord();
    EXPECT_TRUE(reader.Open());
    EXPECT_TRUE(device.openAttempts.empty());
    EXPECT_TRUE(device.requests.empty());
}

TEST(ReaderOpen, AConnectionStartResetsTheExposureState)
{
    ScriptedDevice device;
    ReaderConnection reader(device);
    reader.Exposure().SetGainIndex(3);
    reader.Exposure().tries = 9;
    reader.Exposure().previousArea = 50000;
    ASSERT_TRUE(reader.Open());
    EXPECT_EQ(reader.Exposure().gainIndex, 15);
    EXPECT_EQ(reader.Exposure().tries, 0);
    EXPECT_EQ(reader.Exposure().previousArea, 0);
}

struct StartFailureCase {
    const char* name;
    std::function<bool(const RecordedRequest&)> failWhen;
    bool opens;
    const char* trace;
};

void PrintTo(const StartFailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReaderStartFailure : public ::testing::TestWithParam<StartFailureCase> {};

TEST_P(ReaderStartFailure, FollowsTheResetAndHalfOpenRules)
{
    const StartFailureCase& c = GetParam();
    ScriptedDevice device;
    device.modeByte = 5;
    device.failWhen = c.failWhen;
    ReaderConnection reader(device);
    EXPECT_EQ(reader.Open(), c.opens);
    EXPECT_EQ(device.Trace(), c.trace);
    // Whatever failed after the device object opened, the handle is held.
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_TRUE(device.IsOpen());
    if (!c.opens) {
        // Half-open: the next open reports success at once and sends nothing.
        device.ClearRecord();
        EXPECT_TRUE(reader.Open());
        EXPECT_TRUE(device.requests.empty());
        EXPECT_TRUE(device.openAttempts.empty());
        device.failWhen = nullptr;
        EXPECT_TRUE(reader.Close());
        EXPECT_EQ(device.Trace(), "o");
        EXPECT_FALSE(device.IsOpen());
    }
}

bool FailQueryModeAndResets(const RecordedRequest& r)
{
    return r.Is(Opcode::QueryMode) || r.IsReset();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderStartFailure,
    ::testing::Values(
        StartFailureCase{"aFailingRegisterWriteIsResetAndTheSequenceGoesOn", FailCommand(Opcode::WriteRegister, 2),
                         true, "ggRggkfrnm"},
        StartFailureCase{"failingSetWindowFailsTheOpen", FailCommand(Opcode::SetWindow), false, "ggggkR"},
        StartFailureCase{"aFailedModeQueryIsResetAndTheOpenGoesOnInModeZero", FailCommand(Opcode::QueryMode), true,
                         "ggggkfRgggnm"},
        StartFailureCase{"aFailedModeReadIsResetToo", [](const RecordedRequest& r) { return r.IsRead(); }, true,
                         "ggggkfrRgggnm"},
        StartFailureCase{"aModeQueryWhoseResetFailsFailsTheOpen", FailQueryModeAndResets, false, "ggggkfR"},
        StartFailureCase{"failingActivateFailsTheOpen", FailCommand(Opcode::Activate), false, "ggggkfrn"},
        StartFailureCase{"failingConfirmOpenFailsTheOpen", FailCommand(Opcode::ConfirmOpen), false, "ggggkfrnm"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderOpen, AnEmptyModeReplyCountsAsAFailedRead)
{
    ScriptedDevice device;
    device.modeByte = 7;
    device.readCount = [](const RecordedRequest&) { return std::optional<uint32_t>(0); };
    ReaderConnection reader(device);
    EXPECT_TRUE(reader.Open());
    EXPECT_EQ(device.Trace(), "ggggkfrRgggnm");
    EXPECT_EQ(reader.ModeByte(), 0);
    EXPECT_EQ(reader.Exposure().table, &kGainTableA);
}

TEST(ReaderClose, DeactivatesReleasesTheDeviceAndForgetsTheMode)
{
    ScriptedDevice device;
    device.modeByte = 9;
    ReaderConnection reader(device);
    ASSERT_TRUE(reader.Open());
    device.ClearRecord();
    EXPECT_TRUE(reader.Close());
    EXPECT_EQ(device.Packets(Opcode::Deactivate), std::vector<std::vector<uint8_t>>{Packet({0, 0x6F})});
    EXPECT_EQ(device.closes, 1);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.ModeByte(), 0);
    EXPECT_FALSE(reader.Close());
    EXPECT_EQ(device.closes, 1);
}

TEST(ReaderClose, AFailingDeactivateKeepsTheConnection)
{
    ScriptedDevice device;
    ReaderConnection reader(device);
    ASSERT_TRUE(reader.Open());
    device.failWhen = FailCommand(Opcode::Deactivate);
    EXPECT_FALSE(reader.Close());
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(device.closes, 0);
    EXPECT_TRUE(device.IsOpen());
    std::vector<uint8_t> frame(317636);
    EXPECT_TRUE(reader.TransferFrame(frame));
}

TEST(ReaderClose, AFailingCloseOfTheDeviceReportsFailureButReleasesIt)
{
    ScriptedDevice device;
    device.closeFails = true;
    ReaderConnection reader(device);
    ASSERT_TRUE(reader.Open());
    EXPECT_FALSE(reader.Close());
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(device.IsOpen());
}

TEST(ReaderKey, IsTheFourBytesOfTheReplyInOrder)
{
    ScriptedDevice device;
    device.key = {0x01, 0xA2, 0x03, 0xF4};
    ReaderConnection reader(device);
    std::array<uint8_t, 4> key{};
    EXPECT_FALSE(reader.ReadKey(key));
    EXPECT_TRUE(device.requests.empty());
    ASSERT_TRUE(reader.Open());
    device.ClearRecord();
    ASSERT_TRUE(reader.ReadKey(key));
    EXPECT_EQ(key, (std::array<uint8_t, 4>{0x01, 0xA2, 0x03, 0xF4}));
    EXPECT_EQ(device.Packets(Opcode::ReadKey), std::vector<std::vector<uint8_t>>{Packet({0, 0x8D})});
    ASSERT_EQ(device.requests.size(), 2u);
    EXPECT_EQ(device.requests[1].pipe, kReplyPipe);
    EXPECT_EQ(device.requests[1].asked, 4u);
}

struct KeyFailureCase {
    const char* name;
    std::function<bool(const RecordedRequest&)> failWhen;
    std::function<std::optional<uint32_t>(const RecordedRequest&)> readCount;
    const char* trace;
};

void PrintTo(const KeyFailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReaderKeyFailure : public ::testing::TestWithParam<KeyFailureCase> {};

TEST_P(ReaderKeyFailure, ResetsThePipeAndFails)
{
    const KeyFailureCase& c = GetParam();
    ScriptedDevice device;
    ReaderConnection reader(device);
    ASSERT_TRUE(reader.Open());
    device.ClearRecord();
    device.failWhen = c.failWhen;
    device.readCount = c.readCount;
    std::array<uint8_t, 4> key{9, 9, 9, 9};
    EXPECT_FALSE(reader.ReadKey(key));
    EXPECT_EQ(key, (std::array<uint8_t, 4>{9, 9, 9, 9}));
    EXPECT_EQ(device.Trace(), c.trace);
    EXPECT_TRUE(reader.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderKeyFailure,
    ::testing::Values(KeyFailureCase{"writeFails", FailCommand(Opcode::ReadKey), nullptr, "\x8DR"},
                      KeyFailureCase{"readFails", [](const RecordedRequest& r) { return r.IsRead(); }, nullptr,
                                     "\x8DrR"},
                      KeyFailureCase{"shortReply", nullptr,
                                     [](const RecordedRequest&) { return std::optional<uint32_t>(3); }, "\x8DrR"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrix
