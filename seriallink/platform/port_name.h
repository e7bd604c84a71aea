// Serial port names as hosts give them: "COMn" is the n-th serial port, /dev/ttyS<n-1>;
// any other name is a device path.
#pragma once

#include <string>
#include <string_view>

namespace seriallink::platform {

std::string DevicePath(std::string_view portName);

}  // namespace seriallink::platform
