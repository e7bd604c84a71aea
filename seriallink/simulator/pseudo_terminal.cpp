#include "simulator/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/descriptor_io.h"

namespace seriallink::sim {

PseudoTerminal::PseudoTerminal()
{
    char name[128] = {};
    if (openpty(&controller_, &terminal_, name, nullptr, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    path_ = name;
    // Raw from the start, so that nothing the simulator sends is echoed or translated
    // before the link applies its own settings.
    termios raw{};
    tcgetattr(terminal_, &raw);
    cfmakeraw(&raw);
    tcsetattr(terminal_, TCSANOW, &raw);
    fcntl(controller_, F_SETFL, fcntl(controller_, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal()
{
    close(terminal_);
    close(controller_);
}

size_t PseudoTerminal::Read(std::span<uint8_t> bytes, std::chrono::milliseconds timeout)
{
    pollfd watch{controller_, POLLIN, 0};
    if (poll(&watch, 1, static_cast<int>(timeout.count())) <= 0 || (watch.revents & POLLIN) == 0) {
        return 0;
    }
    const ssize_t got = read(controller_, bytes.data(), bytes.size());
    return got > 0 ? static_cast<size_t>(got) : 0;
}

bool PseudoTerminal::Write(std::span<const uint8_t> bytes, std::chrono::milliseconds patience)
{
    return platform::WriteAllBy(controller_, bytes, platform::Clock::now() + patience);
}

}  // namespace seriallink::sim
