#include "platform/descriptor_io.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace seriallink::platform {
namespace {

int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

bool WaitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd watch{fd, events, 0};
        const int ready = poll(&watch, 1, RemainingMs(deadline));
        if (ready > 0) {
            return (watch.revents & events) != 0;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

bool WriteAllBy(int fd, std::span<const uint8_t> bytes, Clock::time_point deadline)
{
    while (!bytes.empty()) {
        const ssize_t put = write(fd, bytes.data(), bytes.size());
        if (put > 0) {
            bytes = bytes.subspan(static_cast<size_t>(put));
            continue;
        }
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0 && errno != EAGAIN) {
            return false;
        }
        if (!WaitFor(fd, POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

}  // namespace seriallink::platform
