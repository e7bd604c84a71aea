#include "event_exchange.h"

#include <cerrno>

namespace dactisjava {
namespace {

// A signal delivered to the waiting thread (the virtual machine uses some) is not a post.
void WaitFor(sem_t& semaphore) noexcept
{
    while (sem_wait(&semaphore) != 0 && errno == EINTR) {
    }
}

void Drain(sem_t& semaphore) noexcept
{
    while (sem_trywait(&semaphore) == 0) {
    }
}

}  // namespace

// Its destructor leaves the semaphores as they are (no sem_destroy): a thread of the SDK
// or of Java may still wait on them while the process exits.
EventExchange& EventExchange::Instance()
{
    static EventExchange instance;
    return instance;
}

EventExchange::EventExchange()
{
    sem_init(&eventReady_, 0, 0);
    sem_init(&eventDone_, 0, 0);
}

void EventExchange::Reset()
{
    std::unique_lock lock(handOver_, std::try_to_lock);
    if (lock.owns_lock()) {
        Drain(eventReady_);
        Drain(eventDone_);
    }
}

void EventExchange::HandOver(const PendingEvent& event) noexcept
{
    // Only a system failure makes lock() throw; the event is then dropped, not delivered twice.
    try {
        std::lock_guard lock(handOver_);
        pending_ = event;
        sem_post(&eventReady_);
        WaitFor(eventDone_);
    } catch (...) {
    }
}

PendingEvent EventExchange::Await() noexcept
{
    WaitFor(eventReady_);
    return pending_;
}

void EventExchange::Consumed() noexcept
{
    sem_post(&eventDone_);
}

extern "C" {

void DactisJavaStatusEvent(const char* idSensor, int event)
{
    PendingEvent pending;
    pending.kind = EventKind::Status;
    pending.idSensor = idSensor;
    pending.event = event;
    EventExchange::Instance().HandOver(pending);
}

void DactisJavaFingerEvent(const char* idSensor, int event)
{
    PendingEvent pending;
    pending.kind = EventKind::Finger;
    pending.idSensor = idSensor;
    pending.event = event;
    EventExchange::Instance().HandOver(pending);
}

void DactisJavaImageEvent(const char* idSensor, int width, int height, const unsigned char* rawImage, int resolution)
{
    PendingEvent pending;
    pending.kind = EventKind::Image;
    pending.idSensor = idSensor;
    pending.width = width;
    pending.height = height;
    pending.rawImage = rawImage;
    pending.resolution = resolution;
    EventExchange::Instance().HandOver(pending);
}

}  // extern "C"

}  // namespace dactisjava
