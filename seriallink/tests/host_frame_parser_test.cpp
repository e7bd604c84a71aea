// The simulator judges every frame the host sends; these cases make sure its judgement
// finds the faults it is there to find.

#include "simulator/host_frame_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace seriallink::sim {
namespace {

using Event = HostFrameParser::Event;

// Feeds every byte; the frames completed and the events seen.
struct Parsed {
    std::vector<HostFrame> frames;
    std::vector<Event> events;
    std::vector<std::string> strays;
};

Parsed Parse(const std::vector<uint8_t>& line)
{
    HostFrameParser parser;
    Parsed parsed;
    for (const uint8_t byte : line) {
        const Event event = parser.Feed(byte);
        if (event == Event::kNone) {
            continue;
        }
        parsed.events.push_back(event);
        if (event == Event::kFrame) {
            parsed.frames.push_back(parser.TakeFrame());
        } else if (event == Event::kStray) {
            parsed.strays.push_back(parser.TakeStray());
        }
    }
    return parsed;
}

// A host frame to 5, command 4, data 'a' 0x10 'b' as sent.
const std::vector<uint8_t> kSound{0x10, 0x02, 0x00, 0x05, 0x00, 0x01, 0x04, 0x00,
                                  0x03, 'a',  0x10, 0x10, 'b',  0x10, 0x03, 0x00};

std::vector<uint8_t> WithChecksum(std::vector<uint8_t> frame)
{
    const size_t last = frame.size() - 1;
    unsigned sum = 0;
    for (size_t i = 0; i < last; ++i) {
        sum += frame[i];
    }
    frame.at(last) = static_cast<uint8_t>(0xFF - (sum & 0xFF));
    return frame;
}

TEST(HostFrameParser, ReadsASoundFrameAndItsFill)
{
    std::vector<uint8_t> line = WithChecksum(kSound);
    line.insert(line.end(), {0xFF, 0xFF, 0xFF});
    const Parsed parsed = Parse(line);
    ASSERT_EQ(parsed.frames.size(), 1u);
    const HostFrame& frame = parsed.frames[0];
    EXPECT_TRUE(frame.faults.empty());
    EXPECT_EQ(frame.destination, 5);
    EXPECT_EQ(frame.source, 1);
    EXPECT_EQ(frame.command, 4);
    EXPECT_EQ(frame.data, (std::vector<uint8_t>{'a', 0x10, 'b'}));
    EXPECT_EQ(frame.wire, WithChecksum(kSound));
    EXPECT_EQ(parsed.events, (std::vector<Event>{Event::kFrame, Event::kFill, Event::kFill, Event::kFill}));
}

TEST(HostFrameParser, NotesEveryFaultOfAFrame)
{
    const auto faultsOf = [](const std::vector<uint8_t>& frame) {
        const Parsed parsed = Parse(frame);
        return parsed.frames.size() == 1 ? parsed.frames[0].faults.size() : 99u;
    };
    std::vector<uint8_t> badChecksum = WithChecksum(kSound);
    badChecksum.back() ^= 0x01;
    EXPECT_EQ(faultsOf(badChecksum), 1u);

    // The checksum over the data with 0x10 once, the terminal's rule, is not the host's.
    std::vector<uint8_t> summedOnce = WithChecksum(kSound);
    summedOnce.back() = static_cast<uint8_t>(summedOnce.back() + 0x10);
    EXPECT_EQ(faultsOf(summedOnce), 1u);

    std::vector<uint8_t> notDoubled = kSound;
    notDoubled.erase(notDoubled.begin() + 10);
    EXPECT_EQ(faultsOf(WithChecksum(notDoubled)), 1u);

    std::vector<uint8_t> wrongLength = kSound;
    wrongLength[8] = 0x04;
    EXPECT_EQ(faultsOf(WithChecksum(wrongLength)), 1u);

    std::vector<uint8_t> wrongSource = kSound;
    wrongSource[5] = 0x02;
    EXPECT_EQ(faultsOf(WithChecksum(wrongSource)), 1u);
}

TEST(HostFrameParser, ReportsStrayBytesBetweenFramesAndCutsOverlongFrames)
{
    std::vector<uint8_t> line{0x55};
    const std::vector<uint8_t> sound = WithChecksum(kSound);
    line.insert(line.end(), sound.begin(), sound.end());
    line.insert(line.end(), {0x10, 0x41});
    Parsed parsed = Parse(line);
    EXPECT_EQ(parsed.strays.size(), 2u);
    EXPECT_EQ(parsed.frames.size(), 1u);

    std::vector<uint8_t> endless{0x10, 0x02, 0x00, 0x05, 0x00, 0x01, 0x04, 0x00, 0x00};
    endless.resize(5000, 'x');
    parsed = Parse(endless);
    ASSERT_EQ(parsed.frames.size(), 1u);
    EXPECT_FALSE(parsed.frames[0].faults.empty());
}

}  // namespace
}  // namespace seriallink::sim
