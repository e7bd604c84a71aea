// One link: the port, the terminals' addresses, the worker that polls them, and the
// hand-over of the receive and transmit buffers between the worker and the application
// through three manual-reset events (rxReady, txRequest, txFree).
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "link/frame.h"
#include "link/link_profile.h"
#include "link/manual_reset_event.h"
#include "link/serial_port.h"
#include "platform/worker_thread.h"

namespace seriallink {

inline constexpr size_t kMaxAddresses = 32;

// Results of Read and Write, as the exports return them.
inline constexpr int32_t kDone = 0;
inline constexpr int32_t kNotDone = 1;

// _LePorta's time-out that never runs out.
inline constexpr uint32_t kWaitWithoutLimit = 0xFFFFFFFF;

class Link {
public:
    // addresses holds 1 to kMaxAddresses terminal addresses; the caller checks.
    Link(std::unique_ptr<SerialPort> port, std::span<const uint16_t> addresses, const LinkProfile& profile,
         const LinkTiming& timing);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Starts the worker, at real-time priority when asked and permitted; 0 or errno.
    int Start(bool realTime);
    // Ends the worker and fails every wait of the application; the link stays closed.
    void Stop();

    // The application's side, as _LePorta, _EscrevePorta and _AtualizaPorta.
    int32_t Read(uint16_t* address, uint8_t* data, uint8_t* command, int16_t* length, uint32_t timeoutMs);
    int32_t Write(uint16_t address, const uint8_t* data, uint8_t command, int16_t length);
    int32_t ApplySettings();

    // For the benchmark: processor time the worker has used, and whether it runs real-time.
    std::chrono::nanoseconds WorkerCpuTime() const { return worker_.CpuTime(); }
    bool WorkerIsRealTime() const { return realTime_; }

private:
    void Run();
    void PollNext();
    bool SendControl(uint16_t terminal, uint8_t command, size_t fill);
    void Deliver(size_t size);
    void Exchange(uint8_t replyCommand);
    void ReleaseTransmitBuffer();

    const std::unique_ptr<SerialPort> port_;
    const std::vector<uint16_t> addresses_;
    const LinkProfile profile_;
    const LinkTiming timing_;

    // Worker only.
    size_t position_;
    std::array<uint8_t, kFrameBufferSize> receive_{};

    // The last message delivered, for the application while rxReady is set.
    std::mutex deliveredMutex_;
    std::array<uint8_t, kFrameBufferSize> delivered_{};

    // The application's frame: written by Write while txFree is set, sent by the worker
    // while txRequest is set. Flipping the two events happens under handOver_, so that
    // the worker can take a stale frame back without racing a Write in progress.
    std::mutex writers_;
    std::mutex handOver_;
    std::array<uint8_t, kFrameBufferSize> transmit_{};
    size_t transmitSize_ = 0;

    ManualResetEvent rxReady_{false};
    ManualResetEvent txRequest_{false};
    ManualResetEvent txFree_{true};

    std::atomic<bool> stopping_{false};
    bool realTime_ = false;
    platform::WorkerThread worker_;
};

}  // namespace seriallink
