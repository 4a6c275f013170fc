#include <QVToolbox/timing/Throttler.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

using namespace QVToolbox;
using platform::Clock;
using platform::ManualClock;
using Interval = Repeater::Interval;
using Mode = QVThrottler::Mode;

namespace {

// Clock readings (ms since the test began) at which something ran.
struct Runs {
    std::mutex mutex;
    std::vector<std::uint64_t> at;
    const std::uint64_t start = Clock::uptimeNanoseconds();
    std::uint64_t nowMs() const { return (Clock::uptimeNanoseconds() - start) / 1'000'000; }
    void add() {
        std::lock_guard lock(mutex);
        at.push_back(nowMs());
    }
    std::vector<std::uint64_t> take() {
        std::lock_guard lock(mutex);
        return std::exchange(at, {});
    }
    // Advances the manual clock to `ms` since the start.
    void advanceTo(std::uint64_t ms) const { ManualClock::advanceTo(start + ms * 1'000'000); }
};

}  // namespace

TEST(QVThrottler, FixedModeRunsABurstOnceAtTheFirstDeadlineThenWaitsAnInterval) {
    Runs runs;
    auto t = QVThrottler::make(Interval::seconds(1), nullptr, Mode::fixed, false, [&] { runs.add(); });
    EXPECT_EQ(t->throttle(), platform::DispatchTimeInterval::milliseconds(1000));
    EXPECT_EQ(t->queue(), platform::DispatchQueue::global(platform::DispatchQoS::background));
    for (const std::uint64_t ms : {0, 200, 500}) {
        runs.advanceTo(ms);
        t->call();
    }
    runs.advanceTo(1300);
    EXPECT_EQ(runs.take(), (std::vector<std::uint64_t>{1000}));
    t->call();  // at 1.3 s: one interval after the previous run
    runs.advanceTo(5000);
    EXPECT_EQ(runs.take(), (std::vector<std::uint64_t>{2000}));
}

TEST(QVThrottler, DeferredModeRunsABurstOnceAnIntervalAfterItsEnd) {
    Runs runs;
    auto t = QVThrottler::make(Interval::seconds(1), nullptr, Mode::deferred, false, [&] { runs.add(); });
    EXPECT_EQ(t->mode(), Mode::deferred);
    for (const std::uint64_t ms : {0, 200, 500}) {
        runs.advanceTo(ms);
        t->call();
    }
    runs.advanceTo(5000);
    EXPECT_EQ(runs.take(), (std::vector<std::uint64_t>{1500}));
    // Long after the run: an interval after this call.
    t->call();
    runs.advanceTo(7000);
    EXPECT_EQ(runs.take(), (std::vector<std::uint64_t>{6000}));
}

TEST(QVThrottler, ImmediateFireRunsTheFirstCallAfterAQuietIntervalAtOnce) {
    for (const Mode mode : {Mode::fixed, Mode::deferred}) {
        Runs runs;
        auto t = QVThrottler::make(Interval::seconds(1), nullptr, mode, true, [&] { runs.add(); });
        EXPECT_TRUE(t->immediateFire());
        t->call();
        ManualClock::drain();
        EXPECT_EQ(runs.take(), (std::vector<std::uint64_t>{0}));
        runs.advanceTo(100);
        t->call();  // 0.1 s later: at the previous run + 1 s
        runs.advanceTo(3000);
        EXPECT_EQ(runs.take(), (std::vector<std::uint64_t>{1000}));
        t->call();  // quiet for 2 s: at once again
        ManualClock::drain();
        EXPECT_EQ(runs.take(), (std::vector<std::uint64_t>{3000}));
    }
}

TEST(QVThrottler, EachRunCallsTheCallbackSetAtRunTimeAndRecordsRunsWithoutOne) {
    Runs runs;
    std::vector<std::string> seen;
    auto queue = platform::DispatchQueue::make("test.throttler");
    auto t = QVThrottler::make(Interval::milliseconds(100), queue, Mode::fixed, false, nullptr);
    t->call();
    ManualClock::advance(0.1);  // runs with no callback, but still counts as a run
    t->setCallback([&] { seen.push_back(queue->isCurrent() ? "second on queue" : "second elsewhere"); });
    t->call();  // so this one waits until 0.2 s
    t->setCallback([&] { seen.push_back(queue->isCurrent() ? "third on queue" : "third elsewhere"); });
    ManualClock::advance(0.05);
    EXPECT_TRUE(seen.empty());
    ManualClock::advance(0.05);
    EXPECT_EQ(seen, (std::vector<std::string>{"third on queue"}));
}

TEST(QVThrottler, JobsOfAReleasedThrottlerDoNothing) {
    Runs runs;
    auto t = QVThrottler::make(Interval::milliseconds(100), nullptr, Mode::fixed, false, [&] { runs.add(); });
    t->call();
    t.reset();
    ManualClock::advance(1.0);
    EXPECT_TRUE(runs.take().empty());
}

TEST(QVDebouncer, FiresOnceADelayAfterTheLastCallOfABurst) {
    Runs runs;
    auto d = QVDebouncer::make(Interval::milliseconds(300), [&] { runs.add(); });
    for (const std::uint64_t ms : {0, 100, 250}) {
        runs.advanceTo(ms);
        d->call();
    }
    runs.advanceTo(2000);
    EXPECT_EQ(runs.take(), (std::vector<std::uint64_t>{550}));

    // A new delay takes effect with the call, also after the timer has finished.
    d->call(Interval::seconds(1));
    EXPECT_EQ(d->delay(), Interval::seconds(1));
    runs.advanceTo(2999);
    EXPECT_TRUE(runs.take().empty());
    runs.advanceTo(4000);
    EXPECT_EQ(runs.take(), (std::vector<std::uint64_t>{3000}));
}

TEST(QVDebouncer, WithoutCallbackWritesTheNotice) {
    auto d = QVDebouncer::make(Interval::milliseconds(10));
    EXPECT_FALSE(d->callback());
    testing::internal::CaptureStdout();
    d->call();
    ManualClock::advance(0.02);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\"Debouncer fired but callback not set.\"\n");

    int runs = 0;
    d->setCallback([&] { ++runs; });
    d->call();
    d.reset();  // a released debouncer takes its timer with it
    ManualClock::advance(0.02);
    EXPECT_EQ(runs, 0);
}
