// The Linux serial port under the link, on a pseudo-terminal: how it is opened, the line
// settings it applies, and bytes passing both ways untouched.

#include "platform/termios_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>

#include <cerrno>
#include <vector>

#include "simulator/pseudo_terminal.h"

namespace seriallink::platform {
namespace {

using namespace std::chrono_literals;

void ExpectLinkSettings(int fd)
{
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    EXPECT_EQ(cfgetispeed(&t), B57600);
    EXPECT_EQ(cfgetospeed(&t), B57600);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), static_cast<tcflag_t>(CREAD | CLOCAL));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ISTRIP | INLCR | IGNCR | ICRNL | PARMRK | BRKINT), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
}

TEST(TermiosPort, OpensRawAt57600EightNoneOneWithoutFlowControl)
{
    sim::PseudoTerminal line;
    termios cooked{};
    ASSERT_EQ(tcgetattr(line.TerminalFd(), &cooked), 0);
    cooked.c_lflag |= ICANON | ECHO;
    cooked.c_iflag |= IXON | ICRNL;
    cooked.c_oflag |= OPOST;
    cooked.c_cflag |= CRTSCTS | PARENB;
    cfsetspeed(&cooked, B9600);
    ASSERT_EQ(tcsetattr(line.TerminalFd(), TCSANOW, &cooked), 0);

    int error = -1;
    auto port = TermiosPort::Open(line.Path(), 57600, error);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(error, 0);
    ExpectLinkSettings(line.TerminalFd());

    cooked.c_cflag |= CRTSCTS | CSTOPB;
    cfsetspeed(&cooked, B19200);
    ASSERT_EQ(tcsetattr(line.TerminalFd(), TCSANOW, &cooked), 0);
    EXPECT_EQ(port->ApplySettings(), 0);
    ExpectLinkSettings(line.TerminalFd());
}

TEST(TermiosPort, ReportsTheErrnoOfTheStepThatFailed)
{
    sim::PseudoTerminal line;
    int error = 0;
    EXPECT_EQ(TermiosPort::Open("/dev/no-such-serial-port", 57600, error), nullptr);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(TermiosPort::Open("/dev/null", 57600, error), nullptr);
    EXPECT_EQ(error, ENOTTY);
    EXPECT_EQ(TermiosPort::Open(line.Path(), 12345, error), nullptr);
    EXPECT_EQ(error, EINVAL);

    auto first = TermiosPort::Open(line.Path(), 57600, error);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(TermiosPort::Open(line.Path(), 57600, error), nullptr);
    EXPECT_EQ(error, EBUSY);
    first.reset();
    EXPECT_NE(TermiosPort::Open(line.Path(), 57600, error), nullptr) << "the port stays taken after closing";
}

TEST(TermiosPort, PassesEveryByteValueBothWaysUnchanged)
{
    sim::PseudoTerminal line;
    int error = 0;
    auto port = TermiosPort::Open(line.Path(), 57600, error);
    ASSERT_NE(port, nullptr);
    port->SetDtr(true);  // no modem lines on a pseudo-terminal: refused quietly
    port->SetRts(true);
    port->Purge();

    std::vector<uint8_t> all(256);
    for (size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<uint8_t>(i);
    }
    ASSERT_TRUE(port->Send(all));
    std::vector<uint8_t> got;
    std::vector<uint8_t> chunk(512);
    while (got.size() < all.size()) {
        const size_t n = line.Read(chunk, 5s);
        ASSERT_GT(n, 0u) << "the bytes sent did not all arrive";
        got.insert(got.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
    }
    EXPECT_EQ(got, all);

    ASSERT_TRUE(line.Write(all));
    for (size_t i = 0; i < all.size(); ++i) {
        uint8_t byte = 0;
        ASSERT_TRUE(port->ReadByte(byte, 5s)) << "byte " << i;
        EXPECT_EQ(byte, all[i]);
    }
    uint8_t none = 0;
    EXPECT_FALSE(port->ReadByte(none, 1ms));
}

TEST(TermiosPort, PurgeDropsWhatWaitsToBeRead)
{
    sim::PseudoTerminal line;
    int error = 0;
    auto port = TermiosPort::Open(line.Path(), 57600, error);
    ASSERT_NE(port, nullptr);
    const std::vector<uint8_t> stale{1, 2, 3};
    ASSERT_TRUE(line.Write(stale));
    uint8_t byte = 0;
    ASSERT_TRUE(port->ReadByte(byte, 5s));  // the bytes have arrived
    port->Purge();
    EXPECT_FALSE(port->ReadByte(byte, 1ms));
}

}  // namespace
}  // namespace seriallink::platform
