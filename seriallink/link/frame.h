// The link frame, the same in both directions:
//   DLE STX | destination (2) | source (2) | command | length (2) | data | DLE ETX | checksum
// with every 0x10 of the data sent twice and the length counting the data before doubling.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace seriallink {

inline constexpr uint8_t kDle = 0x10;
inline constexpr uint8_t kStx = 0x02;
inline constexpr uint8_t kEtx = 0x03;

inline constexpr uint16_t kHostAddress = 0x0001;

// Both frame buffers of the link hold 4096 bytes.
inline constexpr size_t kFrameBufferSize = 4096;

// Byte offsets of the fields.
inline constexpr size_t kDestinationAt = 2;
inline constexpr size_t kSourceAt = 4;
inline constexpr size_t kCommandAt = 6;
inline constexpr size_t kLengthAt = 7;
inline constexpr size_t kDataAt = 9;

// A frame without data: header, DLE ETX, checksum.
inline constexpr size_t kControlFrameSize = 12;

// Data the transmit buffer holds in the worst case, every byte a doubled 0x10.
inline constexpr size_t kMaxSendData = 2041;
// Data the receive buffer holds beside the header, DLE ETX and the checksum.
inline constexpr size_t kMaxReceiveData = kFrameBufferSize - kDataAt - 3;

namespace command {
inline constexpr uint8_t kPoll = 1;
inline constexpr uint8_t kOpenExchange = 2;
inline constexpr uint8_t kEndExchange = 3;
inline constexpr uint8_t kOpenExchangeAlso = 5;
inline constexpr uint8_t kReject = 7;
inline constexpr uint8_t kAcknowledge = 8;
inline constexpr uint8_t kNothingToSend = 9;
}  // namespace command

// 0xFF minus the sum of the bytes, modulo 256.
uint8_t Checksum(std::span<const uint8_t> bytes);

// A poll, rejection or acknowledgement from the host to a terminal.
std::array<uint8_t, kControlFrameSize> ControlFrame(uint16_t destination, uint8_t command);

// Builds a host frame for destination into out and returns its size, or 0 when the data
// is longer than kMaxSendData. The checksum covers the bytes as sent, both copies of a
// doubled 0x10 included.
size_t BuildHostFrame(std::span<uint8_t, kFrameBufferSize> out, uint16_t destination, uint8_t command,
                      std::span<const uint8_t> data);

}  // namespace seriallink
