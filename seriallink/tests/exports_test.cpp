// libnetlinker.so as a host program meets it: loaded with dlopen, its five functions
// found by name and nothing else exported, then a link opened through them over a
// pseudo-terminal, at the protocol's own time-outs, with messages going both ways.
//
// The link is one per process and has no close call, so only the last test opens it;
// the ones before it rely on the link not being open.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "export_table.h"
#include "simulator/terminal_network.h"

namespace {

using seriallink::sim::ScriptedReply;
using seriallink::sim::TerminalNetwork;

using AbrePorta = int32_t (*)(const char*, uint16_t, const uint16_t*);
using EscrevePorta = int32_t (*)(uint16_t, const uint8_t*, uint8_t, int16_t);
using LePorta = int32_t (*)(uint16_t*, uint8_t*, uint8_t*, int16_t*, uint32_t);
using AtualizaPorta = int32_t (*)();
using ResetRede = void (*)();

struct Library {
    Library() : handle(dlopen(NETLINKER_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL), dlclose)
    {
        if (handle) {
            abre = reinterpret_cast<AbrePorta>(dlsym(handle.get(), "_AbrePorta"));
            escreve = reinterpret_cast<EscrevePorta>(dlsym(handle.get(), "_EscrevePorta"));
            le = reinterpret_cast<LePorta>(dlsym(handle.get(), "_LePorta"));
            atualiza = reinterpret_cast<AtualizaPorta>(dlsym(handle.get(), "_AtualizaPorta"));
            reset = reinterpret_cast<ResetRede>(dlsym(handle.get(), "_ResetRede"));
        }
    }
    bool Complete() const { return abre && escreve && le && atualiza && reset; }

    std::unique_ptr<void, int (*)(void*)> handle;
    AbrePorta abre = nullptr;
    EscrevePorta escreve = nullptr;
    LePorta le = nullptr;
    AtualizaPorta atualiza = nullptr;
    ResetRede reset = nullptr;
};

// The library stays loaded for the whole process, as a host keeps it: its link runs
// until the process ends.
Library& Loaded()
{
    static Library library;
    return library;
}

TEST(NetlinkerExports, ExactlyTheFivePublishedFunctions)
{
    const std::set<std::string> published = kit::testing::ReadSymbolList(NETLINKER_EXPORT_LIST);
    EXPECT_EQ(published,
              (std::set<std::string>{"_AbrePorta", "_EscrevePorta", "_LePorta", "_AtualizaPorta", "_ResetRede"}));
    EXPECT_EQ(kit::testing::ExportedSymbols(NETLINKER_LIBRARY_PATH), published);
    EXPECT_EQ(kit::testing::UnresolvedSymbols(NETLINKER_LIBRARY_PATH, published), std::set<std::string>{});
    ASSERT_NE(Loaded().handle, nullptr) << dlerror();
    EXPECT_TRUE(Loaded().Complete());
}

TEST(NetlinkerExports, RefuseWhatCannotBeOpenedAndAnswerSafelyBeforeAnyOpen)
{
    Library& lib = Loaded();
    ASSERT_TRUE(lib.Complete());
    const std::vector<uint16_t> addresses(33, 5);
    EXPECT_EQ(lib.abre(nullptr, 1, addresses.data()), EINVAL);
    EXPECT_EQ(lib.abre("/dev/ptmx", 0, addresses.data()), EINVAL);
    EXPECT_EQ(lib.abre("/dev/ptmx", 1, nullptr), EINVAL);
    EXPECT_EQ(lib.abre("/dev/ptmx", 33, addresses.data()), EINVAL);
    EXPECT_EQ(lib.abre("/dev/no-such-serial-port", 32, addresses.data()), ENOENT);
    EXPECT_EQ(lib.abre("/dev/null", 1, addresses.data()), ENOTTY);

    EXPECT_EQ(lib.atualiza(), EBADF);
    const uint8_t data[1] = {'x'};
    EXPECT_EQ(lib.escreve(5, data, 3, 1), 1);
    uint16_t address = 77;
    uint8_t command = 77;
    int16_t length = 77;
    uint8_t buffer[8] = {};
    EXPECT_EQ(lib.le(&address, buffer, &command, &length, 0), 1);
    EXPECT_EQ(lib.le(&address, buffer, &command, &length, 50), 1);
    EXPECT_EQ(address, 77);
    EXPECT_EQ(command, 77);
    EXPECT_EQ(length, 77);
    lib.reset();
}

bool IsAnswer(const TerminalNetwork::Received& received, const std::vector<uint8_t>& data)
{
    return received.frame.destination == 5 && received.frame.command == 3 && received.frame.data == data;
}

TEST(NetlinkerExports, CarryMessagesBothWaysOverAPseudoTerminal)
{
    Library& lib = Loaded();
    ASSERT_TRUE(lib.Complete());
    seriallink::sim::PseudoTerminal line;
    TerminalNetwork network(line);
    const std::vector<uint8_t> question{'h', 'i', 0x10, '?'};
    network.AddTerminal(5);
    network.Queue(5, ScriptedReply::Message(5, 4, question));
    network.Start();

    const uint16_t addresses[] = {5};
    ASSERT_EQ(lib.abre(line.Path().c_str(), 1, addresses), 0);
    EXPECT_EQ(lib.abre(line.Path().c_str(), 1, addresses), EBUSY);
    EXPECT_EQ(lib.atualiza(), 0);
    lib.reset();

    // At the protocol's 10 ms a busy machine may deliver the message late, and then more
    // than once; every message is answered, and the one asked about must come.
    const std::vector<uint8_t> answer{'o', 'k', 0x10};
    bool asked = false;
    for (int attempt = 0; attempt < 4 && !asked; ++attempt) {
        uint16_t from = 0;
        uint8_t command = 0;
        int16_t length = 0;
        std::vector<uint8_t> data(4096);
        ASSERT_EQ(lib.le(&from, data.data(), &command, &length, 20000), 0);
        data.resize(static_cast<size_t>(length));
        asked = from == 5 && command == 4 && data == question;
        ASSERT_EQ(lib.escreve(from, answer.data(), 3, static_cast<int16_t>(answer.size())), 0);
    }
    ASSERT_TRUE(asked);
    ASSERT_TRUE(network.WaitUntil([&](const TerminalNetwork::Log& log) {
        for (const auto& received : log) {
            if (IsAnswer(received, answer)) {
                return true;
            }
        }
        return false;
    }));
    network.Stop();
    EXPECT_EQ(network.FrameFaults(), std::vector<std::string>{});
}

}  // namespace
