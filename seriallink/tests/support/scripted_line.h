// A receive line in memory: the bytes a terminal sent, then silence. Every read and the
// time-out it asked for are noted.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <vector>

#include "link/serial_port.h"

namespace seriallink::testing {

class ScriptedLine : public ByteReader {
public:
    explicit ScriptedLine(const std::vector<uint8_t>& bytes) : bytes_(bytes.begin(), bytes.end()) {}

    bool ReadByte(uint8_t& byte, std::chrono::milliseconds timeout) override
    {
        timeouts.push_back(timeout);
        if (bytes_.empty()) {
            return false;
        }
        byte = bytes_.front();
        bytes_.pop_front();
        return true;
    }

    size_t Left() const { return bytes_.size(); }

    std::vector<std::chrono::milliseconds> timeouts;  // one per read, in order

private:
    std::deque<uint8_t> bytes_;
};

}  // namespace seriallink::testing
