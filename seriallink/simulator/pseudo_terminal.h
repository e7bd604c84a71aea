// A pseudo-terminal pair: the link opens the terminal side by its path, the simulator
// works the controlling side. The terminal side stays open here too, so the pair lives
// on while the link opens and closes it.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace seriallink::sim {

class PseudoTerminal {
public:
    // Throws std::system_error when no pair can be made.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The terminal side's device path, for the link to open.
    const std::string& Path() const { return path_; }
    // The terminal side as opened here, to look at its settings.
    int TerminalFd() const { return terminal_; }

    // Reads what the link sent, up to bytes.size(); 0 when nothing came within timeout.
    size_t Read(std::span<uint8_t> bytes, std::chrono::milliseconds timeout);
    // Sends every byte to the link unless nothing can be sent for `patience`.
    bool Write(std::span<const uint8_t> bytes, std::chrono::milliseconds patience = std::chrono::seconds(2));

private:
    int controller_ = -1;
    int terminal_ = -1;
    std::string path_;
};

}  // namespace seriallink::sim
