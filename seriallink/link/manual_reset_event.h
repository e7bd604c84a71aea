// A manual-reset event: once set it stays set, waking every waiter, until reset. Closing
// it wakes every waiter for good, so that a stopping link never leaves a thread waiting.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace seriallink {

class ManualResetEvent {
public:
    explicit ManualResetEvent(bool initiallySet) : set_(initiallySet) {}
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;

    // True once the event is set; false when the deadline passes first or the event is
    // closed. A deadline already past only looks at the state.
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);
    // True once the event is set; false only when it is closed.
    bool Wait();

    void Close();

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool set_;
    bool closed_ = false;
};

}  // namespace seriallink
