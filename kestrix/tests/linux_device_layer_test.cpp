// The driver's device files: opened by name in their folder, one holder at a time, and
// requests that the file does not understand fail.

#include "platform/linux_device_layer.h"

#include <gtest/gtest.h>

#include <string>

#include "device/io_control.h"
#include "device/reader_connection.h"
#include "scratch_folder.h"

namespace kestrix {
namespace {

TEST(LinuxDeviceLayer, OpensTheDeviceFileOfThatNameForOneHolderAtATime)
{
    kit::testing::ScratchFolder folder;
    folder.Write("Tn2Usb-3", "");
    LinuxDeviceLayer devices(folder.Folder());
    EXPECT_EQ(devices.Open("Tn2Usb-2"), kNoDevice);
    const DeviceHandle handle = devices.Open("Tn2Usb-3");
    ASSERT_NE(handle, kNoDevice);
    EXPECT_EQ(devices.Open("Tn2Usb-3"), kNoDevice) << "the first holder has it";
    EXPECT_TRUE(devices.Close(handle));
    const DeviceHandle again = devices.Open("Tn2Usb-3");
    EXPECT_NE(again, kNoDevice);
    EXPECT_TRUE(devices.Close(again));
    EXPECT_FALSE(devices.Close(kNoDevice));
}

TEST(LinuxDeviceLayer, ARequestTheFileDoesNotUnderstandFails)
{
    kit::testing::ScratchFolder folder;
    folder.Write("Tn2Usb-0", "");
    LinuxDeviceLayer devices(folder.Folder());
    const DeviceHandle handle = devices.Open("Tn2Usb-0");
    ASSERT_NE(handle, kNoDevice);
    std::array<uint8_t, 4> pipe{2, 0, 0, 0};
    std::array<uint8_t, 64> area{};
    uint32_t returned = 99;
    EXPECT_FALSE(devices.IoControl(handle, kReadPipeRequest, pipe, area, returned));
    EXPECT_EQ(returned, 0u);
    EXPECT_FALSE(devices.IoControl(kNoDevice, kResetPipeRequest, {}, {}, returned));
    EXPECT_TRUE(devices.Close(handle));
}

TEST(LinuxDeviceLayer, AFolderWithoutReadersFailsTheOpen)
{
    kit::testing::ScratchFolder folder;
    LinuxDeviceLayer devices(folder.Folder());
    ReaderConnection reader(devices);
    EXPECT_FALSE(reader.Open());
    EXPECT_EQ(reader.DeviceName(), "Tn2Usb-119");
}

TEST(LinuxDeviceLayer, AFileThatIsNoReaderStaysHalfOpen)
{
    kit::testing::ScratchFolder folder;
    folder.Write("Tn2Usb-1", "");
    LinuxDeviceLayer devices(folder.Folder());
    ReaderConnection reader(devices);
    // Every request fails: the start sequence cannot set the window.
    EXPECT_FALSE(reader.Open());
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.DeviceName(), "Tn2Usb-1");
    EXPECT_FALSE(reader.Close()) << "it does not deactivate";
}

}  // namespace
}  // namespace kestrix
