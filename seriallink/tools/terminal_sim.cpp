// terminal-sim: a network of simulated terminals behind a pseudo-terminal, for trying a
// host program against the link without a cable. It prints the terminal side's device
// (and makes --link PATH a symbolic link to it), answers the host's polls, sends the
// messages given with --message when their terminal is polled, and prints every frame
// the host sends. It ends after --answers N frames of the application (any frame but a
// poll, acknowledgement or rejection), or on a signal; the exit status is 1 when a frame
// from the host was not well formed.

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "simulator/terminal_network.h"
#include "tools/text_escapes.h"

namespace {

using seriallink::sim::PseudoTerminal;
using seriallink::sim::ScriptedReply;
using seriallink::sim::TerminalNetwork;

std::atomic<bool> interrupted{false};

void Interrupt(int)
{
    interrupted = true;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: terminal-sim [--link PATH] [--terminal ADDR]... [--silent ADDR]...\n"
                 "                    [--message ADDR:COMMAND:TEXT]... [--answers N]\n"
                 "  TEXT takes \\xHH for any byte and \\\\ for a backslash\n");
    return 2;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

struct Message {
    uint16_t address = 0;
    uint8_t command = 0;
    std::vector<uint8_t> data;
};

bool ParseMessage(std::string_view text, Message& message)
{
    const size_t first = text.find(':');
    const size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) {
        return false;
    }
    unsigned command = 0;
    if (!ParseNumber(text.substr(0, first), message.address) ||
        !ParseNumber(text.substr(first + 1, second - first - 1), command) || command > 255) {
        return false;
    }
    message.command = static_cast<uint8_t>(command);
    auto data = seriallink::tools::Unescape(text.substr(second + 1));
    if (!data) {
        return false;
    }
    message.data = std::move(*data);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string linkPath;
    std::vector<uint16_t> terminals;
    std::vector<uint16_t> silent;
    std::vector<Message> messages;
    size_t answers = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (i + 1 >= argc) {
            return Usage();
        }
        const std::string_view value = argv[++i];
        uint16_t address = 0;
        Message message;
        if (option == "--link") {
            linkPath = value;
        } else if (option == "--terminal" && ParseNumber(value, address)) {
            terminals.push_back(address);
        } else if (option == "--silent" && ParseNumber(value, address)) {
            silent.push_back(address);
        } else if (option == "--message" && ParseMessage(value, message)) {
            messages.push_back(std::move(message));
        } else if (option == "--answers" && ParseNumber(value, answers)) {
        } else {
            return Usage();
        }
    }

    PseudoTerminal line;
    TerminalNetwork network(line);
    for (const uint16_t address : terminals) {
        network.AddTerminal(address);
    }
    for (const uint16_t address : silent) {
        network.AddSilentTerminal(address);
    }
    for (Message& message : messages) {
        network.AddTerminal(message.address);
        network.Queue(message.address, ScriptedReply::Message(message.address, message.command, message.data));
    }
    network.OnFrame([](const TerminalNetwork::Received& received) {
        std::string line = Describe(received.frame, received.role);
        if (received.role == TerminalNetwork::Role::kAnswer || received.role == TerminalNetwork::Role::kUnexpected) {
            line += ": " + seriallink::tools::Escape(received.frame.data.data(), received.frame.data.size());
        }
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });

    if (!linkPath.empty()) {
        std::error_code ignored;
        if (std::filesystem::is_symlink(linkPath, ignored)) {
            std::filesystem::remove(linkPath, ignored);
        }
        if (symlink(line.Path().c_str(), linkPath.c_str()) != 0) {
            std::perror(linkPath.c_str());
            return 1;
        }
    }
    std::signal(SIGINT, Interrupt);
    std::signal(SIGTERM, Interrupt);
    std::printf("port %s\n", line.Path().c_str());
    std::fflush(stdout);

    network.Start();
    const auto answered = [&](const TerminalNetwork::Log& log) {
        size_t count = 0;
        for (const auto& received : log) {
            count +=
                received.role == TerminalNetwork::Role::kAnswer || received.role == TerminalNetwork::Role::kUnexpected
                    ? 1
                    : 0;
        }
        return interrupted || (answers > 0 && count >= answers);
    };
    while (!network.WaitUntil(answered, std::chrono::milliseconds(100))) {
    }
    network.Stop();
    if (!linkPath.empty()) {
        unlink(linkPath.c_str());
    }

    int status = 0;
    for (const std::string& fault : network.FrameFaults()) {
        std::printf("fault: %s\n", fault.c_str());
        status = 1;
    }
    for (const std::string& fault : network.SequenceFaults()) {
        std::printf("out of order: %s\n", fault.c_str());
    }
    return status;
}
