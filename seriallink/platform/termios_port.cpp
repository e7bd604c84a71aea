#include "platform/termios_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "platform/descriptor_io.h"

namespace seriallink::platform {
namespace {

bool SpeedFor(uint32_t baudRate, speed_t& speed)
{
    switch (baudRate) {
        case 19200:
            speed = B19200;
            return true;
        case 57600:
            speed = B57600;
            return true;
        default:
            return false;
    }
}

}  // namespace

std::unique_ptr<TermiosPort> TermiosPort::Open(const std::string& device, uint32_t baudRate, int& error)
{
    speed_t speed{};
    if (!SpeedFor(baudRate, speed)) {
        error = EINVAL;
        return nullptr;
    }
    // Non-blocking, so that every read waits in poll with its own time-out.
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    auto port = std::make_unique<TermiosPort>(OpenKey{}, fd, speed);
    // Exclusive use: other programs that lock the device find it taken, and further
    // opens are refused to all but the administrator.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
        return nullptr;
    }
    error = port->ApplySettings();
    if (error != 0) {
        return nullptr;
    }
    ioctl(fd, TIOCEXCL);
    return port;
}

TermiosPort::~TermiosPort()
{
    close(fd_);
}

int TermiosPort::ApplySettings()
{
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0) {
        return errno;
    }
    // Raw bytes both ways: no translation, no stripping, no software or hardware flow
    // control, no signals or echo; the receiver on and the modem status ignored.
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR |
                                               ICRNL | IXON | IXOFF | IXANY);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (cfsetispeed(&settings, speed_) != 0 || cfsetospeed(&settings, speed_) != 0 ||
        tcsetattr(fd_, TCSANOW, &settings) != 0) {
        return errno;
    }
    return 0;
}

bool TermiosPort::ReadByte(uint8_t& byte, std::chrono::milliseconds timeout)
{
    // Whatever has arrived is taken in one read and handed out a byte at a time: the link
    // sees one-byte reads with their time-outs, the line costs one system call a burst.
    if (readAheadNext_ == readAheadEnd_) {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            const ssize_t got = read(fd_, readAhead_.data(), readAhead_.size());
            if (got > 0) {
                readAheadNext_ = 0;
                readAheadEnd_ = static_cast<size_t>(got);
                break;
            }
            if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                return false;
            }
            if (!WaitFor(fd_, POLLIN, deadline)) {
                return false;
            }
        }
    }
    byte = readAhead_[readAheadNext_++];
    return true;
}

void TermiosPort::Purge()
{
    readAheadNext_ = readAheadEnd_ = 0;
    tcflush(fd_, TCIOFLUSH);
}

void TermiosPort::SetModemLine(int line, bool raised)
{
    // A device without modem lines (a pseudo-terminal) refuses; nothing depends on them.
    ioctl(fd_, raised ? TIOCMBIS : TIOCMBIC, &line);
}

void TermiosPort::SetDtr(bool raised)
{
    SetModemLine(TIOCM_DTR, raised);
}

void TermiosPort::SetRts(bool raised)
{
    SetModemLine(TIOCM_RTS, raised);
}

bool TermiosPort::Send(std::span<const uint8_t> bytes)
{
    // Enough for the largest frame at the line's speed, with room for a slow machine;
    // a port that takes nothing for this long is not sending.
    if (!WriteAllBy(fd_, bytes, Clock::now() + std::chrono::seconds(2))) {
        return false;
    }
    while (tcdrain(fd_) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

}  // namespace seriallink::platform
