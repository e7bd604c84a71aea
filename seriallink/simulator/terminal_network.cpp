#include "simulator/terminal_network.h"

#include <array>

namespace seriallink::sim {
namespace {

constexpr uint8_t kPoll = 1;
constexpr uint8_t kEndExchange = 3;
constexpr uint8_t kReject = 7;
constexpr uint8_t kAcknowledge = 8;

bool IsControl(const HostFrame& frame, uint8_t command)
{
    return frame.command == command && frame.lengthField == 0 && frame.data.empty();
}

bool OpensExchange(uint8_t command)
{
    return command == 2 || command == 5;
}

}  // namespace

std::string Describe(const HostFrame& frame, TerminalNetwork::Role role)
{
    const std::string to = std::to_string(frame.destination);
    switch (role) {
        case TerminalNetwork::Role::kPoll:
            return "poll " + to;
        case TerminalNetwork::Role::kAcknowledge:
            return "ack " + to;
        case TerminalNetwork::Role::kReject:
            return "reject " + to;
        case TerminalNetwork::Role::kAnswer:
        case TerminalNetwork::Role::kUnexpected:
            break;
    }
    return "frame to " + to + " command " + std::to_string(frame.command) + " (" + std::to_string(frame.data.size()) +
           " bytes)";
}

TerminalNetwork::TerminalNetwork(PseudoTerminal& line, size_t pollFill) : line_(line), pollFill_(pollFill) {}

TerminalNetwork::~TerminalNetwork()
{
    Stop();
}

void TerminalNetwork::AddTerminal(uint16_t address)
{
    std::lock_guard lock(mutex_);
    terminals_[address].silent = false;
}

void TerminalNetwork::AddSilentTerminal(uint16_t address)
{
    std::lock_guard lock(mutex_);
    terminals_[address].silent = true;
}

void TerminalNetwork::Queue(uint16_t address, ScriptedReply reply)
{
    std::lock_guard lock(mutex_);
    terminals_[address].script.push_back(std::move(reply));
}

void TerminalNetwork::Start()
{
    thread_ = std::thread([this] { Run(); });
}

void TerminalNetwork::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

TerminalNetwork::Log TerminalNetwork::History() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<std::string> TerminalNetwork::FrameFaults() const
{
    std::lock_guard lock(mutex_);
    return frameFaults_;
}

std::vector<std::string> TerminalNetwork::SequenceFaults() const
{
    std::lock_guard lock(mutex_);
    return sequenceFaults_;
}

size_t TerminalNetwork::Queued(uint16_t address) const
{
    std::lock_guard lock(mutex_);
    const auto found = terminals_.find(address);
    return found == terminals_.end() ? 0 : found->second.script.size();
}

bool TerminalNetwork::WaitUntil(const std::function<bool(const Log&)>& done, std::chrono::milliseconds bound) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, bound, [&] { return done(received_); });
}

void TerminalNetwork::Run()
{
    std::array<uint8_t, 512> chunk{};
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
        }
        const size_t got = line_.Read(chunk, std::chrono::milliseconds(20));
        for (size_t i = 0; i < got; ++i) {
            std::vector<uint8_t> answer;
            switch (parser_.Feed(chunk[i])) {
                case HostFrameParser::Event::kNone:
                    break;
                case HostFrameParser::Event::kFill: {
                    std::lock_guard lock(mutex_);
                    if (received_.empty()) {
                        frameFaults_.push_back("fill before any frame");
                    } else {
                        ++received_.back().frame.fill;
                    }
                    break;
                }
                case HostFrameParser::Event::kStray: {
                    std::lock_guard lock(mutex_);
                    frameFaults_.push_back(parser_.TakeStray());
                    break;
                }
                case HostFrameParser::Event::kFrame:
                    answer = Take(parser_.TakeFrame());
                    break;
            }
            if (!answer.empty()) {
                line_.Write(answer);
            }
        }
    }
}

std::vector<uint8_t> TerminalNetwork::Take(HostFrame frame)
{
    std::vector<uint8_t> answer;
    std::unique_lock lock(mutex_);
    if (!received_.empty()) {
        const Received& previous = received_.back();
        const size_t fill = previous.role == Role::kPoll ? pollFill_ : 0;
        if (previous.frame.fill != fill) {
            frameFaults_.push_back(Describe(previous.frame, previous.role) + ": followed by " +
                                   std::to_string(previous.frame.fill) + " fill bytes, not " + std::to_string(fill));
        }
    }
    Received received{std::move(frame), Role::kUnexpected};
    const HostFrame& f = received.frame;
    const auto expectPoll = [&](const std::string& instead) {
        if (IsControl(f, kPoll)) {
            received.role = Role::kPoll;
            answer = AnswerPoll(f.destination);
        } else {
            sequenceFaults_.push_back(Describe(f, received.role) + " " + instead);
        }
    };
    switch (awaiting_) {
        case Awaiting::kPoll:
            expectPoll("where a poll was due");
            break;
        case Awaiting::kResponse: {
            const bool acknowledge = expected_ == HostResponse::kAcknowledge;
            if (f.destination == current_ && IsControl(f, acknowledge ? kAcknowledge : kReject)) {
                received.role = acknowledge ? Role::kAcknowledge : Role::kReject;
                awaiting_ = acknowledge ? Awaiting::kAnswers : Awaiting::kPoll;
            } else {
                const bool poll = IsControl(f, kPoll);
                sequenceFaults_.push_back(Describe(f, poll ? Role::kPoll : Role::kUnexpected) + " where " +
                                          (acknowledge ? "an acknowledgement" : "a rejection") + " to " +
                                          std::to_string(current_) + " was due");
                awaiting_ = Awaiting::kPoll;
                if (poll) {
                    received.role = Role::kPoll;
                    answer = AnswerPoll(f.destination);
                }
            }
            break;
        }
        case Awaiting::kAnswers:
            received.role = Role::kAnswer;
            if (!OpensExchange(messageCommand_) || f.command == kEndExchange) {
                awaiting_ = Awaiting::kPoll;
            }
            break;
    }
    for (const std::string& fault : f.faults) {
        frameFaults_.push_back(Describe(f, received.role) + ": " + fault);
    }
    received_.push_back(std::move(received));
    if (observer_) {
        observer_(received_.back());
    }
    lock.unlock();
    changed_.notify_all();
    return answer;
}

// Called with the mutex held.
std::vector<uint8_t> TerminalNetwork::AnswerPoll(uint16_t address)
{
    const auto found = terminals_.find(address);
    if (found == terminals_.end()) {
        sequenceFaults_.push_back("poll to " + std::to_string(address) + ", which no terminal has");
        return {};
    }
    Terminal& terminal = found->second;
    if (terminal.silent) {
        return {};
    }
    ScriptedReply reply = ScriptedReply::Nothing(address);
    if (!terminal.script.empty()) {
        reply = std::move(terminal.script.front());
        terminal.script.pop_front();
    }
    current_ = address;
    expected_ = reply.expected;
    messageCommand_ = reply.messageCommand;
    awaiting_ = reply.expected == HostResponse::kNone ? Awaiting::kPoll : Awaiting::kResponse;
    return std::move(reply.bytes);
}

}  // namespace seriallink::sim
