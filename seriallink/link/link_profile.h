// What sets one build of the link apart from another: line speed, the fill after a poll,
// the commands a terminal may send, and the protocol's pauses and time-outs. The worker
// reads these values rather than constants, so a further variant is a further profile.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "link/reply_reader.h"

namespace seriallink {

struct LinkTiming {
    std::chrono::milliseconds pollPause{15};  // before every poll
    ReplyTimeouts reply;                      // per byte of a reply
};

struct LinkProfile {
    const char* name;
    uint32_t baudRate;
    size_t pollFill;         // 0xFF bytes sent after the 12 bytes of a poll
    uint8_t highestCommand;  // of a good reply
    LinkTiming timing;
};

// The cable network: 57600 baud, polls followed by three 0xFF, replies with commands 1..50.
inline constexpr LinkProfile kNetLinker{"netlinker", 57600, 3, 50, LinkTiming{}};

}  // namespace seriallink
