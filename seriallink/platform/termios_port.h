// The link's serial port on Linux: a terminal device in raw mode, 8N1 without flow
// control, its modem lines under the link's control.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "link/serial_port.h"

namespace seriallink::platform {

class TermiosPort final : public SerialPort {
public:
    // Opens the device for reading and writing, for this process alone, and applies the
    // line settings at baudRate; null with error set to the errno value of the failing step.
    static std::unique_ptr<TermiosPort> Open(const std::string& device, uint32_t baudRate, int& error);

    // Only Open makes ports; it takes ownership of fd.
    class OpenKey {
        friend class TermiosPort;
        OpenKey() = default;
    };
    TermiosPort(OpenKey, int fd, unsigned speed) : fd_(fd), speed_(speed) {}
    ~TermiosPort() override;
    TermiosPort(const TermiosPort&) = delete;
    TermiosPort& operator=(const TermiosPort&) = delete;

    bool ReadByte(uint8_t& byte, std::chrono::milliseconds timeout) override;
    void Purge() override;
    void SetDtr(bool raised) override;
    void SetRts(bool raised) override;
    bool Send(std::span<const uint8_t> bytes) override;
    int ApplySettings() override;

private:
    void SetModemLine(int line, bool raised);

    const int fd_;
    const unsigned speed_;
    // Bytes read from the device and not yet handed to the link.
    std::array<uint8_t, 256> readAhead_{};
    size_t readAheadNext_ = 0;
    size_t readAheadEnd_ = 0;
};

}  // namespace seriallink::platform
