#include "link/manual_reset_event.h"

namespace seriallink {

void ManualResetEvent::Set()
{
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    changed_.notify_all();
}

void ManualResetEvent::Reset()
{
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool ManualResetEvent::IsSet() const
{
    std::lock_guard lock(mutex_);
    return set_ && !closed_;
}

bool ManualResetEvent::WaitUntil(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    changed_.wait_until(lock, deadline, [this] { return set_ || closed_; });
    return set_ && !closed_;
}

bool ManualResetEvent::Wait()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return set_ || closed_; });
    return !closed_;
}

void ManualResetEvent::Close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

}  // namespace seriallink
