#include <QVToolbox/timing/WeakTimer.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/base/Debug.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

using namespace QVToolbox;
using platform::Any;
using platform::Clock;
using platform::ManualClock;
using platform::Date;
using platform::DispatchTimeInterval;
using State = HxWeakTimer::State;

namespace {

std::uint64_t startOfTest = 0;

std::uint64_t nowMs() { return (Clock::uptimeNanoseconds() - startOfTest) / 1'000'000; }

// A target that records the messages it receives, with their argument and the clock reading.
class TickTarget : public platform::NSObjectSubclass<TickTarget, platform::NSObject, "TickTarget"> {
public:
    static void registerClass(platform::ObjCClass& c) {
        c.addMethod("tick", [](NSObject& self, const Any::List& args) {
            static_cast<TickTarget&>(self).record("tick", args);
            return Any();
        });
        c.addMethod("tick:", [](NSObject& self, const Any::List& args) {
            static_cast<TickTarget&>(self).record("tick:", args);
            return Any();
        });
    }

    std::vector<std::string> received;  // main thread only

private:
    void record(const std::string& selector, const Any::List& args) {
        std::string entry = selector + "@" + std::to_string(nowMs());
        if (!args.empty()) entry += " " + (args[0].isNull() ? std::string("(null)") : args[0].string());
        if (!platform::RunLoop::isMainThread()) entry += " off main";
        received.push_back(entry);
    }
};

// Clock readings of block events.
struct Events {
    std::mutex mutex;
    std::vector<std::uint64_t> at;
    void add() {
        std::lock_guard lock(mutex);
        at.push_back(nowMs());
    }
    std::vector<std::uint64_t> take() {
        std::lock_guard lock(mutex);
        return std::exchange(at, {});
    }
};

class HxWeakTimerTest : public testing::Test {
protected:
    void SetUp() override { startOfTest = Clock::uptimeNanoseconds(); }
};

}  // namespace

TEST_F(HxWeakTimerTest, ScheduledBlockTimerFiresAtOnceThenEveryIntervalWithHalfIntervalLeeway) {
    Events events;
    auto queue = platform::DispatchQueue::make("test.weaktimer");
    bool onQueue = true;
    auto t = HxWeakTimer::scheduledTimer(2.0, true, queue, [&](HxWeakTimer&) {
        onQueue = onQueue && queue->isCurrent();
        events.add();
    });
    EXPECT_EQ(t->state(), State::executing);
    EXPECT_TRUE(t->isValid());
    EXPECT_EQ(t->fireDate(), Date::now());
    EXPECT_EQ(t->leeway(), DispatchTimeInterval::milliseconds(1000));
    EXPECT_FALSE(t->tolerance().has_value());
    ManualClock::advance(4.5);
    EXPECT_EQ(events.take(), (std::vector<std::uint64_t>{0, 2000, 4000}));
    EXPECT_TRUE(onQueue) << "blocks run on the timer's queue";

    // A changed tolerance reschedules: an event at once, then the period from there.
    t->setTolerance(50);
    EXPECT_EQ(t->leeway(), DispatchTimeInterval::milliseconds(50));
    ManualClock::advance(2.0);
    EXPECT_EQ(events.take(), (std::vector<std::uint64_t>{4500, 6500}));
    t->setTolerance(50);  // the same value: nothing changes
    ManualClock::advance(0.5);
    EXPECT_TRUE(events.take().empty());
    t->setTolerance(std::nullopt);  // present to absent counts as a change
    EXPECT_EQ(t->leeway(), DispatchTimeInterval::milliseconds(1000));
    ManualClock::advance(0);
    EXPECT_EQ(events.take(), (std::vector<std::uint64_t>{7000}));
}

