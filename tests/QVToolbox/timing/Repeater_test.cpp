#include <QVToolbox/timing/Repeater.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>

#include <gtest/gtest.h>

#include <limits>
#include <mutex>
#include <string>
#include <vector>

using namespace QVToolbox;
using platform::Clock;
using platform::ManualClock;
using platform::DispatchTimeInterval;
using Interval = Repeater::Interval;
using State = Repeater::State;

namespace {

using Events = std::vector<std::pair<std::string, std::uint64_t>>;

// Records labelled events with the manual clock's reading in ms since the recorder was made.
struct Recorder {
    std::mutex mutex;
    Events events;
    const std::uint64_t start = Clock::uptimeNanoseconds();
    void add(std::string what) {
        std::lock_guard lock(mutex);
        events.emplace_back(std::move(what), (Clock::uptimeNanoseconds() - start) / 1'000'000);
    }
    Events take() {
        std::lock_guard lock(mutex);
        return std::exchange(events, {});
    }
    // Observes every state change of `r` as "state:NAME".
    void watch(Repeater& r) {
        r.onStateChanged([this](Repeater&, State s) { add("state:" + std::string(s.description())); });
    }
};

}  // namespace

TEST(Repeater, FiniteCountOfThreeReportsEachStateAndCountsDown) {
    Recorder rec;
    auto r = Repeater::make(Interval::milliseconds(100), Repeater::Mode::finite(3), [&](Repeater& self) {
        rec.add("fire:" + std::to_string(*self.remainingIterations()));
    });
    rec.watch(*r);
    EXPECT_EQ(r->state(), State::paused);
    EXPECT_EQ(r->remainingIterations(), 3);
    EXPECT_TRUE(r->start());
    EXPECT_FALSE(r->start()) << "already running";
    ManualClock::advance(1.0);
    const Events expected{{"state:running", 0},   {"state:executing", 100}, {"fire:2", 100},
                          {"state:executing", 200}, {"fire:1", 200},        {"state:executing", 300},
                          {"fire:0", 300},          {"state:finished", 300}};
    EXPECT_EQ(rec.take(), expected);
    EXPECT_TRUE(r->state().isFinished());
    EXPECT_FALSE(r->pause()) << "pause on a finished repeater";

    // start() on a finished repeater resets it (count restored, schedule from now) and runs it.
    EXPECT_TRUE(r->start());
    EXPECT_EQ(r->remainingIterations(), 3);
    ManualClock::advance(0.35);
    const Events again{{"state:idle/paused", 1000},   {"state:running", 1000}, {"state:executing", 1100},
                       {"fire:2", 1100},         {"state:executing", 1200}, {"fire:1", 1200},
                       {"state:executing", 1300}, {"fire:0", 1300},         {"state:finished", 1300}};
    EXPECT_EQ(rec.take(), again);
}

TEST(Repeater, OnceFiresAfterItsIntervalAndStartRunsItAgain) {
    Recorder rec;
    auto r = Repeater::once(Interval::seconds(0.5), [&](Repeater&) { rec.add("fire"); });
    EXPECT_EQ(r->mode(), Repeater::Mode::once());
    EXPECT_FALSE(r->remainingIterations().has_value());
    ManualClock::advance(0.499);
    EXPECT_TRUE(rec.take().empty());
    ManualClock::advance(0.501);
    EXPECT_EQ(rec.take(), (Events{{"fire", 500}}));
    EXPECT_EQ(r->state(), State::finished);
    EXPECT_TRUE(r->start());
    ManualClock::advance(1.0);
    EXPECT_EQ(rec.take(), (Events{{"fire", 1500}}));
}

TEST(Repeater, InfiniteStaysExecutingUntilPausedAndKeepsItsPhase) {
    Recorder rec;
    auto r = Repeater::every(Interval::milliseconds(100), [&](Repeater&) { rec.add("fire"); });
    EXPECT_TRUE(r->mode().isInfinite());
    EXPECT_EQ(r->state(), State::running);
    ManualClock::advance(0.25);
    EXPECT_EQ(rec.take(), (Events{{"fire", 100}, {"fire", 200}}));
    EXPECT_TRUE(r->state().isExecuting());
    EXPECT_TRUE(r->state().isRunning());
    EXPECT_TRUE(r->pause());
    EXPECT_EQ(r->state(), State::paused);
    EXPECT_FALSE(r->pause());
    ManualClock::advance(0.03);  // 280 ms: nothing while paused
    EXPECT_TRUE(rec.take().empty());
    EXPECT_TRUE(r->start());
    ManualClock::advance(0.2);
    EXPECT_EQ(rec.take(), (Events{{"fire", 300}, {"fire", 400}}));
}

