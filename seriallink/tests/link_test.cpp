// The link's worker and the application's calls over a real pseudo-terminal, with the
// simulated terminals answering on the other side. Behaviour is judged by the frames
// the terminals receive; waits are bounded only to catch a link that hangs.

#include <gtest/gtest.h>
#include <termios.h>

#include <functional>
#include <numeric>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "simulator/terminal_replies.h"
#include "support/link_on_pty.h"

namespace seriallink::testing {
namespace {

using sim::HostResponse;
using sim::ScriptedReply;
using sim::TerminalFrame;

std::vector<uint8_t> Frame(uint16_t source, uint8_t command, std::vector<uint8_t> data)
{
    return sim::EncodeReply(source, command, std::move(data));
}

std::vector<uint8_t> Text(const std::string& text)
{
    return {text.begin(), text.end()};
}

// The frames received from index `from` on.
std::vector<std::string> DescribedFrom(const sim::TerminalNetwork::Log& log, size_t from)
{
    std::vector<std::string> lines;
    for (size_t i = from; i < log.size(); ++i) {
        lines.push_back(sim::Describe(log[i].frame, log[i].role));
    }
    return lines;
}

using Links = LinkOnPty;

TEST_F(Links, DeliverAMessageWith0x10AndSendTheAnswerWithItsDataByte0x10Twice)
{
    const std::vector<uint8_t> data{0x10, 'a', 0x10, 0x10};
    network_.AddTerminal(5);
    network_.Queue(5, ScriptedReply::Message(5, 4, data));
    Open({5});

    const Message m = Next();
    ASSERT_EQ(m.result, kDone);
    EXPECT_EQ(m.address, 5);
    EXPECT_EQ(m.command, 4);
    EXPECT_EQ(m.data, data);

    const std::vector<uint8_t> answer{'x', 0x10, 'y'};
    ASSERT_EQ(link_->Write(5, answer.data(), 3, 3), kDone);
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kAnswer, 5) == 1; }));

    const Log log = network_.History();
    std::vector<uint8_t> wire{0x10, 0x02, 0x00, 0x05, 0x00, 0x01, 0x03, 0x00, 0x03, 'x', 0x10, 0x10, 'y', 0x10, 0x03};
    wire.push_back(static_cast<uint8_t>(0xFF - (std::accumulate(wire.begin(), wire.end(), 0u) & 0xFF)));
    EXPECT_EQ(LastAnswer(log, 5).wire, wire);
    const std::vector<std::string> seen = DescribedFrom(log, 0);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(std::vector(seen.begin(), seen.begin() + 3),
              (std::vector<std::string>{"poll 5", "ack 5", "frame to 5 command 3 (3 bytes)"}));
    EXPECT_EQ(network_.SequenceFaults(), std::vector<std::string>{});
}

struct ResponseCase {
    const char* name;
    std::vector<uint8_t> reply;
    HostResponse expected;
};

void PrintTo(const ResponseCase& c, std::ostream* out)
{
    *out << c.name;
}

class HostResponses : public LinkOnPty, public ::testing::WithParamInterface<ResponseCase> {};

// Each reply is answered as the protocol says: acknowledged and delivered, rejected, or
// passed over; then polling goes on.
TEST_P(HostResponses, FollowTheReply)
{
    const ResponseCase& c = GetParam();
    network_.AddTerminal(5);
    network_.Queue(5, ScriptedReply::Raw(c.reply, c.expected, 50));
    Open({5});

    if (c.expected == HostResponse::kAcknowledge) {
        const Message m = Next();
        ASSERT_EQ(m.result, kDone);
        EXPECT_EQ(m.data, Text("msg"));
        ASSERT_EQ(link_->Write(5, nullptr, 3, 0), kDone);
    }
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kPoll, 5) >= 3; }));
    const Log log = network_.History();
    EXPECT_EQ(Count(log, Role::kAcknowledge, 5), c.expected == HostResponse::kAcknowledge ? 1u : 0u);
    EXPECT_EQ(Count(log, Role::kReject, 5), c.expected == HostResponse::kReject ? 1u : 0u);
    EXPECT_EQ(network_.SequenceFaults(), std::vector<std::string>{}) << ::testing::PrintToString(Described(log));
    uint16_t address = 0;
    uint8_t command = 0;
    int16_t length = 0;
    std::vector<uint8_t> data(kFrameBufferSize);
    EXPECT_EQ(link_->Read(&address, data.data(), &command, &length, 0), kNotDone) << "a message not taken";
}

