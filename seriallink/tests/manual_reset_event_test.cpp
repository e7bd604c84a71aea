// The events that hand the link's buffers between the worker and the application.

#include "link/manual_reset_event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace seriallink {
namespace {

using Clock = std::chrono::steady_clock;

TEST(ManualResetEvent, StaysSetForEveryWaiterUntilReset)
{
    ManualResetEvent event(false);
    EXPECT_FALSE(event.WaitUntil(Clock::now()));
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] { woken += event.Wait() ? 1 : 0; });
    }
    event.Set();
    for (std::thread& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(woken, 3);
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.WaitUntil(Clock::now()));
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.WaitUntil(Clock::now() + std::chrono::milliseconds(1)));
}

TEST(ManualResetEvent, StartsInTheStateAsked)
{
    EXPECT_TRUE(ManualResetEvent(true).IsSet());
    EXPECT_FALSE(ManualResetEvent(false).IsSet());
}

TEST(ManualResetEvent, CloseWakesWaitersAndFailsEveryLaterWait)
{
    ManualResetEvent event(false);
    std::atomic<bool> result{true};
    std::thread waiter([&] { result = event.Wait(); });
    event.Close();
    waiter.join();
    EXPECT_FALSE(result);
    event.Set();
    EXPECT_FALSE(event.Wait());
    EXPECT_FALSE(event.WaitUntil(Clock::time_point::max()));
    EXPECT_FALSE(event.IsSet());
}

}  // namespace
}  // namespace seriallink
