// A terminal's answer to a poll, read from the line into the receive buffer: the header
// with its realignment, the data with its DLE handling, the checksum byte, and the checks
// that decide whether the reply is good.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/frame.h"
#include "link/serial_port.h"

namespace seriallink {

struct ReplyTimeouts {
    std::chrono::milliseconds headerByte{10};
    std::chrono::milliseconds dataByte{50};
};

struct Reply {
    enum class Outcome {
        kSilent,  // the first five bytes did not all come: no rejection
        kBad,     // answered with a rejection
        kGood,
    };
    // Why a reply is bad, the first check that failed.
    enum class Fault {
        kNone,
        kReadFailed,  // a byte after the first five did not come
        kTooLong,     // more data than the receive buffer holds
        kChecksum,
        kSource,   // not from the polled address
        kCommand,  // outside 1..highest
        kLength,   // the length field disagrees with the data received
    };
    Outcome outcome = Outcome::kSilent;
    Fault fault = Fault::kNone;
    size_t size = 0;  // bytes stored in the buffer, DLE ETX and checksum included
};

// Reads the reply of polledAddress into frame, whose bytes 0-3 hold the fixed start of
// every frame to the host (DLE STX 00 01) and are never written. A good reply has a
// command in 1..highestCommand.
Reply ReadReply(ByteReader& line, uint16_t polledAddress, uint8_t highestCommand, const ReplyTimeouts& timeouts,
                std::span<uint8_t, kFrameBufferSize> frame);

// The receive buffer's fixed start: DLE STX and the host's address.
void PrefillReceiveBuffer(std::span<uint8_t, kFrameBufferSize> frame);

}  // namespace seriallink
