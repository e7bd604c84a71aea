// Poll cycle and worker load of the link at the protocol's own pauses and time-outs,
// over a pseudo-terminal with simulated terminals: silent ones, ones with nothing to
// send, and one that sends a message at every poll for the application to answer. Each
// cycle is set against the protocol's minimum (the 15 ms pause, the time-outs, and the
// bytes exchanged at 57600 baud, 10 bits a byte); a pseudo-terminal moves bytes at no
// cost, so its floor, without the line time, is printed too.

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/link.h"
#include "platform/termios_port.h"
#include "simulator/terminal_network.h"

namespace {

using namespace seriallink;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Role = sim::TerminalNetwork::Role;

constexpr auto kWindow = 4s;
constexpr size_t kTerminals = 4;
constexpr size_t kMessageBytes = 32;

double LineMs(size_t bytes)
{
    return static_cast<double>(bytes) * 10.0 * 1000.0 / kNetLinker.baudRate;
}

size_t Polls(const sim::TerminalNetwork& network)
{
    size_t polls = 0;
    for (const auto& received : network.History()) {
        polls += received.role == Role::kPoll ? 1 : 0;
    }
    return polls;
}

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Scenario {
    const char* name;
    bool silent;
    bool messages;
    double minimumMs;   // per poll, line time included
    double ptyFloorMs;  // per poll, without line time
};

void Run(const Scenario& s)
{
    sim::PseudoTerminal line;
    sim::TerminalNetwork network(line);
    std::vector<uint16_t> addresses;
    for (uint16_t a = 1; a <= (s.messages ? 1 : kTerminals); ++a) {
        addresses.push_back(static_cast<uint16_t>(a + 10));
        if (s.silent) {
            network.AddSilentTerminal(addresses.back());
        } else {
            network.AddTerminal(addresses.back());
        }
    }
    if (s.messages) {
        for (int i = 0; i < 1000; ++i) {
            network.Queue(addresses[0],
                          sim::ScriptedReply::Message(addresses[0], 4, std::vector<uint8_t>(kMessageBytes, 'm')));
        }
    }
    network.Start();
    int error = 0;
    auto port = platform::TermiosPort::Open(line.Path(), kNetLinker.baudRate, error);
    if (!port) {
        std::printf("%s: cannot open the pseudo-terminal (errno %d)\n", s.name, error);
        return;
    }
    Link link(std::move(port), addresses, kNetLinker, kNetLinker.timing);
    if (link.Start(true) != 0) {
        std::printf("%s: cannot start the worker\n", s.name);
        return;
    }

    // The application: answers every message at once.
    std::atomic<bool> done{false};
    std::thread application([&] {
        std::vector<uint8_t> data(kFrameBufferSize);
        const std::vector<uint8_t> answer(kMessageBytes, 'a');
        while (!done) {
            uint16_t from = 0;
            uint8_t command = 0;
            int16_t length = 0;
            if (link.Read(&from, data.data(), &command, &length, 100) == kDone) {
                link.Write(from, answer.data(), 3, static_cast<int16_t>(answer.size()));
            }
        }
    });

    network.WaitUntil([](const sim::TerminalNetwork::Log& log) { return log.size() >= 8; }, 10s);
    const size_t polls0 = Polls(network);
    const auto cpu0 = link.WorkerCpuTime();
    const double process0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(kWindow);
    const size_t polls1 = Polls(network);
    const auto cpu1 = link.WorkerCpuTime();
    const double process1 = ProcessCpuSeconds();
    const auto t1 = Clock::now();
    done = true;
    application.join();
    link.Stop();
    network.Stop();

    const double wallMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
    const size_t polls = polls1 - polls0;
    const double cycleMs = polls > 0 ? wallMs / static_cast<double>(polls) : 0.0;
    const double workerPercent = std::chrono::duration<double, std::milli>(cpu1 - cpu0).count() / wallMs * 100.0;
    const double processPercent = (process1 - process0) * 1000.0 / wallMs * 100.0;
    std::printf("%-44s %7.2f ms per poll  (protocol minimum %6.2f ms; %6.2f ms without line time)  %5.1f%% over\n",
                s.name, cycleMs, s.minimumMs, s.ptyFloorMs, (cycleMs / s.ptyFloorMs - 1.0) * 100.0);
    std::printf("%-44s worker %.3f%% of a core, whole process %.3f%% (%zu polls in %.1f s)\n", "", workerPercent,
                processPercent, polls, wallMs / 1000.0);
}

}  // namespace

int main()
{
    const double pause = 15.0;
    const double header = 10.0;
    const size_t poll = kControlFrameSize + kNetLinker.pollFill;
    const size_t message = kControlFrameSize + kMessageBytes;
    const Scenario scenarios[] = {
        {"silent terminal (one header time-out)", true, false, pause + LineMs(poll) + header, pause + header},
        {"terminal with nothing to send (command 9)", false, false, pause + LineMs(poll + kControlFrameSize), pause},
        {"message of 32 bytes, acknowledged, answered", false, true,
         pause + LineMs(poll + message + kControlFrameSize + message), pause},
    };
    std::printf("netlinker poll cycle at 57600 baud, %zu terminals (the message case: one)\n", kTerminals);
    for (const Scenario& s : scenarios) {
        Run(s);
    }
    {
        sim::PseudoTerminal line;
        int error = 0;
        auto port = platform::TermiosPort::Open(line.Path(), kNetLinker.baudRate, error);
        if (!port) {
            std::printf("worker scheduling: cannot open the pseudo-terminal (errno %d)\n", error);
            return 1;
        }
        const std::vector<uint16_t> one{1};
        Link link(std::move(port), one, kNetLinker, kNetLinker.timing);
        if (link.Start(true) != 0) {
            std::printf("worker scheduling: cannot start the worker\n");
            return 1;
        }
        std::printf("worker scheduling: %s\n",
                    link.WorkerIsRealTime() ? "real-time (first in, first out)" : "ordinary (real-time not permitted)");
    }
    return 0;
}