std::vector<uint8_t> Reply(uint8_t command, uint16_t source = 5)
{
    return Frame(source, command, Text("msg"));
}

std::vector<uint8_t> WithLengthField(uint16_t length)
{
    TerminalFrame frame;
    frame.source = 5;
    frame.command = 50;
    frame.data = Text("msg");
    frame.lengthField = length;
    return frame.Encode();
}

std::vector<uint8_t> WithBadChecksum()
{
    TerminalFrame frame;
    frame.source = 5;
    frame.command = 50;
    frame.data = Text("msg");
    frame.checksumError = 1;
    return frame.Encode();
}

INSTANTIATE_TEST_SUITE_P(
    Replies, HostResponses,
    ::testing::Values(ResponseCase{"Command50Accepted", Reply(50), HostResponse::kAcknowledge},
                      ResponseCase{"Command51Rejected", Reply(51), HostResponse::kReject},
                      ResponseCase{"LengthMismatchRejected", WithLengthField(4), HostResponse::kReject},
                      ResponseCase{"OtherAddressRejected", Reply(50, 6), HostResponse::kReject},
                      ResponseCase{"BadChecksumRejected", WithBadChecksum(), HostResponse::kReject},
                      ResponseCase{"StrayByteBeforeStartAccepted", sim::WithStrayByteBefore(Reply(50), 0x33),
                                   HostResponse::kAcknowledge},
                      ResponseCase{"LostDleAccepted", sim::WithoutFirst(Reply(50), 1), HostResponse::kAcknowledge},
                      ResponseCase{"LostDleStxAccepted", sim::WithoutFirst(Reply(50), 2), HostResponse::kAcknowledge},
                      ResponseCase{"LostDleStx00Accepted", sim::WithoutFirst(Reply(50), 3), HostResponse::kAcknowledge},
                      ResponseCase{"TruncatedInDataRejected", sim::TruncatedTo(Reply(50), 10), HostResponse::kReject},
                      ResponseCase{"TruncatedInFirstFivePassedOver", sim::TruncatedTo(Reply(50), 4),
                                   HostResponse::kNone},
                      ResponseCase{"NothingToSendPassedOver", Frame(5, 9, {}), HostResponse::kNone}),
    [](const ::testing::TestParamInfo<ResponseCase>& info) { return std::string(info.param.name); });

TEST_F(Links, PollTheAddressesInTurnAndApplyTheLineSettingsBeforeEachPass)
{
    network_.AddTerminal(5);
    network_.AddTerminal(7);
    Open({5, 7});
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kPoll, 7) >= 3; }));
    const std::vector<std::string> seen = Described(network_.History());
    ASSERT_GE(seen.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(seen.begin(), seen.begin() + 6),
              (std::vector<std::string>{"poll 5", "poll 7", "poll 5", "poll 7", "poll 5", "poll 7"}));
    const std::vector<std::string> journal = journal_->Entries();
    ASSERT_GE(journal.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(journal.begin(), journal.begin() + 9),
              (std::vector<std::string>{"apply", "poll 5", "poll 7", "apply", "poll 5", "poll 7", "apply", "poll 5",
                                        "poll 7"}));

    // Someone else changes the line; the next pass puts the link's settings back.
    termios changed{};
    ASSERT_EQ(tcgetattr(line_.TerminalFd(), &changed), 0);
    cfsetspeed(&changed, B9600);
    changed.c_cflag |= CRTSCTS | CSTOPB;
    ASSERT_EQ(tcsetattr(line_.TerminalFd(), TCSANOW, &changed), 0);
    const size_t mark = network_.History().size();
    ASSERT_TRUE(WaitFor([mark](const Log& later) {
        return Count(Log(later.begin() + static_cast<std::ptrdiff_t>(mark), later.end()), Role::kPoll, 5) >= 2;
    }));
    termios restored{};
    ASSERT_EQ(tcgetattr(line_.TerminalFd(), &restored), 0);
    EXPECT_EQ(cfgetospeed(&restored), B57600);
    EXPECT_EQ(restored.c_cflag & (CRTSCTS | CSTOPB), 0u);
}

