#include "link/frame.h"

#include <numeric>

#include "link/byte_order.h"

namespace seriallink {
namespace {

// Header of a frame from the host; returns the offset of the data.
size_t WriteHeader(uint8_t* out, uint16_t destination, uint8_t command, uint16_t length)
{
    out[0] = kDle;
    out[1] = kStx;
    WriteUint16BE(out + kDestinationAt, destination);
    WriteUint16BE(out + kSourceAt, kHostAddress);
    out[kCommandAt] = command;
    WriteUint16BE(out + kLengthAt, length);
    return kDataAt;
}

}  // namespace

uint8_t Checksum(std::span<const uint8_t> bytes)
{
    const unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0u);
    return static_cast<uint8_t>(0xFF - (sum & 0xFF));
}

std::array<uint8_t, kControlFrameSize> ControlFrame(uint16_t destination, uint8_t command)
{
    std::array<uint8_t, kControlFrameSize> frame{};
    size_t at = WriteHeader(frame.data(), destination, command, 0);
    frame[at++] = kDle;
    frame[at++] = kEtx;
    frame[at] = Checksum(std::span(frame).first(at));
    return frame;
}

size_t BuildHostFrame(std::span<uint8_t, kFrameBufferSize> out, uint16_t destination, uint8_t command,
                      std::span<const uint8_t> data)
{
    if (data.size() > kMaxSendData) {
        return 0;
    }
    size_t at = WriteHeader(out.data(), destination, command, static_cast<uint16_t>(data.size()));
    for (const uint8_t byte : data) {
        out[at++] = byte;
        if (byte == kDle) {
            out[at++] = kDle;
        }
    }
    out[at++] = kDle;
    out[at++] = kEtx;
    out[at] = Checksum(out.first(at));
    return at + 1;
}

}  // namespace seriallink
