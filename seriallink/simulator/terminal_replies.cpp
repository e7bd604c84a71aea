#include "simulator/terminal_replies.h"

#include <algorithm>
#include <numeric>

namespace seriallink::sim {
namespace {

constexpr uint8_t kDle = 0x10;

void PutUint16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

}  // namespace

std::vector<uint8_t> TerminalFrame::Encode() const
{
    std::vector<uint8_t> wire{kDle, 0x02};
    PutUint16(wire, 0x0001);
    PutUint16(wire, source);
    wire.push_back(command);
    PutUint16(wire, lengthField.value_or(static_cast<uint16_t>(data.size())));
    unsigned sum = std::accumulate(wire.begin(), wire.end(), 0u);
    for (const uint8_t byte : data) {
        wire.push_back(byte);
        if (byte == kDle) {
            wire.push_back(kDle);
        }
        sum += byte;
    }
    wire.push_back(kDle);
    wire.push_back(0x03);
    sum += kDle + 0x03;
    wire.push_back(static_cast<uint8_t>(0xFF - (sum & 0xFF) + checksumError));
    return wire;
}

ScriptedReply ScriptedReply::Message(uint16_t source, uint8_t command, std::vector<uint8_t> data)
{
    return Raw(EncodeReply(source, command, std::move(data)), HostResponse::kAcknowledge, command);
}

ScriptedReply ScriptedReply::Rejected(std::vector<uint8_t> bytes)
{
    return Raw(std::move(bytes), HostResponse::kReject);
}

ScriptedReply ScriptedReply::Nothing(uint16_t source)
{
    return Raw(EncodeReply(source, 9, {}), HostResponse::kNone);
}

ScriptedReply ScriptedReply::Silence()
{
    return Raw({}, HostResponse::kNone);
}

ScriptedReply ScriptedReply::Raw(std::vector<uint8_t> bytes, HostResponse expected, uint8_t messageCommand)
{
    ScriptedReply reply;
    reply.bytes = std::move(bytes);
    reply.expected = expected;
    reply.messageCommand = messageCommand;
    return reply;
}

std::vector<uint8_t> WithStrayByteBefore(std::vector<uint8_t> frame, uint8_t stray)
{
    frame.insert(frame.begin(), stray);
    return frame;
}

std::vector<uint8_t> WithoutFirst(std::vector<uint8_t> frame, size_t count)
{
    frame.erase(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(std::min(count, frame.size())));
    return frame;
}

std::vector<uint8_t> TruncatedTo(std::vector<uint8_t> frame, size_t count)
{
    frame.resize(std::min(count, frame.size()));
    return frame;
}

std::vector<uint8_t> EncodeReply(uint16_t source, uint8_t command, std::vector<uint8_t> data)
{
    TerminalFrame frame;
    frame.source = source;
    frame.command = command;
    frame.data = std::move(data);
    return frame.Encode();
}

}  // namespace seriallink::sim
