// A simulated reader behind the same three device operations as the real one, so that
// hosts can be developed and demonstrated without hardware (KESTRIX_VIRTUAL_READER=1).
//
// It holds one device object, "Tn2Usb-0", and honours the driver's requests and the
// command packets: the mode query replies 62 bytes, the key read 4, and CaptureFrame
// delivers width x height bytes of a 640 x 480 sensor on the frame pipe. Frames come from
// the synthetic-fingerprint generator: the sensor's 440 x 360 window at (100, 60) shows a
// finger that is placed, held and lifted, with a brightness that follows the gain byte;
// between touches the sensor is black, and every touch is a new finger.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "device/command_packet.h"
#include "device/device_layer.h"
#include "fpsynth/sensor.h"

namespace kestrix {

struct VirtualReaderOptions {
    uint8_t modeByte = 0;
    std::array<uint8_t, kKeySize> key = {0x56, 0x4B, 0x30, 0x31};  // "VK01"
    uint64_t seed = 1;                                             // the fingers and how they touch
    int emptyFramesBeforeTouch = 3;                                // black frames before each finger arrives
    fpsynth::TouchScript touch{4, 40, 3};
};

class VirtualReader final : public DeviceLayer {
public:
    static constexpr const char* kDeviceName = "Tn2Usb-0";
    static constexpr int kSensorWidth = 640;
    static constexpr int kSensorHeight = 480;
    static constexpr Window kFingerWindow{100, 60, 440, 360};

    explicit VirtualReader(VirtualReaderOptions options);
    ~VirtualReader() override;

    DeviceHandle Open(const std::string& name) override;
    bool IoControl(DeviceHandle device, uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t& returned) override;
    bool Close(DeviceHandle device) override;

    // What the reader has been told.
    bool IsActive() const { return active_; }
    uint8_t Register(uint8_t address) const { return registers_[address]; }
    const Window& SetWindowArgument() const { return window_; }
    int FramesCaptured() const { return framesCaptured_; }

private:
    bool Execute(std::span<const uint8_t> packet);
    bool ReadPipe(uint32_t pipe, std::span<uint8_t> output, uint32_t& returned);
    bool CaptureFrame(const Window& window, uint8_t gain);
    // The finger's frame at this gain, or an empty image while no finger touches.
    fpsynth::GreyImage NextFingerFrame(uint8_t gain);
    void ClearPipes();

    VirtualReaderOptions options_;
    DeviceHandle handle_ = kNoDevice;
    DeviceHandle lastHandle_ = 0;
    bool active_ = false;
    std::array<uint8_t, 256> registers_{};
    Window window_{};
    std::vector<uint8_t> reply_;
    std::vector<uint8_t> frame_;
    size_t frameRead_ = 0;
    int framesCaptured_ = 0;
    int emptyFramesLeft_;
    int touches_ = 0;
    std::unique_ptr<fpsynth::SensorTouch> touch_;
};

}  // namespace kestrix