TEST_F(HxWeakTimerTest, PauseFireAndInvalidate) {
    Events events;
    auto t = HxWeakTimer::make(1.0, true, nullptr, [&](HxWeakTimer&) { events.add(); });
    EXPECT_EQ(t->state(), State::initialization);
    EXPECT_FALSE(t->isValid());
    EXPECT_FALSE(t->fireDate().has_value());
    ManualClock::advance(3.0);
    EXPECT_TRUE(events.take().empty()) << "made, not started";
    t->fire();
    ManualClock::advance(1.5);
    EXPECT_EQ(events.take(), (std::vector<std::uint64_t>{3000, 4000}));

    t->pause();
    EXPECT_EQ(t->state(), State::pause);
    ManualClock::advance(2.0);  // 6.5 s
    EXPECT_TRUE(events.take().empty());
    t->fire();  // resumes: the deadlines missed while paused merge into one event now
    EXPECT_EQ(t->fireDate(), Date::now());
    const auto started = t->fireDate();
    ManualClock::advance(0.6);
    EXPECT_EQ(events.take(), (std::vector<std::uint64_t>{6500, 7000}));
    t->fire();  // already running: nothing
    EXPECT_EQ(t->fireDate(), started);
    ManualClock::advance(0);
    EXPECT_TRUE(events.take().empty());

    t->invalidate();
    EXPECT_EQ(t->state(), State::invalidate);
    EXPECT_FALSE(t->isValid());
    EXPECT_FALSE(t->leeway().has_value()) << "the source is gone";
    t->invalidate();
    t->fire();
    t->pause();
    EXPECT_EQ(t->state(), State::invalidate);
    ManualClock::advance(5.0);
    EXPECT_TRUE(events.take().empty());

    // Invalidating a paused timer and one never started leaves no suspended source behind.
    auto paused = HxWeakTimer::scheduledTimer(1.0, true, nullptr, [&](HxWeakTimer&) { events.add(); });
    paused->pause();
    paused->invalidate();
    auto fresh = HxWeakTimer::make(1.0, true, nullptr, [&](HxWeakTimer&) { events.add(); });
    fresh->invalidate();
    EXPECT_EQ(fresh->state(), State::invalidate);
    ManualClock::advance(3.0);
    EXPECT_TRUE(events.take().empty());
}

TEST_F(HxWeakTimerTest, OneShotDeliversOneEventAndStaysValid) {
    Events events;
    auto t = HxWeakTimer::scheduledTimer(0.5, false, nullptr, [&](HxWeakTimer&) { events.add(); });
    ManualClock::advance(3.0);
    EXPECT_EQ(events.take(), (std::vector<std::uint64_t>{0}));
    EXPECT_TRUE(t->isValid());
    EXPECT_EQ(t->leeway(), DispatchTimeInterval::milliseconds(250));

    // A block may invalidate its own timer; a released timer stops.
    auto self = HxWeakTimer::scheduledTimer(1.0, true, nullptr, [&](HxWeakTimer& timer) {
        events.add();
        timer.invalidate();
    });
    auto released = HxWeakTimer::scheduledTimer(1.0, true, nullptr, [&](HxWeakTimer&) { events.add(); });
    released.reset();
    ManualClock::advance(3.0);
    EXPECT_EQ(events.take(), (std::vector<std::uint64_t>{3000}));
    EXPECT_EQ(self->state(), State::invalidate);
}

TEST_F(HxWeakTimerTest, TargetActionOnTheMainQueueWithAndWithoutUserInfo) {
    auto target = std::make_shared<TickTarget>();
    auto withInfo = HxWeakTimer::scheduledTimer(1.0, target, "tick:", Any("payload"), true);
    auto without = HxWeakTimer::scheduledTimer(1.5, target, "tick", std::nullopt, false);
    ManualClock::advance(2.0);
    const std::vector<std::string> expected{"tick:@0 payload", "tick@0", "tick:@1000 payload", "tick:@2000 payload"};
    EXPECT_EQ(target->received, expected);
    EXPECT_EQ(withInfo->userInfo()->string(), "payload");

    withInfo->setUserInfo(Any("changed"));
    ManualClock::advance(1.0);
    EXPECT_EQ(target->received.back(), "tick:@3000 changed");
    withInfo->setUserInfo(std::nullopt);
    ManualClock::advance(1.0);
    // Without userInfo the message is sent without argument: the method's parameter is null.
    EXPECT_EQ(target->received.back(), "tick:@4000 (null)");
}

