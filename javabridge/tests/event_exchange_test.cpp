// The hand-over of capture events between SDK threads and the thread in getCallBacks,
// with real threads and the real semaphores: one event at a time, each exactly once, in
// each thread's order, the SDK thread held until the event is consumed.
#include "event_exchange.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace dactisjava {
namespace {

using namespace std::chrono_literals;

struct Consumed {
    EventKind kind;
    std::string id;
    int event;
    std::vector<unsigned char> image;
};

// Takes n events as getCallBacks does, copying each before it lets the SDK thread go.
std::vector<Consumed> Consume(size_t n)
{
    std::vector<Consumed> taken;
    EventExchange& exchange = EventExchange::Instance();
    for (size_t i = 0; i < n; ++i) {
        const PendingEvent event = exchange.Await();
        Consumed c{event.kind, event.idSensor, event.event, {}};
        if (event.kind == EventKind::Image) {
            c.image.assign(event.rawImage, event.rawImage + event.width * event.height);
        }
        taken.push_back(std::move(c));
        exchange.Consumed();
    }
    return taken;
}

TEST(BridgeEventExchange, SdkThreadIsHeldUntilTheEventIsConsumed)
{
    std::atomic<bool> returned{false};
    std::thread sdk([&] {
        DactisJavaFingerEvent("S", 20);
        returned = true;
    });
    EventExchange& exchange = EventExchange::Instance();
    const PendingEvent event = exchange.Await();
    EXPECT_EQ(event.kind, EventKind::Finger);
    EXPECT_STREQ(event.idSensor, "S");
    EXPECT_EQ(event.event, 20);
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(returned) << "the SDK thread went on before the event was consumed";
    exchange.Consumed();
    sdk.join();
    EXPECT_TRUE(returned);
}

TEST(BridgeEventExchange, EventsOfThreeThreadsArriveOnceEachInTheirOrder)
{
    constexpr int kThreads = 3;
    constexpr int kEach = 500;
    auto consumer = std::async(std::launch::async, [] { return Consume(kThreads * kEach); });
    std::vector<std::thread> sdk;
    for (int t = 0; t < kThreads; ++t) {
        sdk.emplace_back([t] {
            const std::string id = "thread-" + std::to_string(t);
            unsigned char image[4];
            for (int i = 0; i < kEach; ++i) {
                switch (i % 3) {
                    case 0:
                        DactisJavaStatusEvent(id.c_str(), i);
                        break;
                    case 1:
                        DactisJavaFingerEvent(id.c_str(), i);
                        break;
                    default:
                        // The image lives on this thread's stack only until the callback returns.
                        for (int k = 0; k < 4; ++k) {
                            image[k] = static_cast<unsigned char>(i + k + t);
                        }
                        DactisJavaImageEvent(id.c_str(), 2, 2, image, i);
                        break;
                }
            }
        });
    }
    for (std::thread& thread : sdk) {
        thread.join();
    }
    const std::vector<Consumed> taken = consumer.get();
    ASSERT_EQ(taken.size(), static_cast<size_t>(kThreads * kEach));
    std::map<std::string, int> next;
    for (const Consumed& c : taken) {
        const int i = next[c.id]++;
        const int t = c.id.back() - '0';
        switch (i % 3) {
            case 0:
                ASSERT_EQ(c.kind, EventKind::Status) << c.id << " " << i;
                ASSERT_EQ(c.event, i);
                break;
            case 1:
                ASSERT_EQ(c.kind, EventKind::Finger) << c.id << " " << i;
                ASSERT_EQ(c.event, i);
                break;
            default:
                ASSERT_EQ(c.kind, EventKind::Image) << c.id << " " << i;
                ASSERT_EQ(c.image, (std::vector<unsigned char>{
                                       static_cast<unsigned char>(i + t), static_cast<unsigned char>(i + 1 + t),
                                       static_cast<unsigned char>(i + 2 + t), static_cast<unsigned char>(i + 3 + t)}));
                break;
        }
    }
    for (const auto& [id, count] : next) {
        EXPECT_EQ(count, kEach) << id;
    }
}

TEST(BridgeEventExchange, ResetDuringAHandOverLosesNothing)
{
    EventExchange& exchange = EventExchange::Instance();
    exchange.Reset();
    std::thread sdk([] { DactisJavaStatusEvent("S", 1); });
    const PendingEvent first = exchange.Await();
    exchange.Reset();  // what a second DcInitialize_native does while the event is pending
    exchange.Consumed();
    sdk.join();
    EXPECT_EQ(first.event, 1);

    std::thread again([] { DactisJavaStatusEvent("S", 2); });
    auto next = std::async(std::launch::async, [] { return Consume(1); });
    ASSERT_EQ(next.wait_for(10s), std::future_status::ready) << "the hand-over works after the reset";
    EXPECT_EQ(next.get()[0].event, 2);
    again.join();
}

}  // namespace
}  // namespace dactisjava
