// The link's worker thread, with the scheduling the operating system allows it.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace seriallink::platform {

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { Join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs body on a new thread; 0 or the errno value of the failure.
    int Start(std::function<void()> body);
    // Moves the thread to real-time (first-in first-out) scheduling at the highest level
    // the process may use; false, and ordinary scheduling kept, when it may not.
    bool RaiseToRealTime();
    void Join();
    // Processor time the thread has used; zero before it starts.
    std::chrono::nanoseconds CpuTime() const;

private:
    std::thread thread_;
    std::thread::native_handle_type handle_{};
};

}  // namespace seriallink::platform
