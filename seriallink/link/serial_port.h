// What the link needs from a serial port. The worker drives the line only through these
// calls, so its logic runs the same over a real port, a pseudo-terminal or a test double.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

namespace seriallink {

// The receive side of the line: one byte at a time, each with its own time-out.
class ByteReader {
public:
    virtual ~ByteReader() = default;
    // False when no byte arrived within timeout, or the port failed.
    virtual bool ReadByte(uint8_t& byte, std::chrono::milliseconds timeout) = 0;
};

class SerialPort : public ByteReader {
public:
    // Drops whatever waits in either direction.
    virtual void Purge() = 0;
    // Modem lines; a port without them ignores the request.
    virtual void SetDtr(bool raised) = 0;
    virtual void SetRts(bool raised) = 0;
    // Sends every byte and returns once the transmit buffer is empty; false when the
    // port failed or the bytes could not leave.
    virtual bool Send(std::span<const uint8_t> bytes) = 0;
    // Writes the line settings to the port again; 0 or the errno value.
    virtual int ApplySettings() = 0;
};

}  // namespace seriallink
