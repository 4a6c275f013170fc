#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/DispatchSource.h>

#include <gtest/gtest.h>

#include <atomic>

using namespace platform;

// A negative repeat interval does not repeat every nanosecond: as on the platform it stands
// for the longest interval, so the timer fires at its deadline and then practically never.
TEST(DispatchSourceTimer, NegativeRepeatIntervalFiresOnceInsteadOfSpinning) {
    std::atomic<int> events{0};
    auto timer = DispatchSource::makeTimerSource(DispatchQueue::make("test.negative"));
    timer->schedule(DispatchTime::now() + 0.01, DispatchTimeInterval::milliseconds(-5));
    timer->setEventHandler([&] { ++events; });
    timer->resume();
    ManualClock::advance(0.02);
    EXPECT_EQ(events.load(), 1);
    EXPECT_EQ(timer->data(), 1u);
    ManualClock::advance(3600.0);
    EXPECT_EQ(events.load(), 1);
    timer->cancel();
}
