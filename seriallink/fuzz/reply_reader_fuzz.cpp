// Arbitrary bytes from the line as a terminal's reply to a poll. The first two bytes
// choose the polled address; the rest is the line, silent once it runs out. The reader
// must stay inside the receive buffer, leave its fixed start alone, and call a reply
// good only when it meets every rule.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/byte_order.h"
#include "link/link_profile.h"
#include "link/reply_reader.h"

namespace {

using namespace seriallink;

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

class MemoryLine : public ByteReader {
public:
    MemoryLine(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool ReadByte(uint8_t& byte, std::chrono::milliseconds) override
    {
        if (read_ == size_) {
            return false;
        }
        byte = data_[read_++];
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t read_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    const uint16_t polled = ReadUint16BE(data);
    MemoryLine line(data + 2, size - 2);

    constexpr size_t kGuard = 32;
    std::array<uint8_t, kFrameBufferSize + kGuard> bytes{};
    bytes.fill(0xEE);
    const std::span<uint8_t, kFrameBufferSize> frame(bytes.data(), kFrameBufferSize);
    PrefillReceiveBuffer(frame);

    const Reply reply = ReadReply(line, polled, kNetLinker.highestCommand, kNetLinker.timing.reply, frame);

    for (size_t i = kFrameBufferSize; i < bytes.size(); ++i) {
        Check(bytes[i] == 0xEE);
    }
    Check(bytes[0] == 0x10 && bytes[1] == 0x02 && bytes[2] == 0x00 && bytes[3] == 0x01);
    Check(reply.size <= kFrameBufferSize);
    if (reply.outcome == Reply::Outcome::kGood) {
        const uint16_t length = ReadUint16BE(bytes.data() + kLengthAt);
        Check(reply.fault == Reply::Fault::kNone);
        Check(kDataAt + length + 3 == reply.size);
        Check(ReadUint16BE(bytes.data() + kSourceAt) == polled);
        Check(bytes[kCommandAt] >= 1 && bytes[kCommandAt] <= kNetLinker.highestCommand);
        Check(bytes[reply.size - 3] == kDle && bytes[reply.size - 2] == kEtx);
        Check(Checksum(std::span(bytes).first(reply.size - 1)) == bytes[reply.size - 1]);
    } else {
        Check(reply.outcome == Reply::Outcome::kSilent || reply.fault != Reply::Fault::kNone);
    }
    return 0;
}
