#include "device/command_packet.h"

#include "device/little_endian.h"

namespace kestrix {
namespace {

constexpr size_t kWindowBytes = 8;

void StoreWindow(uint8_t* p, const Window& window)
{
    StoreLe16(p, window.x);
    StoreLe16(p + 2, window.y);
    StoreLe16(p + 4, window.width);
    StoreLe16(p + 6, window.height);
}

bool IsKnown(uint8_t opcode)
{
    switch (static_cast<Opcode>(opcode)) {
        case Opcode::SetWindow:
        case Opcode::QueryMode:
        case Opcode::WriteRegister:
        case Opcode::Activate:
        case Opcode::Deactivate:
        case Opcode::ConfirmOpen:
        case Opcode::CaptureFrame:
        case Opcode::ReadKey:
            return true;
    }
    return false;
}

}  // namespace

uint8_t ParameterCount(Opcode opcode)
{
    switch (opcode) {
        case Opcode::SetWindow:
            return kWindowBytes;
        case Opcode::WriteRegister:
            return 2;
        case Opcode::CaptureFrame:
            return kWindowBytes + 1;
        default:
            return 0;
    }
}

CommandPacket MakeCommand(Opcode opcode)
{
    CommandPacket packet{};
    packet[0] = ParameterCount(opcode);
    packet[1] = static_cast<uint8_t>(opcode);
    return packet;
}

CommandPacket MakeSetWindow(const Window& window)
{
    CommandPacket packet = MakeCommand(Opcode::SetWindow);
    StoreWindow(&packet[2], window);
    return packet;
}

CommandPacket MakeWriteRegister(uint8_t address, uint8_t value)
{
    CommandPacket packet = MakeCommand(Opcode::WriteRegister);
    packet[2] = address;
    packet[3] = value;
    return packet;
}

CommandPacket MakeCaptureFrame(const Window& window, uint8_t gain)
{
    CommandPacket packet = MakeCommand(Opcode::CaptureFrame);
    StoreWindow(&packet[2], window);
    packet[2 + kWindowBytes] = gain;
    return packet;
}

std::optional<DecodedCommand> DecodeCommand(std::span<const uint8_t> packet)
{
    if (packet.size() != kCommandPacketSize || !IsKnown(packet[1])) {
        return std::nullopt;
    }
    const auto opcode = static_cast<Opcode>(packet[1]);
    if (packet[0] != ParameterCount(opcode)) {
        return std::nullopt;
    }
    return DecodedCommand{opcode, packet.subspan(2, packet[0])};
}

Window WindowOf(std::span<const uint8_t> parameters)
{
    Window window;
    if (parameters.size() >= kWindowBytes) {
        window.x = LoadLe16(&parameters[0]);
        window.y = LoadLe16(&parameters[2]);
        window.width = LoadLe16(&parameters[4]);
        window.height = LoadLe16(&parameters[6]);
    }
    return window;
}

}  // namespace kestrix
