// The one pending capture event where the SDK's threads and the Java thread inside
// getCallBacks meet, with its two semaphores: eventReady (posted when the event is
// filled) and eventDone (posted when Java has consumed it).
//
// The SDK may raise events on several threads at once. A single pending event would let
// them overwrite one another, so the hand-over is serialised: one SDK thread at a time
// fills the event and waits until Java has consumed it; the others wait their turn. Every
// event reaches Java exactly once, in the order each thread raised them.
#pragma once

#include <semaphore.h>

#include <cstdint>
#include <mutex>

#include "dactis/dactis.h"

namespace dactisjava {

enum class EventKind : uint8_t { Status = 0, Image = 1, Finger = 2 };

struct PendingEvent {
    EventKind kind = EventKind::Status;
    const char* idSensor = nullptr;  // owned by the SDK, valid until the hand-over ends
    int32_t event = 0;
    int32_t width = 0;
    int32_t height = 0;
    const unsigned char* rawImage = nullptr;  // width x height bytes, owned by the SDK
    int32_t resolution = 0;
};

class EventExchange {
public:
    static EventExchange& Instance();

    // Brings both semaphores back to 0. Semaphores that a thread may be waiting on are
    // never destroyed or initialised again; while an event is being handed over its counts
    // belong to that hand-over and are left alone.
    void Reset();

    // SDK side: hands the event over and returns once Java has consumed it.
    void HandOver(const PendingEvent& event) noexcept;

    // Java side: waits for the next event; Consumed must follow once it has been delivered.
    PendingEvent Await() noexcept;
    void Consumed() noexcept;

private:
    EventExchange();

    sem_t eventReady_;
    sem_t eventDone_;
    std::mutex handOver_;  // held by the SDK thread whose event is pending
    PendingEvent pending_;
};

// The SDK callbacks that DcCapInitialize_native and DcCapStartCapture_native register.
extern "C" {
void DactisJavaStatusEvent(const char* idSensor, int event);
void DactisJavaFingerEvent(const char* idSensor, int event);
void DactisJavaImageEvent(const char* idSensor, int width, int height, const unsigned char* rawImage, int resolution);
}

}  // namespace dactisjava
