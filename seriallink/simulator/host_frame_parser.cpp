#include "simulator/host_frame_parser.h"

#include <cstdio>
#include <numeric>
#include <utility>

namespace seriallink::sim {
namespace {

constexpr uint8_t kDle = 0x10;
constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;
constexpr uint8_t kFill = 0xFF;
constexpr size_t kHeaderSize = 9;
constexpr size_t kTransmitBuffer = 4096;

std::string Hex(uint8_t byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

uint16_t Uint16At(const std::vector<uint8_t>& bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

}  // namespace

HostFrameParser::Event HostFrameParser::Feed(uint8_t byte)
{
    if (state_ != State::kBetween) {
        frame_.wire.push_back(byte);
    }
    switch (state_) {
        case State::kBetween:
            if (byte == kFill) {
                return Event::kFill;
            }
            if (byte != kDle) {
                return Stray("byte " + Hex(byte) + " between frames");
            }
            frame_ = HostFrame{};
            frame_.wire.push_back(byte);
            state_ = State::kStx;
            return Event::kNone;
        case State::kStx:
            if (byte != kStx) {
                state_ = State::kBetween;
                return Stray("DLE followed by " + Hex(byte) + " instead of STX");
            }
            state_ = State::kHeader;
            return Event::kNone;
        case State::kHeader:
            if (frame_.wire.size() == kHeaderSize) {
                frame_.destination = Uint16At(frame_.wire, 2);
                frame_.source = Uint16At(frame_.wire, 4);
                frame_.command = frame_.wire[6];
                frame_.lengthField = Uint16At(frame_.wire, 7);
                state_ = State::kData;
            }
            return Event::kNone;
        case State::kData:
            if (byte == kDle) {
                state_ = State::kDataDle;
            } else {
                frame_.data.push_back(byte);
            }
            break;
        case State::kDataDle:
            state_ = State::kData;
            if (byte == kEtx) {
                state_ = State::kChecksum;
            } else if (byte == kDle) {
                frame_.data.push_back(kDle);
            } else {
                frame_.faults.push_back("a 0x10 of the data not doubled");
                frame_.data.push_back(kDle);
                frame_.data.push_back(byte);
            }
            break;
        case State::kChecksum:
            Finish(byte);
            return Event::kFrame;
    }
    if (frame_.wire.size() > kTransmitBuffer) {
        frame_.faults.push_back("longer than the host's transmit buffer");
        done_ = std::move(frame_);
        frame_ = HostFrame{};
        state_ = State::kBetween;
        return Event::kFrame;
    }
    return Event::kNone;
}

void HostFrameParser::Finish(uint8_t checksum)
{
    const unsigned sum = std::accumulate(frame_.wire.begin(), frame_.wire.end() - 1, 0u);
    if (static_cast<uint8_t>(0xFF - (sum & 0xFF)) != checksum) {
        frame_.faults.push_back("checksum " + Hex(checksum) + " does not match the bytes as sent");
    }
    if (frame_.lengthField != frame_.data.size()) {
        frame_.faults.push_back("length field " + std::to_string(frame_.lengthField) + " for " +
                                std::to_string(frame_.data.size()) + " data bytes");
    }
    if (frame_.source != 0x0001) {
        frame_.faults.push_back("source " + std::to_string(frame_.source) + " is not the host");
    }
    done_ = std::move(frame_);
    frame_ = HostFrame{};
    state_ = State::kBetween;
}

HostFrameParser::Event HostFrameParser::Stray(std::string what)
{
    stray_ = std::move(what);
    return Event::kStray;
}

HostFrame HostFrameParser::TakeFrame()
{
    return std::exchange(done_, HostFrame{});
}

std::string HostFrameParser::TakeStray()
{
    return std::exchange(stray_, std::string{});
}

}  // namespace seriallink::sim
