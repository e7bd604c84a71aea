// Port names as hosts give them, and the device each one opens.

#include "platform/port_name.h"

#include <gtest/gtest.h>

#include <string>

namespace seriallink::platform {
namespace {

TEST(PortNames, ComNIsTheNthSerialPortAndAnythingElseIsADevicePath)
{
    const struct {
        const char* name;
        const char* device;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM2", "/dev/ttyS1"},
        {"com3", "/dev/ttyS2"},
        {"Com10", "/dev/ttyS9"},
        {"COM256", "/dev/ttyS255"},
        {"COM0", "COM0"},
        {"COM", "COM"},
        {"COM01", "COM01"},
        {"COM1:", "COM1:"},
        {"COM-1", "COM-1"},
        {"COMX", "COMX"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/pts/3", "/dev/pts/3"},
        {"", ""},
        {"COM99999999999999999999", "COM99999999999999999999"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DevicePath(c.name), c.device) << c.name;
    }
}

}  // namespace
}  // namespace seriallink::platform
