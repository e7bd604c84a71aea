// Waiting on and writing to non-blocking descriptors with a deadline, shared by the
// link's port and the simulator's side of a pseudo-terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

namespace seriallink::platform {

using Clock = std::chrono::steady_clock;

// Waits for events on fd until the deadline; false on time-out, error or hang-up without them.
bool WaitFor(int fd, short events, Clock::time_point deadline);

// Writes every byte to the non-blocking fd, waiting while it takes nothing; false when the
// descriptor fails or takes nothing until the deadline.
bool WriteAllBy(int fd, std::span<const uint8_t> bytes, Clock::time_point deadline);

}  // namespace seriallink::platform