TEST_F(Links, ReadWithTimeOutZeroReturnsAtOnceAndLeavesItsOutputsAlone)
{
    network_.AddTerminal(5);
    Open({5});
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kPoll, 5) >= 2; }));
    uint16_t address = 0xBEEF;
    uint8_t command = 0xAB;
    int16_t length = -7;
    std::vector<uint8_t> data(16, 0xCD);
    EXPECT_EQ(link_->Read(&address, data.data(), &command, &length, 0), kNotDone);
    EXPECT_EQ(address, 0xBEEF);
    EXPECT_EQ(command, 0xAB);
    EXPECT_EQ(length, -7);
    EXPECT_EQ(data, std::vector<uint8_t>(16, 0xCD));

    // A message already delivered is taken at once with time-out 0 too.
    network_.Queue(5, ScriptedReply::Message(5, 4, Text("now")));
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kAcknowledge, 5) == 1; }));
    ASSERT_EQ(link_->Read(&address, data.data(), &command, &length, 0), kDone);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(link_->Read(&address, data.data(), &command, &length, 0), kNotDone) << "delivered twice";
    ASSERT_EQ(link_->Write(5, nullptr, 3, 0), kDone);
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kAnswer, 5) == 1; }));
}

struct ExchangeCase {
    const char* name;
    uint8_t messageCommand;
    std::vector<uint8_t> answers;  // commands of the application's frames
    size_t sentBeforePolling;      // how many of them go out before the next poll
};

void PrintTo(const ExchangeCase& c, std::ostream* out)
{
    *out << c.name;
}

class Exchanges : public LinkOnPty, public ::testing::WithParamInterface<ExchangeCase> {};

// A message with command 2 or 5 keeps the line for the application's frames up to the
// one with command 3; any other message takes one answer.
TEST_P(Exchanges, SendTheApplicationsFramesBeforePollingOn)
{
    const ExchangeCase& c = GetParam();
    network_.AddTerminal(5);
    network_.Queue(5, ScriptedReply::Message(5, c.messageCommand, Text("open")));
    Open({5});
    const Message m = Next();
    ASSERT_EQ(m.result, kDone);
    ASSERT_EQ(m.command, c.messageCommand);
    for (size_t i = 0; i < c.answers.size(); ++i) {
        const std::vector<uint8_t> data(i + 1, static_cast<uint8_t>('a' + i));
        ASSERT_EQ(link_->Write(5, data.data(), c.answers[i], static_cast<int16_t>(data.size())), kDone);
    }
    const size_t sent = c.sentBeforePolling;
    ASSERT_TRUE(WaitFor(
        [sent](const Log& log) { return Count(log, Role::kAnswer, 5) >= sent && Count(log, Role::kPoll, 5) >= 3; }));
    std::vector<std::string> expected{"poll 5", "ack 5"};
    for (size_t i = 0; i < sent; ++i) {
        expected.push_back("frame to 5 command " + std::to_string(c.answers[i]) + " (" + std::to_string(i + 1) +
                           " bytes)");
    }
    expected.push_back("poll 5");
    const std::vector<std::string> seen = Described(network_.History());
    ASSERT_GE(seen.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(seen.begin(), seen.begin() + static_cast<std::ptrdiff_t>(expected.size())),
              expected);
}

INSTANTIATE_TEST_SUITE_P(Commands, Exchanges,
                         ::testing::Values(ExchangeCase{"Command2ThreeFramesEndedBy3", 2, {4, 6, 3}, 3},
                                           ExchangeCase{"Command5TwoFramesEndedBy3", 5, {4, 3}, 2},
                                           ExchangeCase{"Command2EndedAtOnce", 2, {3}, 1},
                                           ExchangeCase{"Command4TakesOneAnswerWhateverItsCommand", 4, {6}, 1},
                                           ExchangeCase{"Command50TakesOneAnswer", 50, {3}, 1}),
                         [](const ::testing::TestParamInfo<ExchangeCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(Links, SkipASilentTerminalAfterOneHeaderTimeOutWithoutRejectingIt)
{
    network_.AddSilentTerminal(3);
    network_.AddTerminal(4);
    Open({3, 4});
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kPoll, 3) >= 3; }));
    const std::vector<std::string> seen = Described(network_.History());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i], i % 2 == 0 ? "poll 3" : "poll 4") << "frame " << i;
    }
}

