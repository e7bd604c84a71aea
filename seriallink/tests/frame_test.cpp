// Frames the host builds: control frames byte for byte, and application frames with
// their doubled 0x10 bytes inside the checksum.

#include "link/frame.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace seriallink {
namespace {

std::vector<uint8_t> Bytes(std::span<const uint8_t> bytes)
{
    return {bytes.begin(), bytes.end()};
}

struct ControlCase {
    uint16_t destination;
    uint8_t command;
    std::vector<uint8_t> wire;
};

TEST(ControlFrames, AreTwelveBytesWithTheHostAsSourceAndNoData)
{
    const ControlCase cases[] = {
        {0x0005, command::kPoll, {0x10, 0x02, 0x00, 0x05, 0x00, 0x01, 0x01, 0x00, 0x00, 0x10, 0x03, 0xD3}},
        {0x1234, command::kAcknowledge, {0x10, 0x02, 0x12, 0x34, 0x00, 0x01, 0x08, 0x00, 0x00, 0x10, 0x03, 0x8B}},
        {0xFFFF, command::kReject, {0x10, 0x02, 0xFF, 0xFF, 0x00, 0x01, 0x07, 0x00, 0x00, 0x10, 0x03, 0xD4}},
    };
    for (const ControlCase& c : cases) {
        EXPECT_EQ(Bytes(ControlFrame(c.destination, c.command)), c.wire) << "command " << int{c.command};
    }
}

TEST(HostFrames, SendEveryDataByte0x10TwiceAndCountBothCopiesInTheChecksum)
{
    std::array<uint8_t, kFrameBufferSize> out{};
    const std::vector<uint8_t> data{0x41, 0x10, 0x42};
    const size_t size = BuildHostFrame(out, 0x0005, 4, data);
    const std::vector<uint8_t> wire{0x10, 0x02, 0x00, 0x05, 0x00, 0x01, 0x04, 0x00,
                                    0x03, 0x41, 0x10, 0x10, 0x42, 0x10, 0x03, 0x2A};
    EXPECT_EQ(Bytes(std::span(out).first(size)), wire);
}

TEST(HostFrames, CarryTheLengthBeforeDoublingBigEndian)
{
    std::array<uint8_t, kFrameBufferSize> out{};
    const std::vector<uint8_t> data(0x123, kDle);
    const size_t size = BuildHostFrame(out, 0xABCD, 50, data);
    EXPECT_EQ(size, kDataAt + 2 * data.size() + 3);
    EXPECT_EQ(out[kDestinationAt], 0xAB);
    EXPECT_EQ(out[kDestinationAt + 1], 0xCD);
    EXPECT_EQ(out[kLengthAt], 0x01);
    EXPECT_EQ(out[kLengthAt + 1], 0x23);
    EXPECT_EQ(out[size - 1], Checksum(std::span(out).first(size - 1)));
}

TEST(HostFrames, HoldUpTo2041DataBytesEvenWhenEveryOneIsDoubled)
{
    std::array<uint8_t, kFrameBufferSize + 16> guarded{};
    guarded.fill(0xEE);
    const std::span<uint8_t, kFrameBufferSize> out(guarded.data(), kFrameBufferSize);
    EXPECT_EQ(BuildHostFrame(out, 1, 3, std::vector<uint8_t>(kMaxSendData, kDle)), 4094u);
    EXPECT_EQ(BuildHostFrame(out, 1, 3, std::vector<uint8_t>(kMaxSendData + 1, 0x00)), 0u);
    for (size_t i = kFrameBufferSize; i < guarded.size(); ++i) {
        EXPECT_EQ(guarded[i], 0xEE) << "written past the transmit buffer at " << i;
    }
}

TEST(FrameChecksum, IsFFMinusTheSumModulo256)
{
    EXPECT_EQ(Checksum({}), 0xFF);
    const std::vector<uint8_t> wraps{0xFF, 0x02};  // 0x101
    EXPECT_EQ(Checksum(wraps), 0xFE);
}

}  // namespace
}  // namespace seriallink
