// The reader driver's I/O-control requests and pipes. Codes are device type 0x22,
// any access: function 0x814 in-direct (write), 0x813 out-direct (read), 0x80C
// in-direct (reset).
#pragma once

#include <cstdint>

namespace kestrix {

inline constexpr uint32_t kWritePipeRequest = 0x222051;  // input: pipe number; output: a command packet
inline constexpr uint32_t kReadPipeRequest = 0x22204E;   // input: pipe number; output: receive area
inline constexpr uint32_t kResetPipeRequest = 0x222031;  // no buffers

inline constexpr uint32_t kCommandPipe = 0;  // command packets out
inline constexpr uint32_t kReplyPipe = 1;    // short replies in
inline constexpr uint32_t kFramePipe = 2;    // frame data in

inline constexpr uint32_t kPipeNumberSize = 4;  // 32-bit little-endian

}  // namespace kestrix
