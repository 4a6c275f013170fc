#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/DispatchSource.h>
#include <QVPlatform/dispatch/DispatchWorkItem.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/dispatch/Timer.h>
#include <QVPlatform/base/Date.h>

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

using namespace platform;

namespace {

// Records labelled events with the manual clock's reading (ms since the test began).
struct Recorder {
    std::mutex mutex;
    std::vector<std::pair<std::string, std::uint64_t>> events;
    std::uint64_t start = Clock::uptimeNanoseconds();
    void add(std::string what) {
        std::lock_guard lock(mutex);
        events.emplace_back(std::move(what), (Clock::uptimeNanoseconds() - start) / 1'000'000);
    }
};

}  // namespace

TEST(ManualClock, ReleasesDelayedWorkInDeadlineOrderAtTheirDeadlines) {
    Recorder r;
    auto serial = DispatchQueue::make("test.serial");
    const auto now = DispatchTime::now();
    DispatchQueue::global()->asyncAfter(now + 0.3, [&] { r.add("global 300"); });
    serial->asyncAfter(now + 0.1, [&] { r.add("serial 100"); });
    DispatchQueue::main()->asyncAfter(now + 0.2, [&] { r.add("main 200"); });
    auto timer = Timer::scheduledTimer(0.25, false, [&](Timer&) { r.add("timer 250"); });
    ManualClock::advance(0.05);
    EXPECT_TRUE(r.events.empty());
    ManualClock::advance(1.0);
    const std::vector<std::pair<std::string, std::uint64_t>> expected{
        {"serial 100", 100}, {"main 200", 200}, {"timer 250", 250}, {"global 300", 300}};
    EXPECT_EQ(r.events, expected);
    EXPECT_FALSE(timer->isValid());
}

TEST(ManualClock, WallClockMovesWithUptime) {
    ManualClock::start(1000.0);
    EXPECT_DOUBLE_EQ(Date::now().timeIntervalSince1970(), 1000.0);
    ManualClock::advance(2.5);
    EXPECT_DOUBLE_EQ(Date::now().timeIntervalSince1970(), 1002.5);
}

TEST(DispatchQueue, SerialQueueRunsBlocksInOrderAndSyncReturnsValues) {
    auto q = DispatchQueue::make("test.order");
    std::vector<int> seen;
    for (int i = 0; i < 100; ++i) q->async([&seen, i] { seen.push_back(i); });
    const int size = q->sync<int>([&] { return static_cast<int>(seen.size()); });
    EXPECT_EQ(size, 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
    // A nested sync on the same queue runs at once instead of deadlocking.
    int nested = 0;
    q->sync([&] { q->sync([&] { nested = 1; }); });
    EXPECT_EQ(nested, 1);
    // A sync block that throws still hands the queue on.
    EXPECT_THROW(q->sync([] { throw std::runtime_error("thrown in sync"); }), std::runtime_error);
    bool ranAfter = false;
    q->async([&] { ranAfter = true; });
    ManualClock::drain();
    EXPECT_TRUE(ranAfter);
}

TEST(DispatchWorkItem, CancelledBeforeStartRunsNeitherBlockNorNotification) {
    bool ran = false, notified = false;
    auto item = DispatchWorkItem::make([&] { ran = true; });
    item->notify(DispatchQueue::main(), [&] { notified = true; });
    DispatchQueue::global()->asyncAfter(DispatchTime::now() + 1.0, item);
    item->cancel();
    ManualClock::advance(2.0);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(notified);

    auto second = DispatchWorkItem::make([&] { ran = true; });
    second->notify(DispatchQueue::main(), [&] { notified = RunLoop::isMainThread(); });
    DispatchQueue::global()->async(second);
    ManualClock::drain();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(notified);
}

TEST(DispatchSourceTimer, RepeatsWithPhaseAndHonoursSuspensionCounting) {
    Recorder r;
    auto q = DispatchQueue::make("test.timer");
    auto timer = DispatchSource::makeTimerSource(q);
    timer->schedule(DispatchTime::now() + 1.0, DispatchTimeInterval::milliseconds(500));
    timer->setEventHandler([&] { r.add("tick"); });
    ManualClock::advance(2.0);
    EXPECT_TRUE(r.events.empty()) << "a new source is suspended";
    EXPECT_TRUE(timer->resume());
    ManualClock::advance(0.6);  // 2.0 was due while suspended: merged into one event on resume
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0].second, 2000u);
    EXPECT_EQ(r.events[1].second, 2500u);
    timer->suspend();
    ManualClock::advance(1.0);
    EXPECT_EQ(r.events.size(), 2u);
    EXPECT_FALSE(timer->resume() && timer->resume()) << "resuming past zero is refused";
    ManualClock::drain();
    EXPECT_EQ(r.events.size(), 3u);
    timer->cancel();
    ManualClock::advance(5.0);
    EXPECT_EQ(r.events.size(), 3u);
}
