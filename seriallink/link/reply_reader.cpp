#include "link/reply_reader.h"

#include <algorithm>
#include <array>

#include "link/byte_order.h"

namespace seriallink {
namespace {

using Outcome = Reply::Outcome;
using Fault = Reply::Fault;

constexpr size_t kFirstRead = 5;  // header bytes read before the frame start is looked for

Reply Bad(Fault fault, size_t size)
{
    return Reply{Outcome::kBad, fault, size};
}

// Bytes of the buffer still to read, one at a time with the header's time-out.
struct Completion {
    size_t from;
    size_t to;  // the data follows from here
};

// The five bytes read first go to bytes 4-8. The frame start is looked for among them,
// the bytes that belong to the header are moved to their places, and the rest of the
// header is to be read up to byte 8. When none of the known patterns fits, the five
// bytes stay as read and one more byte is read into byte 9, the first of the data.
Completion Realign(std::span<uint8_t, kFrameBufferSize> frame, uint16_t polledAddress)
{
    std::array<uint8_t, kFirstRead> b{};
    std::copy_n(frame.begin() + kSourceAt, kFirstRead, b.begin());
    const auto keepFrom = [&](size_t first) {
        std::copy(b.begin() + static_cast<std::ptrdiff_t>(first), b.end(), frame.begin() + kSourceAt);
        return Completion{kSourceAt + (kFirstRead - first), kDataAt};
    };
    if (b[2] == kStx && b[3] == 0x00 && b[4] == 0x01) {
        return keepFrom(kFirstRead);  // one stray byte, then DLE STX 00 01: the source is still to come
    }
    if (b[2] == 0x00 && b[3] == 0x01) {
        return keepFrom(4);  // the expected start
    }
    if (b[2] == 0x01) {
        return keepFrom(3);  // the DLE was lost
    }
    if (b[1] == 0x01) {
        return keepFrom(2);  // DLE STX lost
    }
    if (b[0] == 0x01 || b[1] == static_cast<uint8_t>(polledAddress >> 8)) {
        return keepFrom(1);  // DLE STX 00 lost
    }
    return Completion{kDataAt, kDataAt + 1};
}

}  // namespace

void PrefillReceiveBuffer(std::span<uint8_t, kFrameBufferSize> frame)
{
    frame[0] = kDle;
    frame[1] = kStx;
    WriteUint16BE(frame.data() + kDestinationAt, kHostAddress);
}

Reply ReadReply(ByteReader& line, uint16_t polledAddress, uint8_t highestCommand, const ReplyTimeouts& timeouts,
                std::span<uint8_t, kFrameBufferSize> frame)
{
    for (size_t at = kSourceAt; at < kSourceAt + kFirstRead; ++at) {
        if (!line.ReadByte(frame[at], timeouts.headerByte)) {
            return Reply{};
        }
    }
    const Completion header = Realign(frame, polledAddress);
    for (size_t at = header.from; at < header.to; ++at) {
        if (!line.ReadByte(frame[at], timeouts.headerByte)) {
            return Bad(Fault::kReadFailed, at);
        }
    }

    // Data up to DLE ETX. Room stays for DLE ETX and the checksum; data beyond it is read
    // to the end of the frame but not stored, and the reply is refused.
    constexpr size_t kDataLimit = kFrameBufferSize - 3;
    size_t at = header.to;
    bool tooLong = false;
    const auto store = [&](uint8_t byte) {
        if (at < kDataLimit) {
            frame[at++] = byte;
        } else {
            tooLong = true;
        }
    };
    for (;;) {
        uint8_t byte = 0;
        if (!line.ReadByte(byte, timeouts.dataByte)) {
            return Bad(Fault::kReadFailed, at);
        }
        if (byte != kDle) {
            store(byte);
            continue;
        }
        uint8_t next = 0;
        if (!line.ReadByte(next, timeouts.dataByte)) {
            return Bad(Fault::kReadFailed, at);
        }
        if (next == kEtx) {
            break;
        }
        store(kDle);
        if (next != kDle) {
            store(next);  // a lone DLE is kept with the byte after it
        }
    }
    const size_t dataEnd = at;
    frame[at++] = kDle;
    frame[at++] = kEtx;
    if (!line.ReadByte(frame[at], timeouts.dataByte)) {
        return Bad(Fault::kReadFailed, at);
    }
    const size_t size = at + 1;
    if (tooLong) {
        return Bad(Fault::kTooLong, size);
    }

    // The terminal's checksum covers its data as stored here, a doubled 0x10 once.
    if (Checksum(frame.first(at)) != frame[at]) {
        return Bad(Fault::kChecksum, size);
    }
    if (ReadUint16BE(frame.data() + kSourceAt) != polledAddress) {
        return Bad(Fault::kSource, size);
    }
    const uint8_t command = frame[kCommandAt];
    if (command < 1 || command > highestCommand) {
        return Bad(Fault::kCommand, size);
    }
    if (ReadUint16BE(frame.data() + kLengthAt) != dataEnd - kDataAt) {
        return Bad(Fault::kLength, size);
    }
    return Reply{Outcome::kGood, Fault::kNone, size};
}

}  // namespace seriallink
