// The reader's driver on Linux: each attached reader is a device file /dev/Tn2Usb-N, and
// each I/O-control request is one ioctl on it carrying a request block (layout below and
// in the README).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "device/device_layer.h"

namespace kestrix {

inline constexpr const char* kDeviceFolder = "/dev/";

// The request block handed to ioctl(fd, code, block), 32 bytes, little-endian:
//   0  u32  input length           16  u64  output buffer address (0 when none)
//   4  u32  output length          24  u32  bytes returned, written by the driver
//   8  u64  input buffer address   28  u32  reserved, 0
inline constexpr size_t kRequestBlockSize = 32;
inline constexpr size_t kRequestInputLength = 0;
inline constexpr size_t kRequestOutputLength = 4;
inline constexpr size_t kRequestInputAddress = 8;
inline constexpr size_t kRequestOutputAddress = 16;
inline constexpr size_t kRequestReturned = 24;

class LinuxDeviceLayer final : public DeviceLayer {
public:
    // folder holds the device files, with a trailing '/'.
    explicit LinuxDeviceLayer(std::string folder) : folder_(std::move(folder)) {}

    // Opens folder + name for writing and takes an exclusive lock on it, so that one
    // process at a time talks to a reader; kNoDevice when either fails.
    DeviceHandle Open(const std::string& name) override;
    bool IoControl(DeviceHandle device, uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t& returned) override;
    bool Close(DeviceHandle device) override;

private:
    std::string folder_;
};

}  // namespace kestrix