TEST(Repeater, IntervalValuesAndSaturation) {
    EXPECT_EQ(Interval::seconds(1.2345).value(), DispatchTimeInterval::milliseconds(1234));
    EXPECT_EQ(Interval::seconds(0.0015).value(), DispatchTimeInterval::milliseconds(1));
    EXPECT_EQ(Interval::seconds(-0.0015).value(), DispatchTimeInterval::milliseconds(-1));
    EXPECT_EQ(Interval::minutes(2).value(), DispatchTimeInterval::seconds(120));
    EXPECT_EQ(Interval::hours(2).value(), DispatchTimeInterval::seconds(7200));
    EXPECT_EQ(Interval::days(1).value(), DispatchTimeInterval::seconds(86400));
    EXPECT_EQ(Interval::nanoseconds(7).value(), DispatchTimeInterval::nanoseconds(7));
    EXPECT_EQ(Interval::microseconds(7).value(), DispatchTimeInterval::microseconds(7));

    // Overflowing products saturate instead of wrapping.
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    const auto big = Interval::days(max / 1000).value();
    EXPECT_EQ(big.unit(), DispatchTimeInterval::Unit::seconds);
    EXPECT_EQ(big.value(), max);
    EXPECT_EQ(Interval::minutes(min).value().value(), min);
    EXPECT_EQ(Interval::hours(max / 3600 + 1).value().value(), max);
    EXPECT_EQ(Interval::hours(max / 3600).value().value(), max / 3600 * 3600) << "largest product that fits";
    EXPECT_EQ(Interval::seconds(1e300).value(), DispatchTimeInterval::milliseconds(max));
    EXPECT_EQ(Interval::seconds(-1e300).value(), DispatchTimeInterval::milliseconds(min));
    EXPECT_EQ(Interval::seconds(std::numeric_limits<double>::quiet_NaN()).value(),
              DispatchTimeInterval::milliseconds(0));
    EXPECT_GT(Interval::days(max).value().totalNanoseconds(), 0) << "never wraps negative";

    // A saturated interval schedules nothing in the foreseeable future.
    Recorder rec;
    auto r = Repeater::every(Interval::days(max), [&](Repeater&) { rec.add("fire"); });
    ManualClock::advance(86400.0 * 365);
    EXPECT_TRUE(rec.take().empty());
}

TEST(Repeater, ObserverTokensAndRemoval) {
    Recorder rec;
    auto r = Repeater::make(Interval::milliseconds(100), Repeater::Mode::infinite(), [&](Repeater&) { rec.add("first"); });
    const auto second = r->observe([&](Repeater&) { rec.add("second"); });
    EXPECT_EQ(second, 2u) << "the constructor's observer is token 1";
    const auto third = r->observe([&](Repeater&) { rec.add("third"); });
    EXPECT_EQ(third, 3u);
    r->remove(second);
    r->remove(second);  // already gone: no effect
    r->start();
    ManualClock::advance(0.1);
    EXPECT_EQ(rec.take(), (Events{{"first", 100}, {"third", 100}}));
    r->remove(1);
    EXPECT_EQ(r->observe([](Repeater&) {}), 4u) << "tokens are never reused";

    r->removeAllObservers(false);
    EXPECT_TRUE(r->state().isRunning());
    ManualClock::advance(0.1);
    EXPECT_TRUE(rec.take().empty());
    r->removeAllObservers(true);
    EXPECT_EQ(r->state(), State::paused);
}

TEST(Repeater, ResetRestoresTheCountAndReplacesTheSchedule) {
    Recorder rec;
    auto r = Repeater::every(Interval::milliseconds(100), 5, [&](Repeater&) { rec.add("fire"); });
    rec.watch(*r);
    ManualClock::advance(0.25);
    EXPECT_EQ(r->remainingIterations(), 3);
    rec.take();
    r->reset(std::nullopt, false);
    EXPECT_EQ(rec.take(), (Events{{"state:idle/paused", 250}, {"state:idle/paused", 250}}));
    EXPECT_EQ(r->remainingIterations(), 5);
    EXPECT_EQ(r->state(), State::paused);
    ManualClock::advance(1.0);
    EXPECT_TRUE(rec.take().empty()) << "a reset without restart stays paused";

    // With a new interval and restart: paused, then running; first firing one interval from now.
    r->reset(Interval::milliseconds(300), true);
    EXPECT_EQ(r->interval(), Interval::milliseconds(300));
    ManualClock::advance(0.3);
    const Events expected{{"state:idle/paused", 1250}, {"state:running", 1250}, {"state:executing", 1550}, {"fire", 1550}};
    EXPECT_EQ(rec.take(), expected);
}

