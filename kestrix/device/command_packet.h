// Command packets: 64 bytes, a count of parameter bytes, the opcode, then the parameters
// (16-bit values low byte first). Bytes after the parameters are zero.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace kestrix {

inline constexpr size_t kCommandPacketSize = 64;
using CommandPacket = std::array<uint8_t, kCommandPacketSize>;

enum class Opcode : uint8_t {
    SetWindow = 0x6B,      // x, y, width, height
    QueryMode = 0x66,      // replies 62 bytes on the reply pipe, byte 0 the mode byte
    WriteRegister = 0x67,  // sensor register address, value
    Activate = 0x6E,
    Deactivate = 0x6F,
    ConfirmOpen = 0x6D,
    CaptureFrame = 0x69,  // x, y, width, height, gain byte; width x height bytes on the frame pipe
    ReadKey = 0x8D,       // replies 4 bytes on the reply pipe
};

// Replies on the reply pipe.
inline constexpr size_t kModeReplySize = 62;  // byte 0 is the mode byte
inline constexpr size_t kKeySize = 4;

// A window on the sensor, in pixels.
struct Window {
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t width = 0;
    uint16_t height = 0;
};

// Number of parameter bytes each opcode carries.
uint8_t ParameterCount(Opcode opcode);

CommandPacket MakeCommand(Opcode opcode);
CommandPacket MakeSetWindow(const Window& window);
CommandPacket MakeWriteRegister(uint8_t address, uint8_t value);
CommandPacket MakeCaptureFrame(const Window& window, uint8_t gain);

// A packet read back: its opcode, checked against the count its opcode requires.
struct DecodedCommand {
    Opcode opcode = Opcode::Activate;
    std::span<const uint8_t> parameters;
};

// Empty when the packet is not 64 bytes, the opcode is unknown or the count byte does
// not match the opcode.
std::optional<DecodedCommand> DecodeCommand(std::span<const uint8_t> packet);

// The window carried by SetWindow and CaptureFrame parameters.
Window WindowOf(std::span<const uint8_t> parameters);

}  // namespace kestrix
