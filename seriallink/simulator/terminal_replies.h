// What a simulated terminal answers to a poll: its frames, sound or damaged on purpose,
// and what the host is expected to do about each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace seriallink::sim {

// A terminal's frame to the host (destination 0x0001). Its checksum is the host's rule
// for received frames: over the frame with every doubled 0x10 of the data counted once.
struct TerminalFrame {
    uint16_t source = 0;
    uint8_t command = 0;
    std::vector<uint8_t> data;
    std::optional<uint16_t> lengthField;  // the data's size unless set
    uint8_t checksumError = 0;            // added to the right checksum

    std::vector<uint8_t> Encode() const;
};

// The bytes of a sound reply from source with command and data.
std::vector<uint8_t> EncodeReply(uint16_t source, uint8_t command, std::vector<uint8_t> data);

// What the host must send after a reply before its next poll.
enum class HostResponse {
    kNone,         // nothing: the reply said there is nothing to send, or did not come
    kAcknowledge,  // command 8, then its answers to the message
    kReject,       // command 7
};

struct ScriptedReply {
    std::vector<uint8_t> bytes;  // sent in one go; empty for silence
    HostResponse expected = HostResponse::kNone;
    uint8_t messageCommand = 0;  // of an acknowledged message: 2 and 5 open an exchange

    // A sound message, to be acknowledged and answered.
    static ScriptedReply Message(uint16_t source, uint8_t command, std::vector<uint8_t> data);
    // Bytes the host must reject.
    static ScriptedReply Rejected(std::vector<uint8_t> bytes);
    // "Nothing to send" (command 9).
    static ScriptedReply Nothing(uint16_t source);
    // No answer to this poll at all.
    static ScriptedReply Silence();
    // Any bytes with the host's expected response stated.
    static ScriptedReply Raw(std::vector<uint8_t> bytes, HostResponse expected, uint8_t messageCommand = 0);
};

// Damage done to a frame's bytes.
std::vector<uint8_t> WithStrayByteBefore(std::vector<uint8_t> frame, uint8_t stray);
std::vector<uint8_t> WithoutFirst(std::vector<uint8_t> frame, size_t count);
std::vector<uint8_t> TruncatedTo(std::vector<uint8_t> frame, size_t count);

}  // namespace seriallink::sim