TEST(Repeater, FiniteCountOfZeroOrLessFinishesAtTheFirstFiring) {
    for (const std::int64_t count : {0, -3}) {
        Recorder rec;
        auto r = Repeater::every(Interval::milliseconds(100), count, [&](Repeater&) { rec.add("fire"); });
        EXPECT_EQ(r->remainingIterations(), count);
        ManualClock::advance(1.0);
        EXPECT_EQ(rec.take(), (Events{{"fire", 100}})) << "count " << count;
        EXPECT_EQ(r->state(), State::finished);
        EXPECT_EQ(r->remainingIterations(), 0);
    }
    // A manual firing of a finished finite repeater delivers, keeps the count at 0 and ends finished.
    Recorder rec;
    auto r = Repeater::every(Interval::milliseconds(100), 1, [&](Repeater&) { rec.add("fire"); });
    ManualClock::advance(0.2);
    r->fire(false);
    r->fire(false);
    EXPECT_EQ(rec.take().size(), 3u);
    EXPECT_EQ(r->remainingIterations(), 0);
    EXPECT_EQ(r->state(), State::finished);
    EXPECT_TRUE(r->start()) << "still restartable";
    ManualClock::advance(0.1);
    EXPECT_EQ(rec.take().size(), 1u);
}

TEST(Repeater, ManualFireNotifiesInOrderAndKeepsTheSuspensionBalanced) {
    Recorder rec;
    auto r = Repeater::every(Interval::milliseconds(100), [&](Repeater&) { rec.add("fire"); });
    rec.watch(*r);
    ManualClock::advance(0.15);
    rec.take();
    r->fire(true);  // on the caller's thread, before fire returns
    EXPECT_EQ(rec.take(), (Events{{"state:executing", 150}, {"fire", 150}, {"state:idle/paused", 150}}));
    ManualClock::advance(0.03);
    EXPECT_TRUE(rec.take().empty());

    // A manual firing of a paused repeater does not start it; starting it afterwards must
    // find the timer working (its suspend/resume calls stay balanced).
    r->fire(false);
    EXPECT_EQ(r->state(), State::paused);
    EXPECT_TRUE(r->start());
    ManualClock::advance(0.15);  // 330 ms
    const Events expected{{"state:executing", 180}, {"fire", 180},           {"state:idle/paused", 180},
                          {"state:running", 180},   {"state:executing", 200}, {"fire", 200},
                          {"state:executing", 300}, {"fire", 300}};
    EXPECT_EQ(rec.take(), expected);

    // On a finished once repeater: delivered, finished again, still restartable.
    auto once = Repeater::once(Interval::milliseconds(10), [&](Repeater&) { rec.add("once"); });
    rec.watch(*once);
    ManualClock::advance(0.02);
    rec.take();
    once->fire(false);
    EXPECT_EQ(rec.take(), (Events{{"state:executing", 350}, {"once", 350}, {"state:finished", 350}}));
    EXPECT_TRUE(once->start());
    ManualClock::advance(0.01);
    EXPECT_EQ(rec.take().back(), (std::pair<std::string, std::uint64_t>{"state:finished", 360}));
}

TEST(Repeater, CallbacksMayCallBackIntoTheRepeater) {
    Recorder rec;
    std::shared_ptr<Repeater> r = Repeater::make(Interval::milliseconds(100), Repeater::Mode::infinite(), [&](Repeater& self) {
        rec.add("fire");
        if (self.state().isRunning()) self.pause();  // from inside an observer
    });
    r->onStateChanged([&](Repeater& self, State s) {
        rec.add("state:" + std::string(s.description()));
        if (s == State::paused) self.observe([&](Repeater&) { rec.add("late"); });
    });
    r->start();
    ManualClock::advance(0.1);
    // The observer's pause is notified after the firing's round, in the order of the changes.
    const Events expected{{"state:running", 0}, {"state:executing", 100}, {"fire", 100}, {"state:idle/paused", 100}};
    EXPECT_EQ(rec.take(), expected);
    r->fire(false);
    EXPECT_EQ(rec.take(), (Events{{"state:executing", 100}, {"fire", 100}, {"late", 100}, {"state:idle/paused", 100}}));
}

TEST(Repeater, ReleasedRepeaterStopsDelivering) {
    Recorder rec;
    auto queue = platform::DispatchQueue::make("test.repeater.release");
    auto r = Repeater::every(Interval::milliseconds(100), std::nullopt, DispatchTimeInterval::milliseconds(5), queue,
                             [&](Repeater& self) { rec.add(self.queue()->isCurrent() ? "on queue" : "elsewhere"); });
    EXPECT_EQ(r->tolerance(), DispatchTimeInterval::milliseconds(5));
    ManualClock::advance(0.15);
    EXPECT_EQ(rec.take(), (Events{{"on queue", 100}}));
    r.reset();
    ManualClock::advance(1.0);
    EXPECT_TRUE(rec.take().empty());

    // A paused repeater and a finished one tear down cleanly too.
    auto paused = Repeater::make(Interval::milliseconds(100), Repeater::Mode::infinite(), nullptr);
    auto finished = Repeater::once(Interval::milliseconds(1), [](Repeater&) {});
    ManualClock::advance(0.01);
    EXPECT_EQ(finished->state(), State::finished);
    EXPECT_EQ(paused->state(), State::paused);
    EXPECT_EQ(State(State::paused).description(), "idle/paused");
}
