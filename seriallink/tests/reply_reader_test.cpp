// The receive path of a poll: header with realignment, data with DLE handling, the
// checksum byte, and the rules that make a reply good, bad or silent.

#include "link/reply_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/byte_order.h"
#include "simulator/terminal_replies.h"
#include "support/scripted_line.h"

namespace seriallink {
namespace {

using sim::TerminalFrame;
using sim::TruncatedTo;
using sim::WithoutFirst;
using sim::WithStrayByteBefore;
using testing::ScriptedLine;
using Outcome = Reply::Outcome;
using Fault = Reply::Fault;
using namespace std::chrono_literals;

constexpr uint16_t kPolled = 0x0005;
constexpr ReplyTimeouts kTimeouts{10ms, 50ms};

std::vector<uint8_t> Frame(uint16_t source, uint8_t command, std::vector<uint8_t> data)
{
    return sim::EncodeReply(source, command, std::move(data));
}

const std::vector<uint8_t> kSound = Frame(kPolled, 4, {'A', 'B'});

// The receive buffer with guard bytes behind it that no reply may touch.
struct Buffer {
    Buffer()
    {
        bytes.fill(0xEE);
        PrefillReceiveBuffer(frame());
    }
    std::span<uint8_t, kFrameBufferSize> frame()
    {
        return std::span<uint8_t, kFrameBufferSize>(bytes.data(), kFrameBufferSize);
    }
    bool GuardIntact() const
    {
        for (size_t i = kFrameBufferSize; i < bytes.size(); ++i) {
            if (bytes[i] != 0xEE) {
                return false;
            }
        }
        return true;
    }
    std::vector<uint8_t> Data()
    {
        const uint16_t length = ReadUint16BE(bytes.data() + kLengthAt);
        return {bytes.begin() + kDataAt, bytes.begin() + kDataAt + length};
    }
    std::array<uint8_t, kFrameBufferSize + 64> bytes{};
};

struct Received {
    Reply reply;
    size_t left = 0;  // bytes of the line not read
    Buffer buffer;
};

Received Read(const std::vector<uint8_t>& line, uint16_t polled = kPolled, uint8_t highest = 50)
{
    Received result;
    ScriptedLine scripted(line);
    result.reply = ReadReply(scripted, polled, highest, kTimeouts, result.buffer.frame());
    result.left = scripted.Left();
    EXPECT_TRUE(result.buffer.GuardIntact()) << "written past the receive buffer";
    const std::vector<uint8_t> start{0x10, 0x02, 0x00, 0x01};
    EXPECT_EQ(std::vector<uint8_t>(result.buffer.bytes.begin(), result.buffer.bytes.begin() + 4), start)
        << "the fixed start of the buffer was overwritten";
    return result;
}

TEST(ReplyReader, TakesASoundReplyWhole)
{
    Received r = Read(kSound);
    ASSERT_EQ(r.reply.outcome, Outcome::kGood);
    EXPECT_EQ(r.reply.size, kSound.size());
    EXPECT_EQ(std::vector<uint8_t>(r.buffer.bytes.begin(), r.buffer.bytes.begin() + kSound.size()), kSound);
    EXPECT_EQ(r.left, 0u);
}

struct RealignCase {
    const char* name;
    std::vector<uint8_t> line;
    uint16_t polled;
};

// The terminal's frame reaches the header reader with a byte too many or with its first
// bytes lost; each known pattern puts the header back in place.
TEST(ReplyReader, RealignsTheHeaderAfterAStrayOrLostLeadingBytes)
{
    std::vector<uint8_t> garbledDestination = WithoutFirst(kSound, 3);
    garbledDestination[0] = 0x77;  // 0x01 damaged: the source's high byte still gives the place
    const RealignCase cases[] = {
        {"one stray byte before DLE STX", WithStrayByteBefore(kSound, 0x55), kPolled},
        {"stray 0x10 before DLE STX", WithStrayByteBefore(kSound, 0x10), kPolled},
        {"DLE lost", WithoutFirst(kSound, 1), kPolled},
        {"DLE STX lost", WithoutFirst(kSound, 2), kPolled},
        {"DLE STX 00 lost", WithoutFirst(kSound, 3), kPolled},
        {"destination damaged, source high byte found", garbledDestination, kPolled},
        {"whole fixed start lost: the first data byte goes to byte 9", WithoutFirst(kSound, 4), kPolled},
    };
    for (const RealignCase& c : cases) {
        Received r = Read(c.line, c.polled);
        EXPECT_EQ(r.reply.outcome, Outcome::kGood) << c.name;
        EXPECT_EQ(r.buffer.Data(), (std::vector<uint8_t>{'A', 'B'})) << c.name;
        EXPECT_EQ(r.buffer.bytes[kCommandAt], 4) << c.name;
        EXPECT_EQ(r.left, 0u) << c.name;
    }
}

TEST(ReplyReader, StoresADoubled0x10OnceAndALone0x10WithTheByteAfterIt)
{
    Received doubled = Read(Frame(kPolled, 4, {0x10, 'x', 0x10, 0x10}));
    ASSERT_EQ(doubled.reply.outcome, Outcome::kGood);
    EXPECT_EQ(doubled.buffer.Data(), (std::vector<uint8_t>{0x10, 'x', 0x10, 0x10}));

    // 'x' 0x10 'y' on the wire, counted as the three bytes stored.
    std::vector<uint8_t> lone = Frame(kPolled, 4, {'x', 0x10, 'y'});
    lone.erase(lone.begin() + kDataAt + 1);  // the second copy of the 0x10
    Received kept = Read(lone);
    ASSERT_EQ(kept.reply.outcome, Outcome::kGood);
    EXPECT_EQ(kept.buffer.Data(), (std::vector<uint8_t>{'x', 0x10, 'y'}));
}

TEST(ReplyReader, ChecksDataWith0x10AgainstTheStoredBytesNotTheBytesAsSent)
{
    // A terminal that summed both copies of a doubled 0x10, the way the host sends.
    const std::vector<uint8_t> data{'a', 0x10};
    std::vector<uint8_t> summedAsSent = Frame(kPolled, 4, data);
    summedAsSent.back() = static_cast<uint8_t>(summedAsSent.back() - 0x10);
    EXPECT_EQ(Read(summedAsSent).reply.fault, Fault::kChecksum);
    EXPECT_EQ(Read(Frame(kPolled, 4, data)).reply.outcome, Outcome::kGood);
}

struct RuleCase {
    const char* name;
    std::vector<uint8_t> line;
    Outcome outcome;
    Fault fault;
};

std::vector<uint8_t> WithLengthField(uint16_t length)
{
    TerminalFrame frame;
    frame.source = kPolled;
    frame.command = 4;
    frame.data = {'A', 'B'};
    frame.lengthField = length;
    return frame.Encode();
}

std::vector<uint8_t> WithChecksumOff(uint8_t by)
{
    TerminalFrame frame;
    frame.source = kPolled;
    frame.command = 4;
    frame.data = {'A', 'B'};
    frame.checksumError = by;
    return frame.Encode();
}

TEST(ReplyReader, JudgesRepliesByChecksumSourceCommandAndLength)
{
    const RuleCase cases[] = {
        {"command 1", Frame(kPolled, 1, {}), Outcome::kGood, Fault::kNone},
        {"command 9", Frame(kPolled, 9, {}), Outcome::kGood, Fault::kNone},
        {"command 50", Frame(kPolled, 50, {'z'}), Outcome::kGood, Fault::kNone},
        {"command 51", Frame(kPolled, 51, {'z'}), Outcome::kBad, Fault::kCommand},
        {"command 0", Frame(kPolled, 0, {}), Outcome::kBad, Fault::kCommand},
        {"command 255", Frame(kPolled, 255, {}), Outcome::kBad, Fault::kCommand},
        {"from another address", Frame(0x0006, 4, {'A'}), Outcome::kBad, Fault::kSource},
        {"from the same low byte of another", Frame(0x0105, 4, {'A'}), Outcome::kBad, Fault::kSource},
        {"length one more than the data", WithLengthField(3), Outcome::kBad, Fault::kLength},
        {"length one less than the data", WithLengthField(1), Outcome::kBad, Fault::kLength},
        {"checksum off by one", WithChecksumOff(1), Outcome::kBad, Fault::kChecksum},
        {"checksum off by 0x80", WithChecksumOff(0x80), Outcome::kBad, Fault::kChecksum},
    };
    for (const RuleCase& c : cases) {
        Received r = Read(c.line);
        EXPECT_EQ(r.reply.outcome, c.outcome) << c.name;
        EXPECT_EQ(r.reply.fault, c.fault) << c.name;
        EXPECT_EQ(r.left, 0u) << c.name << ": the frame was not read to its end";
    }
}

TEST(ReplyReader, IsSilentUnlessTheFirstFiveBytesComeAndBadWhenTheRestStopsShort)
{
    for (size_t cut = 0; cut < kSound.size(); ++cut) {
        Received r = Read(TruncatedTo(kSound, cut));
        const Outcome expected = cut < 5 ? Outcome::kSilent : Outcome::kBad;
        EXPECT_EQ(r.reply.outcome, expected) << "cut after " << cut << " bytes";
        if (cut >= 5) {
            EXPECT_EQ(r.reply.fault, Fault::kReadFailed) << "cut after " << cut << " bytes";
        }
    }
}

TEST(ReplyReader, GivesHeaderReadsTheShortTimeOutAndDataAndChecksumTheLongOne)
{
    ScriptedLine line(WithStrayByteBefore(kSound, 0x55));
    Buffer buffer;
    ASSERT_EQ(ReadReply(line, kPolled, 50, kTimeouts, buffer.frame()).outcome, Outcome::kGood);
    // Five bytes, the five of the header after the stray byte, then data, DLE ETX, checksum.
    ASSERT_EQ(line.timeouts.size(), 10u + 2 + 2 + 1);
    for (size_t i = 0; i < line.timeouts.size(); ++i) {
        EXPECT_EQ(line.timeouts[i], i < 10 ? 10ms : 50ms) << "read " << i;
    }
}

TEST(ReplyReader, TakesTheLargestReplyTheBufferHoldsAndRefusesOneByteMoreAfterReadingIt)
{
    std::vector<uint8_t> largest(kMaxReceiveData);
    for (size_t i = 0; i < largest.size(); ++i) {
        largest[i] = static_cast<uint8_t>(i * 7);
    }
    Received fits = Read(Frame(kPolled, 4, largest));
    ASSERT_EQ(fits.reply.outcome, Outcome::kGood);
    EXPECT_EQ(fits.reply.size, kFrameBufferSize);
    EXPECT_EQ(fits.buffer.Data(), largest);

    for (const uint8_t filler : {uint8_t{0x41}, uint8_t{0x10}}) {
        Received over = Read(Frame(kPolled, 4, std::vector<uint8_t>(kMaxReceiveData + 1, filler)));
        EXPECT_EQ(over.reply.fault, Fault::kTooLong) << "filler " << int{filler};
        EXPECT_EQ(over.left, 0u) << "the rest of the frame stays on the line";
    }
    Received far = Read(Frame(kPolled, 4, std::vector<uint8_t>(60000, 0x10)));
    EXPECT_EQ(far.reply.fault, Fault::kTooLong);
}

TEST(ReplyReader, RefusesHeadersThatFitNoPattern)
{
    // Five bytes that match no known start, then the rest of a frame from the polled terminal.
    std::vector<uint8_t> line{0x77, 0x66, 0x55, 0x44, 0x33};
    const std::vector<uint8_t> rest = WithoutFirst(kSound, 4);
    line.insert(line.end(), rest.begin(), rest.end());
    Received r = Read(line);
    EXPECT_EQ(r.reply.outcome, Outcome::kBad);
}

}  // namespace
}  // namespace seriallink
