// A link over a real pseudo-terminal with the simulated terminal network on the other
// side, the application's calls made by the test itself. Time-outs are wider than the
// protocol's so that a busy machine cannot make a prompt terminal look silent; what the
// tests judge is the frames exchanged.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/link.h"
#include "platform/termios_port.h"
#include "simulator/terminal_network.h"

namespace seriallink::testing {

using namespace std::chrono_literals;

inline constexpr LinkTiming kWideTiming{15ms, ReplyTimeouts{300ms, 600ms}};

// What the worker asked of the port, in order: "apply", "poll 5", "ack 5", "send 3 to 5".
class Journal {
public:
    void Note(std::string entry)
    {
        std::lock_guard lock(mutex_);
        entries_.push_back(std::move(entry));
    }
    std::vector<std::string> Entries() const
    {
        std::lock_guard lock(mutex_);
        return entries_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

class RecordingPort : public SerialPort {
public:
    RecordingPort(std::unique_ptr<SerialPort> port, std::shared_ptr<Journal> journal)
        : port_(std::move(port)), journal_(std::move(journal))
    {
    }
    bool ReadByte(uint8_t& byte, std::chrono::milliseconds timeout) override { return port_->ReadByte(byte, timeout); }
    void Purge() override { port_->Purge(); }
    void SetDtr(bool raised) override { port_->SetDtr(raised); }
    void SetRts(bool raised) override { port_->SetRts(raised); }
    bool Send(std::span<const uint8_t> bytes) override
    {
        if (bytes.size() >= kControlFrameSize) {
            const unsigned to = static_cast<unsigned>(bytes[2] << 8 | bytes[3]);
            switch (bytes[kCommandAt]) {
                case command::kPoll:
                    journal_->Note("poll " + std::to_string(to));
                    break;
                default:
                    journal_->Note("send " + std::to_string(bytes[kCommandAt]) + " to " + std::to_string(to));
                    break;
            }
        }
        return port_->Send(bytes);
    }
    int ApplySettings() override
    {
        journal_->Note("apply");
        return port_->ApplySettings();
    }

private:
    std::unique_ptr<SerialPort> port_;
    std::shared_ptr<Journal> journal_;
};

struct Message {
    int32_t result = -1;
    uint16_t address = 0;
    uint8_t command = 0;
    std::vector<uint8_t> data;
};

class LinkOnPty : public ::testing::Test {
protected:
    using Role = sim::TerminalNetwork::Role;
    using Log = sim::TerminalNetwork::Log;

    // Starts the network and a link polling addresses over the pseudo-terminal.
    void Open(const std::vector<uint16_t>& addresses)
    {
        int error = 0;
        auto port = platform::TermiosPort::Open(line_.Path(), kNetLinker.baudRate, error);
        ASSERT_NE(port, nullptr) << "error " << error;
        network_.Start();
        link_ = std::make_unique<Link>(std::make_unique<RecordingPort>(std::move(port), journal_), addresses,
                                       kNetLinker, kWideTiming);
        ASSERT_EQ(link_->Start(false), 0);
    }

    void TearDown() override
    {
        link_.reset();
        network_.Stop();
        EXPECT_EQ(network_.FrameFaults(), std::vector<std::string>{});
    }

    // The next message, waiting as long as a hung link may take to show.
    Message Next(uint32_t timeoutMs = 20000)
    {
        Message m;
        std::vector<uint8_t> buffer(kFrameBufferSize, 0xEE);
        int16_t length = -1;
        m.result = link_->Read(&m.address, buffer.data(), &m.command, &length, timeoutMs);
        if (m.result == kDone) {
            m.data.assign(buffer.begin(), buffer.begin() + length);
        }
        return m;
    }

    bool WaitFor(const std::function<bool(const Log&)>& done) { return network_.WaitUntil(done); }

    static size_t Count(const Log& log, Role role, uint16_t to)
    {
        size_t count = 0;
        for (const auto& received : log) {
            count += received.role == role && received.frame.destination == to ? 1 : 0;
        }
        return count;
    }

    // The last answer the terminal at `to` received; polling goes on after it, so the
    // answer need not be the last frame of the log.
    static sim::HostFrame LastAnswer(const Log& log, uint16_t to)
    {
        for (auto received = log.rbegin(); received != log.rend(); ++received) {
            if (received->role == Role::kAnswer && received->frame.destination == to) {
                return received->frame;
            }
        }
        ADD_FAILURE() << "no answer reached terminal " << to;
        return {};
    }

    static std::vector<std::string> Described(const Log& log)
    {
        std::vector<std::string> lines;
        for (const auto& received : log) {
            lines.push_back(sim::Describe(received.frame, received.role));
        }
        return lines;
    }

    sim::PseudoTerminal line_;
    sim::TerminalNetwork network_{line_};
    std::shared_ptr<Journal> journal_ = std::make_shared<Journal>();
    std::unique_ptr<Link> link_;
};

}  // namespace seriallink::testing
