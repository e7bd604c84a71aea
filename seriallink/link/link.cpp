#include "link/link.h"

#include <algorithm>
#include <thread>

#include "link/byte_order.h"
#include "link/reply_reader.h"

namespace seriallink {

Link::Link(std::unique_ptr<SerialPort> port, std::span<const uint16_t> addresses, const LinkProfile& profile,
           const LinkTiming& timing)
    : port_(std::move(port)),
      addresses_(addresses.begin(), addresses.end()),
      profile_(profile),
      timing_(timing),
      // At the end of the list, so that the first poll wraps to the first address.
      position_(addresses_.size() - 1)
{
    PrefillReceiveBuffer(receive_);
}

Link::~Link()
{
    Stop();
}

int Link::Start(bool realTime)
{
    const int error = worker_.Start([this] { Run(); });
    if (error == 0 && realTime) {
        realTime_ = worker_.RaiseToRealTime();
    }
    return error;
}

void Link::Stop()
{
    stopping_ = true;
    rxReady_.Close();
    txFree_.Close();
    {
        // An answer already placed still goes out (a host that answers and ends would
        // otherwise lose it); the worker stops once it is sent.
        std::lock_guard lock(handOver_);
        if (!txRequest_.IsSet()) {
            txRequest_.Close();
        }
    }
    worker_.Join();
}

int32_t Link::Read(uint16_t* address, uint8_t* data, uint8_t* command, int16_t* length, uint32_t timeoutMs)
{
    if (address == nullptr || data == nullptr || command == nullptr || length == nullptr) {
        return kNotDone;
    }
    const auto deadline = timeoutMs == kWaitWithoutLimit
                              ? std::chrono::steady_clock::time_point::max()
                              : std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (!rxReady_.WaitUntil(deadline)) {
            return kNotDone;
        }
        std::lock_guard lock(deliveredMutex_);
        // Another reader may have taken it, or the next poll cleared it, since the wait.
        if (!rxReady_.IsSet()) {
            continue;
        }
        const uint16_t count = ReadUint16BE(delivered_.data() + kLengthAt);
        *address = ReadUint16BE(delivered_.data() + kSourceAt);
        *command = delivered_[kCommandAt];
        std::copy_n(delivered_.begin() + kDataAt, count, data);
        *length = static_cast<int16_t>(count);
        rxReady_.Reset();
        return kDone;
    }
}

int32_t Link::Write(uint16_t address, const uint8_t* data, uint8_t command, int16_t length)
{
    if (length < 0 || static_cast<size_t>(length) > kMaxSendData || (length > 0 && data == nullptr)) {
        return kNotDone;
    }
    std::lock_guard writer(writers_);
    for (;;) {
        if (!txFree_.Wait()) {
            return kNotDone;
        }
        std::lock_guard lock(handOver_);
        if (!txFree_.IsSet()) {
            continue;
        }
        transmitSize_ = BuildHostFrame(transmit_, address, command, std::span(data, static_cast<size_t>(length)));
        txFree_.Reset();
        txRequest_.Set();
        return kDone;
    }
}

int32_t Link::ApplySettings()
{
    return port_->ApplySettings();
}

void Link::Run()
{
    port_->Purge();
    port_->SetDtr(true);
    while (!stopping_) {
        PollNext();
    }
}

void Link::PollNext()
{
    if (++position_ == addresses_.size()) {
        position_ = 0;
        // A line setting changed by someone else lasts one pass at most.
        port_->ApplySettings();
    }
    const uint16_t terminal = addresses_[position_];
    port_->SetDtr(true);

    rxReady_.Reset();
    std::this_thread::sleep_for(timing_.pollPause);
    SendControl(terminal, command::kPoll, profile_.pollFill);
    port_->SetRts(true);

    const Reply reply = ReadReply(*port_, terminal, profile_.highestCommand, timing_.reply, receive_);
    port_->SetRts(false);
    switch (reply.outcome) {
        case Reply::Outcome::kSilent:
            return;
        case Reply::Outcome::kBad:
            SendControl(terminal, command::kReject, 0);
            port_->SetRts(false);
            return;
        case Reply::Outcome::kGood:
            break;
    }
    const uint8_t replyCommand = receive_[kCommandAt];
    if (replyCommand == command::kNothingToSend) {
        return;
    }
    Deliver(reply.size);
    SendControl(terminal, command::kAcknowledge, 0);
    Exchange(replyCommand);
}

bool Link::SendControl(uint16_t terminal, uint8_t command, size_t fill)
{
    std::array<uint8_t, kControlFrameSize + 8> bytes{};
    const auto frame = ControlFrame(terminal, command);
    std::copy(frame.begin(), frame.end(), bytes.begin());
    fill = std::min(fill, bytes.size() - frame.size());
    std::fill_n(bytes.begin() + kControlFrameSize, fill, uint8_t{0xFF});
    return port_->Send(std::span(bytes).first(kControlFrameSize + fill));
}

// Gives the reply to the application. A frame still waiting to be sent at this point was
// placed while no message was open; it is dropped, and the transmit buffer freed with it,
// since an answer to this message could otherwise never be placed.
void Link::Deliver(size_t size)
{
    if (txRequest_.IsSet()) {
        ReleaseTransmitBuffer();
    }
    std::lock_guard lock(deliveredMutex_);
    std::copy_n(receive_.begin(), size, delivered_.begin());
    rxReady_.Set();
}

void Link::ReleaseTransmitBuffer()
{
    std::lock_guard lock(handOver_);
    txRequest_.Reset();
    txFree_.Set();
    // Stop leaves txRequest open only while a frame waits; with it gone, nothing may wait.
    if (stopping_) {
        txRequest_.Close();
    }
}

// Sends the application's answers: one, or while the message opened an exchange (command
// 2 or 5), every frame up to the one with command 3. Polling waits meanwhile.
void Link::Exchange(uint8_t replyCommand)
{
    uint8_t lastSent = 0;
    do {
        if (!txRequest_.Wait()) {
            return;  // the link is stopping
        }
        port_->Send(std::span(transmit_).first(transmitSize_));
        lastSent = transmit_[kCommandAt];
        ReleaseTransmitBuffer();
        if (stopping_) {
            return;
        }
    } while ((replyCommand == command::kOpenExchange || replyCommand == command::kOpenExchangeAlso) &&
             lastSent != command::kEndExchange);
}

}  // namespace seriallink
