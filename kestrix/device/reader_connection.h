// The one connection to the reader: finding and opening it, the start sequence that
// programs the sensor, the frame transfer with its resynchronisation, the key read and
// closing. The exposure state of the capture belongs to the connection: every
// connection start resets it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "capture/exposure_state.h"
#include "device/command_packet.h"
#include "device/device_layer.h"

namespace kestrix {

// Device objects are searched by these names, n = 0 .. kDeviceIndices - 1, in up to
// kSearchPasses passes.
inline constexpr const char* kDeviceNameFormat = "Tn2Usb-%d";
inline constexpr int kDeviceIndices = 120;
inline constexpr int kSearchPasses = 5;

// The window frames are captured from, set at each connection start.
inline constexpr Window kCaptureWindow{100, 60, 440, 360};

// Sensor register writes of the start sequence.
struct RegisterWrite {
    uint8_t address;
    uint8_t value;
};
inline constexpr std::array<RegisterWrite, 4> kStartRegisters{{{0x30, 0x10}, {0x25, 0x06}, {0x26, 0x5B}, {0x27, 0x9A}}};
// Written after the mode query when the mode byte is 0.
inline constexpr std::array<RegisterWrite, 3> kModeZeroRegisters{{{0x25, 0x04}, {0x26, 0x5B}, {0x27, 0x9A}}};

class ReaderConnection {
public:
    explicit ReaderConnection(DeviceLayer& devices) : devices_(&devices) {}

    // True when a connection is held at the end. A held connection, even one whose start
    // sequence failed (half-open), is reported open at once without sending anything.
    bool Open();
    // Deactivates the reader and releases it. False without a connection, or when the
    // reader refuses to deactivate (the connection is then kept).
    bool Close();
    // Captures one frame at the current gain into buffer (kFrameBufferSize bytes). Frames
    // that end with a wrong total are used as received, after a close and reopen that
    // resynchronise the reader; bytes that did not arrive read as 0.
    bool TransferFrame(std::span<uint8_t> buffer);
    // The reader's 4-byte key, in the order received.
    bool ReadKey(std::array<uint8_t, kKeySize>& key);
    bool ResetPipe();

    bool IsOpen() const { return handle_ != kNoDevice; }
    int32_t ModeByte() const { return modeByte_; }
    const Window& CaptureWindow() const { return window_; }
    // Name of the device object last tried.
    const std::string& DeviceName() const { return deviceName_; }
    ExposureState& Exposure() { return exposure_; }
    const ExposureState& Exposure() const { return exposure_; }

private:
    DeviceHandle Search();
    bool Start();
    bool QueryMode();
    void WriteRegisters(std::span<const RegisterWrite> writes);
    bool Send(const CommandPacket& packet);
    // Reads up to area.size() bytes from a pipe; a driver that claims more than it was
    // given room for has failed the request.
    bool Read(uint32_t pipe, std::span<uint8_t> area, uint32_t& count);

    DeviceLayer* devices_;
    DeviceHandle handle_ = kNoDevice;
    int32_t modeByte_ = 0;
    Window window_{};
    std::string deviceName_;
    ExposureState exposure_;
};

}  // namespace kestrix
