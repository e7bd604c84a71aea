// terminal-sim and netlinker-host, the commands the README gives, exchanging a message
// each way over a pseudo-terminal.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "run_program.h"
#include "scratch_folder.h"

namespace {

using kit::testing::ProgramRun;
using kit::testing::RunProgram;

TEST(SerialLinkTools, SimulatorAndHostExchangeAMessageEachWay)
{
    kit::testing::ScratchFolder folder;
    const std::string port = folder.Path("port");
    ProgramRun simulator;
    std::thread network([&] {
        simulator = RunProgram(
            TERMINAL_SIM_PATH,
            {"--link", port, "--terminal", "7", "--message", "5:4:hello\\x10world", "--answers", "1"}, {}, 60);
    });
    for (int i = 0; i < 2000 && !std::filesystem::is_symlink(port); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const ProgramRun host = RunProgram(NETLINKER_HOST_PATH, {port, "5", "7", "--wait", "30"}, {}, 60);
    network.join();

    EXPECT_EQ(host.exitCode, 0) << host.output << host.errors;
    EXPECT_NE(host.output.find("message from 5 command 4: hello\\x10world\n"), std::string::npos) << host.output;
    EXPECT_EQ(simulator.exitCode, 0) << simulator.output << simulator.errors;
    EXPECT_NE(simulator.output.find("frame to 5 command 3 (14 bytes): ok hello\\x10world\n"), std::string::npos)
        << simulator.output;
    EXPECT_EQ(simulator.output.find("fault:"), std::string::npos) << simulator.output;
    EXPECT_FALSE(std::filesystem::exists(port)) << "the simulator leaves its link behind";
}

}  // namespace
