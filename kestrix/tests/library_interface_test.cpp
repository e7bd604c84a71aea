// The exported entry points over a scripted reader: the status queries that open and
// close around their exchange, capture through the connection, security levels,
// version text and the geometry constants.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "api/library_state.h"
#include "kestrix/kestrix.h"
#include "test_frames.h"
#include "testing/scripted_device.h"

namespace kestrix {
namespace {

using testing::FailCommand;
using testing::ScriptedDevice;

class LibraryInterface : public ::testing::Test {
protected:
    void SetUp() override { ResetLibrary(device); }
    // The state must not keep a device that is gone.
    void TearDown() override
    {
        static ScriptedDevice idle;
        ResetLibrary(idle);
    }

    ScriptedDevice device;
};

TEST_F(LibraryInterface, GeometryIsFixed)
{
    EXPECT_EQ(GetImgWidth(), 352);
    EXPECT_EQ(GetImgHeight(), 288);
    EXPECT_EQ(GetImgSize(), 101376);
    EXPECT_EQ(GetFeatSize(), 9456);
}

TEST_F(LibraryInterface, OpenAndCloseReportOneOrZero)
{
    EXPECT_EQ(CloseTarnetDevice(), 0);
    EXPECT_EQ(OpenTarnetDevice(), 1);
    EXPECT_EQ(OpenTarnetDevice(), 1);
    EXPECT_EQ(CloseTarnetDevice(), 1);
    EXPECT_EQ(CloseTarnetDevice(), 0);
    device.readers.clear();
    EXPECT_EQ(OpenTarnetDevice(), 0);
}

TEST_F(LibraryInterface, DeviceStatusWithAConnectionOpenReportsOneAndLeavesItClosed)
{
    ASSERT_EQ(OpenTarnetDevice(), 1);
    device.ClearRecord();
    EXPECT_EQ(GetDeviceStatus(), 1);
    EXPECT_EQ(device.Trace(), "o");
    EXPECT_FALSE(device.IsOpen());
    std::vector<uint8_t> image(kImageSize, 0xAB);
    EXPECT_EQ(GetTarnetImage(image.data()), -1);
}

TEST_F(LibraryInterface, DeviceStatusOpensAndClosesAFreshConnection)
{
    EXPECT_EQ(GetDeviceStatus(), 1);
    EXPECT_EQ(device.Trace(), "ggggkfrnmo");
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(LibraryInterface, DeviceStatusWithoutAReaderIsZeroAfter600Attempts)
{
    device.readers.clear();
    EXPECT_EQ(GetDeviceStatus(), 0);
    EXPECT_EQ(device.openAttempts.size(), 600u);
}

TEST_F(LibraryInterface, DeviceStatusOfAHalfOpenReaderIsZeroAndReleasesIt)
{
    device.failWhen = FailCommand(Opcode::Activate);
    EXPECT_EQ(GetDeviceStatus(), 0);
    EXPECT_EQ(device.Trace(), "ggggkfrno");
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(LibraryInterface, UsbModeIsTheModeByteAndLeavesTheReaderClosed)
{
    device.modeByte = 0x2A;
    EXPECT_EQ(IsOperatingUsbMode(), 0x2A);
    EXPECT_FALSE(device.IsOpen());
    device.modeByte = 0;
    EXPECT_EQ(IsOperatingUsbMode(), 0);
    device.readers.clear();
    EXPECT_EQ(IsOperatingUsbMode(), 0);
}

TEST_F(LibraryInterface, ClockModeIsAlwaysZero)
{
    EXPECT_EQ(IsOperatingClockMode(), 0);
    EXPECT_EQ(IsOperatingELVoltageMode(), 0);
    EXPECT_TRUE(device.openAttempts.empty());
}

TEST_F(LibraryInterface, UsbKeyClosesAnyConnectionReadsTheKeyAndLeavesTheReaderClosed)
{
    ASSERT_EQ(OpenTarnetDevice(), 1);
    device.ClearRecord();
    device.key = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(GetUSBKey(), 0x12345678);
    EXPECT_EQ(device.Trace(),
              "o"
              "ggggkfrnm"
              "\x8Dr"
              "o");
    EXPECT_FALSE(device.IsOpen());
    device.key = {0x01, 0x00, 0x00, 0x80};
    EXPECT_EQ(static_cast<uint32_t>(GetUSBKey()), 0x80000001u);
}

TEST_F(LibraryInterface, UsbKeyIsZeroWithoutAReaderOrWhenTheKeyCannotBeRead)
{
    device.readers.clear();
    EXPECT_EQ(GetUSBKey(), 0);
    device.readers = {"Tn2Usb-0"};
    device.failWhen = [](const testing::RecordedRequest& r) { return r.IsRead() && r.asked == 4; };
    EXPECT_EQ(GetUSBKey(), 0);
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(LibraryInterface, CaptureRunsOnTheOpenConnection)
{
    std::vector<uint8_t> image(kImageSize, 0xAB);
    EXPECT_EQ(GetTarnetImage(image.data()), -1);
    EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](uint8_t b) { return b == 0xAB; }));
    device.frameSource = testing::UniformFrames(90);
    ASSERT_EQ(OpenTarnetDevice(), 1);
    EXPECT_EQ(GetTarnetImage(image.data()), 1);
    EXPECT_EQ(GetTarnetImage(image.data()), 1);
    EXPECT_EQ(GetTarnetImage(image.data()), 2);
    EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](uint8_t b) { return b == 90; }));
    device.ClearRecord();
    EXPECT_EQ(GetTarnetImage(nullptr), -1);
    EXPECT_TRUE(device.requests.empty());
}

