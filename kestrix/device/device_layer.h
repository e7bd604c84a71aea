// The three operations the library needs from whatever stands for the reader's driver:
// open a device object by name, send it an I/O-control request, close it. Backends: the
// driver's device files (platform/), the simulated reader (simulator/) and the scripted
// device of the tests (testing/).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kestrix {

// An open device object; kNoDevice (all bits set) means none.
using DeviceHandle = intptr_t;
inline constexpr DeviceHandle kNoDevice = -1;

class DeviceLayer {
public:
    virtual ~DeviceLayer() = default;

    // Opens the device object of that name ("Tn2Usb-3") for exclusive use; kNoDevice
    // when there is none or it cannot be opened.
    virtual DeviceHandle Open(const std::string& name) = 0;

    // One synchronous I/O-control request. `returned` receives the number of bytes the
    // driver placed in `output`. False when the request failed.
    virtual bool IoControl(DeviceHandle device, uint32_t code, std::span<const uint8_t> input,
                           std::span<uint8_t> output, uint32_t& returned) = 0;

    virtual bool Close(DeviceHandle device) = 0;
};

}  // namespace kestrix
