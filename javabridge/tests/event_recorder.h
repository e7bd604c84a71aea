// SDK callbacks for the C++ tests: every event is recorded with the thread it came on, and
// a test waits for the events it expects.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dactis::testing {

struct RecordedEvent {
    std::string kind;  // "status", "finger", "image"
    std::string id;
    int event = 0;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> image;
    int resolution = 0;
    std::thread::id thread;
};

class EventRecorder {
public:
    static EventRecorder& Instance()
    {
        static EventRecorder recorder;
        return recorder;
    }

    void Add(RecordedEvent event)
    {
        std::function<void(const RecordedEvent&)> hook;
        {
            std::lock_guard lock(mutex_);
            events_.push_back(event);
            hook = hook_;
        }
        changed_.notify_all();
        if (hook) {
            hook(event);
        }
    }

    // Waits until at least n events are recorded (or the time is up) and returns them all.
    std::vector<RecordedEvent> WaitFor(size_t n, std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, limit, [&] { return events_.size() >= n; });
        return events_;
    }

    std::vector<RecordedEvent> Events()
    {
        std::lock_guard lock(mutex_);
        return events_;
    }

    void Clear()
    {
        std::lock_guard lock(mutex_);
        events_.clear();
        hook_ = nullptr;
    }

    // Runs on the SDK's thread after each event is recorded.
    void SetHook(std::function<void(const RecordedEvent&)> hook)
    {
        std::lock_guard lock(mutex_);
        hook_ = std::move(hook);
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<RecordedEvent> events_;
    std::function<void(const RecordedEvent&)> hook_;
};

inline void RecordStatus(const char* id, int event)
{
    EventRecorder::Instance().Add({"status", id != nullptr ? id : "", event, 0, 0, {}, 0, std::this_thread::get_id()});
}

inline void RecordFinger(const char* id, int event)
{
    EventRecorder::Instance().Add({"finger", id != nullptr ? id : "", event, 0, 0, {}, 0, std::this_thread::get_id()});
}

inline void RecordImage(const char* id, int width, int height, const unsigned char* image, int resolution)
{
    EventRecorder::Instance().Add({"image", id != nullptr ? id : "", 0, width, height,
                                   std::vector<unsigned char>(image, image + static_cast<size_t>(width * height)),
                                   resolution, std::this_thread::get_id()});
}

}  // namespace dactis::testing
