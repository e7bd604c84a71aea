// The terminal's side of the line, as the simulator reads the host's frames. With an
// even first byte the rest is fed as raw line bytes, which must never take the reader
// out of bounds; with an odd one it is the data of a host frame that the link builds and
// the simulator must read back whole, with no fault.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "link/frame.h"
#include "simulator/host_frame_parser.h"

namespace {

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4) {
        return 0;
    }
    seriallink::sim::HostFrameParser parser;
    using Event = seriallink::sim::HostFrameParser::Event;
    if (data[0] % 2 == 0) {
        for (size_t i = 1; i < size; ++i) {
            if (parser.Feed(data[i]) == Event::kFrame) {
                const seriallink::sim::HostFrame frame = parser.TakeFrame();
                Check(frame.wire.size() <= seriallink::kFrameBufferSize + 1);
                Check(frame.data.size() <= frame.wire.size());
            }
        }
        return 0;
    }
    const uint16_t destination = static_cast<uint16_t>(data[1] << 8 | data[2]);
    const uint8_t command = data[3];
    const std::span<const uint8_t> payload(data + 4, size - 4);
    std::array<uint8_t, seriallink::kFrameBufferSize> out{};
    const size_t built = seriallink::BuildHostFrame(out, destination, command, payload);
    if (payload.size() > seriallink::kMaxSendData) {
        Check(built == 0);
        return 0;
    }
    Check(built > 0 && built <= out.size());
    for (size_t i = 0; i < built; ++i) {
        const Event event = parser.Feed(out[i]);
        Check((event == Event::kFrame) == (i + 1 == built));
    }
    const seriallink::sim::HostFrame frame = parser.TakeFrame();
    Check(frame.faults.empty());
    Check(frame.destination == destination && frame.source == 1 && frame.command == command);
    Check(frame.data.size() == payload.size());
    for (size_t i = 0; i < payload.size(); ++i) {
        Check(frame.data[i] == payload[i]);
    }
    return 0;
}