TEST_F(HxWeakTimerTest, ReleasedTargetReceivesNothingAndTheTimerStaysValid) {
    auto target = std::make_shared<TickTarget>();
    std::weak_ptr<TickTarget> weak = target;
    auto t = HxWeakTimer::make(1.0, target, "tick", std::nullopt, true);
    target.reset();
    EXPECT_TRUE(weak.expired()) << "the timer does not hold its target";
    t->fire();
    ManualClock::advance(3.0);
    EXPECT_TRUE(t->isValid());
    EXPECT_EQ(t->state(), State::executing);

    // A selector the target does not know is reported on the debug channel, not raised.
    std::vector<std::string> messages;
    auto previous = platform::setDebugSink([&](std::string_view m, std::string_view) { messages.emplace_back(m); });
    auto alive = std::make_shared<TickTarget>();
    auto unknown = HxWeakTimer::scheduledTimer(1.0, alive, "missing:", Any(1), false);
    ManualClock::advance(0);
    platform::setDebugSink(previous);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("missing:"), std::string::npos);
    EXPECT_TRUE(alive->received.empty());
}

TEST_F(HxWeakTimerTest, FireDateConstructorsStartAtTheirDate) {
    Events events;
    const Date at = Date::now().addingTimeInterval(1.5);
    auto t = HxWeakTimer::make(at, 1.0, true, nullptr, [&](HxWeakTimer&) { events.add(); });
    EXPECT_EQ(t->fireDate(), at);
    EXPECT_EQ(t->state(), State::initialization);
    ManualClock::advance(1.0);
    EXPECT_TRUE(events.take().empty());
    ManualClock::advance(2.0);
    EXPECT_EQ(events.take(), (std::vector<std::uint64_t>{1500, 2500}));
    EXPECT_EQ(t->state(), State::executing);
    EXPECT_EQ(t->fireDate(), at);

    auto target = std::make_shared<TickTarget>();
    auto action = HxWeakTimer::make(Date::now().addingTimeInterval(0.5), 1.0, target, "tick", std::nullopt, false);
    ManualClock::advance(1.0);
    EXPECT_EQ(target->received, (std::vector<std::string>{"tick@3500"}));

    // A timer invalidated before its date does not start.
    t->invalidate();
    Events none;
    auto cancelled = HxWeakTimer::make(Date::now().addingTimeInterval(0.5), 1.0, true, nullptr,
                                       [&](HxWeakTimer&) { none.add(); });
    cancelled->invalidate();
    ManualClock::advance(2.0);
    EXPECT_TRUE(none.take().empty());
}

TEST_F(HxWeakTimerTest, PlainTimerAndRawValues) {
    auto plain = HxWeakTimer::make();
    EXPECT_EQ(plain->state(), State::none);
    plain->fire();
    plain->pause();
    plain->setTolerance(10);
    plain->invalidate();
    EXPECT_EQ(plain->state(), State::none) << "no source: every operation is a no-op";
    EXPECT_FALSE(plain->isValid());
    EXPECT_FALSE(plain->leeway().has_value());

    EXPECT_FALSE(State::fromRawValue(105).has_value());
    EXPECT_FALSE(State::fromRawValue(99).has_value());
    EXPECT_EQ(State::fromRawValue(102), State::executing);
    EXPECT_EQ(State(State::invalidate).rawValue(), 104);
    EXPECT_EQ(State::fromRawValue(100)->rawValue(), 100);
}
