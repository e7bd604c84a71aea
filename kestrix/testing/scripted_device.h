// A device for tests: a reader whose every answer can be scripted. It records each open
// attempt and each request, replies like a reader (mode byte, key, frames from a frame
// source) and can fail any request or shorten any read.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "device/command_packet.h"
#include "device/device_layer.h"

namespace kestrix::testing {

// One request as the device saw it.
struct RecordedRequest {
    uint32_t code = 0;
    uint32_t pipe = 0;            // from the input buffer; 0 for a reset
    std::vector<uint8_t> packet;  // the command packet of a write
    size_t asked = 0;             // size of the receive area of a read
    bool failed = false;
    uint32_t returned = 0;

    bool IsWrite() const;
    bool IsRead() const;
    bool IsReset() const;
    // The opcode of a write; 0 for anything else.
    uint8_t Opcode() const;
    bool Is(kestrix::Opcode opcode) const { return IsWrite() && Opcode() == static_cast<uint8_t>(opcode); }
};

class ScriptedDevice final : public DeviceLayer {
public:
    // Names of the device objects that open.
    std::set<std::string> readers{"Tn2Usb-0"};
    uint8_t modeByte = 1;
    std::array<uint8_t, kKeySize> key{0x78, 0x56, 0x34, 0x12};
    // Fills the frame of each CaptureFrame (width x height bytes) for its gain byte; the
    // default frame is black.
    std::function<void(uint8_t gain, std::span<uint8_t> frame)> frameSource;
    // Byte counts of the next reads of the frame pipe, one per read; when it runs out a
    // read returns what is asked, up to the end of the frame. Bytes past the frame are 0.
    std::deque<uint32_t> frameReads;
    // A request for which this is true fails (it is still recorded).
    std::function<bool(const RecordedRequest&)> failWhen;
    // The byte count of a successful read, if it should differ from what the device has.
    std::function<std::optional<uint32_t>(const RecordedRequest&)> readCount;
    bool closeFails = false;

    // What happened.
    std::vector<std::string> openAttempts;
    std::vector<RecordedRequest> requests;
    int closes = 0;
    int framesRendered = 0;

    DeviceHandle Open(const std::string& name) override;
    bool IoControl(DeviceHandle device, uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t& returned) override;
    bool Close(DeviceHandle device) override;

    bool IsOpen() const { return handle_ != kNoDevice; }
    int Count(kestrix::Opcode opcode) const;
    int Resets() const;
    int Reads(uint32_t pipe) const;
    // The opcodes written, in order, with 'R' for every reset and 'r' for every read.
    std::string Trace() const;
    // The packets of every write of this opcode.
    std::vector<std::vector<uint8_t>> Packets(kestrix::Opcode opcode) const;
    // Forgets what was recorded so far.
    void ClearRecord();

private:
    bool Answer(RecordedRequest& request, std::span<uint8_t> output);

    DeviceHandle handle_ = kNoDevice;
    DeviceHandle lastHandle_ = 100;
    std::vector<uint8_t> reply_;
    std::vector<uint8_t> frame_;
    size_t frameRead_ = 0;
};

// Fails every write of the opcode, or only its n-th (from 1).
std::function<bool(const RecordedRequest&)> FailCommand(kestrix::Opcode opcode, int nth = 0);

}  // namespace kestrix::testing