// A frame the application places while no message is open cannot be an answer; it is
// dropped when the next message arrives, and the answer to that message goes out.
TEST_F(Links, DropAFramePlacedWhileNoMessageWasOpenAndTakeTheAnswer)
{
    network_.AddTerminal(5);
    Open({5});
    ASSERT_EQ(link_->Write(5, Text("early").data(), 6, 5), kDone);
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kPoll, 5) >= 2; }));
    network_.Queue(5, ScriptedReply::Message(5, 4, Text("ask")));
    ASSERT_EQ(Next().result, kDone);

    int32_t written = -1;
    std::thread answering([&] { written = link_->Write(5, Text("late").data(), 3, 4); });
    const bool answered = WaitFor([](const Log& log) { return Count(log, Role::kAnswer, 5) == 1; });
    if (!answered) {
        link_->Stop();  // releases the writer so the test can end
    }
    answering.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(written, kDone);
    for (const auto& received : network_.History()) {
        EXPECT_NE(received.frame.data, Text("early"));
    }
    EXPECT_EQ(LastAnswer(network_.History(), 5).data, Text("late"));
}

TEST_F(Links, RefuseFramesTooLongOrWithoutDataAndKeepTheTransmitBufferFree)
{
    network_.AddTerminal(5);
    network_.Queue(5, ScriptedReply::Message(5, 4, Text("q")));
    Open({5});
    const std::vector<uint8_t> big(kMaxSendData + 1, 'b');
    EXPECT_EQ(link_->Write(5, big.data(), 3, static_cast<int16_t>(big.size())), kNotDone);
    EXPECT_EQ(link_->Write(5, big.data(), 3, -1), kNotDone);
    EXPECT_EQ(link_->Write(5, nullptr, 3, 1), kNotDone);

    ASSERT_EQ(Next().result, kDone);
    const std::vector<uint8_t> largest(kMaxSendData, 0x10);
    ASSERT_EQ(link_->Write(5, largest.data(), 3, static_cast<int16_t>(largest.size())), kDone);
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kAnswer, 5) == 1; }));
    const auto answer = LastAnswer(network_.History(), 5);
    EXPECT_EQ(answer.data, largest);
    EXPECT_EQ(answer.wire.size(), 4094u);
}

TEST_F(Links, DeliverTheLargestMessageTheBufferHoldsAndRejectOneByteLonger)
{
    std::vector<uint8_t> largest(kMaxReceiveData);
    for (size_t i = 0; i < largest.size(); ++i) {
        largest[i] = static_cast<uint8_t>(i * 13);
    }
    network_.AddTerminal(5);
    network_.Queue(5, ScriptedReply::Message(5, 4, largest));
    network_.Queue(5, ScriptedReply::Rejected(Frame(5, 4, std::vector<uint8_t>(kMaxReceiveData + 1, 'z'))));
    Open({5});
    const Message m = Next();
    ASSERT_EQ(m.result, kDone);
    EXPECT_EQ(m.data, largest);
    ASSERT_EQ(link_->Write(5, nullptr, 3, 0), kDone);
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kReject, 5) == 1; }));
    EXPECT_EQ(network_.SequenceFaults(), std::vector<std::string>{});
}

TEST_F(Links, SendAnAnswerPlacedJustBeforeTheLinkStops)
{
    network_.AddTerminal(5);
    network_.Queue(5, ScriptedReply::Message(5, 4, Text("last")));
    Open({5});
    ASSERT_EQ(Next().result, kDone);
    ASSERT_EQ(link_->Write(5, Text("bye").data(), 3, 3), kDone);
    link_.reset();
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kAnswer, 5) == 1; }));
    EXPECT_EQ(LastAnswer(network_.History(), 5).data, Text("bye"));
}

TEST_F(Links, StopReleasesApplicationCallsWaitingWithoutLimit)
{
    network_.AddTerminal(5);
    Open({5});
    ASSERT_EQ(link_->Write(5, Text("held").data(), 6, 4), kDone);  // the buffer stays taken
    int32_t read = -1;
    int32_t written = -1;
    std::thread reader([&] {
        uint16_t address = 0;
        uint8_t command = 0;
        int16_t length = 0;
        std::vector<uint8_t> data(kFrameBufferSize);
        read = link_->Read(&address, data.data(), &command, &length, kWaitWithoutLimit);
    });
    std::thread writer([&] { written = link_->Write(5, Text("more").data(), 6, 4); });
    ASSERT_TRUE(WaitFor([](const Log& log) { return Count(log, Role::kPoll, 5) >= 2; }));
    link_->Stop();
    reader.join();
    writer.join();
    EXPECT_EQ(read, kNotDone);
    EXPECT_EQ(written, kNotDone);
}

}  // namespace
}  // namespace seriallink::testing
