// Reads the host's frames from the line the way a terminal does, one byte at a time,
// and notes everything a sound frame would not show: a wrong checksum (over the bytes as
// sent), a 0x10 of the data not doubled, a length field that disagrees with the data, a
// source other than the host, a frame longer than the host's transmit buffer, and bytes
// between frames other than the 0xFF fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace seriallink::sim {

struct HostFrame {
    uint16_t destination = 0;
    uint16_t source = 0;
    uint8_t command = 0;
    uint16_t lengthField = 0;
    std::vector<uint8_t> data;        // a doubled 0x10 once
    std::vector<uint8_t> wire;        // as sent, checksum included
    size_t fill = 0;                  // 0xFF bytes that followed it
    std::vector<std::string> faults;  // empty for a sound frame
};

class HostFrameParser {
public:
    enum class Event {
        kNone,   // the byte belongs to a frame still coming
        kFrame,  // a frame is complete: TakeFrame
        kFill,   // a 0xFF between frames
        kStray,  // a byte between frames that starts nothing: TakeStray
    };

    Event Feed(uint8_t byte);
    HostFrame TakeFrame();
    std::string TakeStray();

private:
    enum class State { kBetween, kStx, kHeader, kData, kDataDle, kChecksum };
    Event Stray(std::string what);
    void Finish(uint8_t checksum);

    State state_ = State::kBetween;
    HostFrame frame_;
    HostFrame done_;
    std::string stray_;
};

}  // namespace seriallink::sim
