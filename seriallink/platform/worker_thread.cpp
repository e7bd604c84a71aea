#include "platform/worker_thread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace seriallink::platform {

int WorkerThread::Start(std::function<void()> body)
{
    try {
        thread_ = std::thread(std::move(body));
        handle_ = thread_.native_handle();
        return 0;
    } catch (const std::system_error& e) {
        return e.code().value() != 0 ? e.code().value() : EAGAIN;
    }
}

bool WorkerThread::RaiseToRealTime()
{
    if (!thread_.joinable()) {
        return false;
    }
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    if (pthread_setschedparam(handle_, SCHED_FIFO, &param) == 0) {
        return true;
    }
    // Without the privilege, the resource limit may still allow a lower real-time level.
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0 || limit.rlim_cur == 0) {
        return false;
    }
    param.sched_priority =
        static_cast<int>(std::min<rlim_t>(limit.rlim_cur, static_cast<rlim_t>(sched_get_priority_max(SCHED_FIFO))));
    return pthread_setschedparam(handle_, SCHED_FIFO, &param) == 0;
}

void WorkerThread::Join()
{
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::chrono::nanoseconds WorkerThread::CpuTime() const
{
    clockid_t clock{};
    timespec used{};
    if (!thread_.joinable() || pthread_getcpuclockid(handle_, &clock) != 0 || clock_gettime(clock, &used) != 0) {
        return std::chrono::nanoseconds{0};
    }
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}

}  // namespace seriallink::platform
