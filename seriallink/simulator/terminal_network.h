// A network of simulated terminals on the far side of a pseudo-terminal. Each terminal
// answers the host's polls to its address from its script of replies, or with "nothing
// to send" (command 9), or not at all when silent. Every frame the host sends is read and
// checked: its form (see HostFrameParser), the fill after a poll, and its place in the
// protocol (an acknowledgement after a sound message, a rejection after a damaged reply,
// the answers to a message, polls otherwise).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "simulator/host_frame_parser.h"
#include "simulator/pseudo_terminal.h"
#include "simulator/terminal_replies.h"

namespace seriallink::sim {

class TerminalNetwork {
public:
    enum class Role { kPoll, kAcknowledge, kReject, kAnswer, kUnexpected };
    struct Received {
        HostFrame frame;
        Role role = Role::kUnexpected;
    };
    using Log = std::vector<Received>;

    // pollFill: the 0xFF bytes the host sends after each poll.
    explicit TerminalNetwork(PseudoTerminal& line, size_t pollFill = 3);
    ~TerminalNetwork();
    TerminalNetwork(const TerminalNetwork&) = delete;
    TerminalNetwork& operator=(const TerminalNetwork&) = delete;

    // A terminal that answers "nothing to send" whenever its script is empty.
    void AddTerminal(uint16_t address);
    // A terminal that never answers.
    void AddSilentTerminal(uint16_t address);
    // The reply to one poll of address, after those already queued.
    void Queue(uint16_t address, ScriptedReply reply);
    // Called on the network's thread for every frame from the host; set before Start.
    void OnFrame(std::function<void(const Received&)> observer) { observer_ = std::move(observer); }

    void Start();
    void Stop();

    Log History() const;
    // Frames not well formed, and bytes between frames that are not fill.
    std::vector<std::string> FrameFaults() const;
    // Frames out of the protocol's order.
    std::vector<std::string> SequenceFaults() const;
    size_t Queued(uint16_t address) const;

    // Waits until done holds for the frames received so far; false when bound passes
    // first (a guard against a link that hangs, not a measure of speed).
    bool WaitUntil(const std::function<bool(const Log&)>& done,
                   std::chrono::milliseconds bound = std::chrono::seconds(20)) const;

private:
    enum class Awaiting { kPoll, kResponse, kAnswers };
    struct Terminal {
        bool silent = false;
        std::deque<ScriptedReply> script;
    };

    void Run();
    // Takes a complete frame; returns the bytes to send back, if any.
    std::vector<uint8_t> Take(HostFrame frame);
    std::vector<uint8_t> AnswerPoll(uint16_t address);

    PseudoTerminal& line_;
    const size_t pollFill_;
    std::function<void(const Received&)> observer_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::map<uint16_t, Terminal> terminals_;
    Log received_;
    std::vector<std::string> frameFaults_;
    std::vector<std::string> sequenceFaults_;
    Awaiting awaiting_ = Awaiting::kPoll;
    uint16_t current_ = 0;
    HostResponse expected_ = HostResponse::kNone;
    uint8_t messageCommand_ = 0;

    HostFrameParser parser_;
    bool stopping_ = false;
    std::thread thread_;
};

// "poll 5", "ack 5", "reject 5", "frame to 5 command 3 (2 bytes)".
std::string Describe(const HostFrame& frame, TerminalNetwork::Role role);

}  // namespace seriallink::sim