TEST_F(LibraryInterface, SecurityLevelsStartAtFour)
{
    EXPECT_EQ(GetSecurityLevel404vs404(), 4);
    EXPECT_EQ(GetSecurityLevel404vs9052(), 4);
    EXPECT_EQ(GetSecurityLevel9052vs9052(), 4);
    EXPECT_EQ(Library().levels.with404.threshold, 2989);
    EXPECT_EQ(Library().levels.with9052.threshold, 2805);
}

TEST_F(LibraryInterface, EachLevelStoresItsThreshold)
{
    const std::vector<int> thresholds404 = {1774, 2146, 2494, 2989, 3199, 3710, 4258};
    const std::vector<int> thresholds9052 = {1668, 2000, 2320, 2805, 3008, 3525, 4150};
    for (short level = 1; level <= 7; ++level) {
        EXPECT_EQ(PutSecurityLevel404vs404(level), level);
        EXPECT_EQ(GetSecurityLevel404vs404(), level);
        EXPECT_EQ(Library().levels.with404.threshold, thresholds404[static_cast<size_t>(level - 1)]);
        EXPECT_EQ(PutSecurityLevel9052vs9052(level), level);
        EXPECT_EQ(GetSecurityLevel9052vs9052(), level);
        EXPECT_EQ(Library().levels.with9052.threshold, thresholds9052[static_cast<size_t>(level - 1)]);
    }
}

TEST_F(LibraryInterface, LevelsOutsideOneToSevenAreRefusedAndChangeNothing)
{
    ASSERT_EQ(PutSecurityLevel9052vs9052(7), 7);
    ASSERT_EQ(PutSecurityLevel404vs404(6), 6);
    for (const short level : {0, 8, -1, 32767, -32768}) {
        EXPECT_EQ(PutSecurityLevel9052vs9052(level), 0) << level;
        EXPECT_EQ(PutSecurityLevel404vs404(level), 0) << level;
        EXPECT_EQ(PutSecurityLevel404vs9052(level), 0) << level;
    }
    EXPECT_EQ(GetSecurityLevel9052vs9052(), 7);
    EXPECT_EQ(Library().levels.with9052.threshold, 4150);
    EXPECT_EQ(GetSecurityLevel404vs404(), 6);
    EXPECT_EQ(Library().levels.with404.threshold, 3710);
}

TEST_F(LibraryInterface, BothPutsOf404ComparisonsChangeOneSharedSetting)
{
    EXPECT_EQ(PutSecurityLevel404vs404(2), 2);
    EXPECT_EQ(GetSecurityLevel404vs9052(), 2);
    EXPECT_EQ(Library().levels.with404.threshold, 2146);
    EXPECT_EQ(PutSecurityLevel404vs9052(5), 5);
    EXPECT_EQ(GetSecurityLevel404vs404(), 5);
    EXPECT_EQ(Library().levels.with404.threshold, 3199);
    EXPECT_EQ(GetSecurityLevel9052vs9052(), 4);
}

TEST_F(LibraryInterface, AlgoInitPutsEveryLevelBackToFour)
{
    PutSecurityLevel404vs404(1);
    PutSecurityLevel9052vs9052(7);
    EXPECT_EQ(AlgoInit(), 1);
    EXPECT_EQ(GetSecurityLevel404vs404(), 4);
    EXPECT_EQ(GetSecurityLevel9052vs9052(), 4);
    EXPECT_EQ(Library().levels.with404.threshold, 2989);
    EXPECT_EQ(Library().levels.with9052.threshold, 2805);
}

TEST(SecuritySetting, NoThresholdIsStoredAbove6000)
{
    SecuritySetting setting{4, 2989};
    const ThresholdTable high = {5999, 6000, 6001, 9000, 1, 2, 3};
    EXPECT_EQ(setting.Put(3, high), 3);
    EXPECT_EQ(setting.threshold, 6000);
    setting.Put(1, high);
    EXPECT_EQ(setting.threshold, 5999);
    setting.Put(4, high);
    EXPECT_EQ(setting.threshold, 6000);
}

TEST_F(LibraryInterface, VersionTextIsThreeLinesWithoutAFinalLineFeed)
{
    const char* version = GetSDKVersion();
    EXPECT_STREQ(version, "DLL ver:040903\nCap ver:040903\nAlgo ver:Algorithm SDK 3.0, Date : 040903");
    EXPECT_EQ(GetSDKVersion(), version);
    EXPECT_STREQ(GetSDKVersion(), "DLL ver:040903\nCap ver:040903\nAlgo ver:Algorithm SDK 3.0, Date : 040903");
}

}  // namespace
}  // namespace kestrix
