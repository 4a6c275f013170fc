// The timing utilities called from several threads while their timers fire. Run under
// ThreadSanitizer by `make test`; the assertions check the invariants that must survive any
// interleaving.
#include <QVToolbox/timing/Timing.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

using namespace QVToolbox;
using platform::Clock;
using platform::ManualClock;
using Interval = Repeater::Interval;
using State = Repeater::State;

namespace {

// Runs each worker on its own thread for `rounds` rounds of `perRound` calls (numbered 0, 1,
// 2...). In each round this (the main) thread advances the manual clock by 1 ms while the
// workers make their calls, so that timers fire meanwhile; the next round starts once every
// worker is done with this one. Returns once the queues are idle.
void runWhileTimeMoves(const std::vector<std::function<void(int)>>& workers, int rounds = 100, int perRound = 20) {
    std::atomic<int> round{0};
    std::vector<std::atomic<int>> finishedRound(workers.size());
    std::vector<std::thread> threads;
    for (std::size_t w = 0; w < workers.size(); ++w) {
        threads.emplace_back([&, w] {
            for (int r = 1; r <= rounds; ++r) {
                while (round.load() < r) std::this_thread::yield();
                for (int i = 0; i < perRound; ++i) workers[w]((r - 1) * perRound + i);
                finishedRound[w] = r;
            }
        });
    }
    for (int r = 1; r <= rounds; ++r) {
        round = r;
        ManualClock::advance(0.001);
        for (auto& f : finishedRound) {
            while (f.load() < r) std::this_thread::yield();
        }
    }
    for (auto& t : threads) t.join();
    ManualClock::drain();
}

// Flags callbacks that run at the same time as another one.
struct OverlapGuard {
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    void enter() {
        if (inside.fetch_add(1) != 0) overlapped = true;
    }
    void exit() { inside.fetch_sub(1); }
};

std::uint64_t nowNs() { return Clock::uptimeNanoseconds(); }

}  // namespace

TEST(RepeaterConcurrency, CallsFromOtherThreadsWhileItFiresKeepStateAndNotificationsConsistent) {
    OverlapGuard guard;
    std::atomic<int> fires{0};
    std::mutex mutex;
    std::vector<State> notified;  // guarded by mutex
    auto r = Repeater::every(Interval::milliseconds(1), [&](Repeater&) {
        guard.enter();
        ++fires;
        guard.exit();
    });
    r->onStateChanged([&](Repeater&, State s) {
        guard.enter();
        {
            std::lock_guard lock(mutex);
            notified.push_back(s);
        }
        guard.exit();
    });
    runWhileTimeMoves({
        [&](int i) {
            switch (i % 5) {
                case 0: r->pause(); break;
                case 1: r->start(); break;
                case 2: r->fire(i % 2 == 0); break;
                case 3: (void)r->state().isRunning(); break;
                default: (void)r->interval(); break;
            }
        },
        [&](int i) {
            const auto token = r->observe([&](Repeater& self) {
                guard.enter();
                (void)self.state();
                guard.exit();
            });
            if (i % 7 == 0) r->reset(std::nullopt, i % 2 == 0);
            if (i % 11 == 0) r->start();
            r->remove(token);
        },
    });
    EXPECT_FALSE(guard.overlapped.load()) << "callbacks are delivered one at a time";
    {
        std::lock_guard lock(mutex);
        ASSERT_FALSE(notified.empty());
        EXPECT_EQ(notified.back(), r->state()) << "the last notification is the final state";
    }
    // Whatever the interleaving, suspend and resume stayed balanced: the timer still runs.
    r->pause();
    EXPECT_TRUE(r->start());
    fires = 0;
    ManualClock::advance(0.01);
    EXPECT_GE(fires.load(), 9);
}

TEST(RepeaterConcurrency, FiniteCountNeverGoesBelowZeroUnderConcurrentManualFiring) {
    std::atomic<bool> negative{false};
    auto r = Repeater::every(Interval::milliseconds(1), 50, [&](Repeater& self) {
        if (self.remainingIterations().value_or(0) < 0) negative = true;
    });
    const auto fireMany = [&](int) { r->fire(false); };
    runWhileTimeMoves({fireMany, fireMany});
    ManualClock::advance(0.1);
    EXPECT_FALSE(negative.load());
    EXPECT_EQ(r->remainingIterations(), 0);
    EXPECT_EQ(r->state(), State::finished);
}

TEST(ThrottlerConcurrency, RunsStayAnIntervalApartUnderConcurrentCalls) {
    for (const auto mode : {QVThrottler::Mode::fixed, QVThrottler::Mode::deferred}) {
        std::mutex mutex;
        std::vector<std::uint64_t> runs;  // guarded by mutex
        auto t = QVThrottler::make(Interval::milliseconds(5), nullptr, mode, true, [&] {
            std::lock_guard lock(mutex);
            runs.push_back(nowNs());
        });
        const auto callMany = [&](int) { t->call(); };
        runWhileTimeMoves({callMany, callMany});
        ManualClock::advance(0.01);
        std::lock_guard lock(mutex);
        ASSERT_FALSE(runs.empty());
        for (std::size_t i = 1; i < runs.size(); ++i) {
            EXPECT_GE(runs[i] - runs[i - 1], 5'000'000u) << "runs " << i - 1 << " and " << i;
        }
    }
}

TEST(DebouncerConcurrency, ConcurrentCallsEndInOneRunAfterTheLastCall) {
    std::atomic<int> runs{0};
    auto d = QVDebouncer::make(Interval::milliseconds(20), [&] { ++runs; });
    const auto callMany = [&](int i) {
        d->call(i % 50 == 0 ? std::optional<Interval>(Interval::milliseconds(20)) : std::nullopt);
        if (i % 25 == 0) d->setCallback([&] { ++runs; });
    };
    runWhileTimeMoves({callMany, callMany});
    const int before = runs.load();
    ManualClock::advance(0.019);
    ManualClock::advance(0.05);
    EXPECT_EQ(runs.load() - before, 1) << "the last call's run, once";
}

TEST(WeakTimerConcurrency, PauseFireToleranceAndInvalidateFromOtherThreads) {
    std::atomic<int> events{0};
    auto t = HxWeakTimer::scheduledTimer(0.001, true, nullptr, [&](HxWeakTimer& timer) {
        ++events;
        (void)timer.userInfo();
    });
    runWhileTimeMoves({
        [&](int i) {
            if (i % 2 == 0) {
                t->pause();
            } else {
                t->fire();
            }
            (void)t->isValid();
            (void)t->fireDate();
        },
        [&](int i) {
            t->setTolerance(i % 3 == 0 ? std::nullopt : std::optional<double>(i % 10));
            t->setUserInfo(platform::Any(i));
        },
    });
    // Invalidated (repeatedly: only the first call acts) while events and pauses go on.
    runWhileTimeMoves({[&](int) { t->invalidate(); }, [&](int i) { i % 2 ? t->fire() : t->pause(); }}, 5);
    EXPECT_EQ(t->state(), HxWeakTimer::State::invalidate);
    const int settled = events.load();
    ManualClock::advance(0.05);
    EXPECT_EQ(events.load(), settled) << "nothing after invalidate";
}

namespace {
std::atomic<int> pings{0};
class Pinged : public platform::NSObjectSubclass<Pinged, platform::NSObject, "Pinged"> {
public:
    static void registerClass(platform::ObjCClass& c) {
        c.addMethod("ping", [](NSObject&, const platform::Any::List&) {
            ++pings;
            return platform::Any();
        });
    }
};
}  // namespace

TEST(WeakTimerConcurrency, TargetReleasedOnAnotherThreadWhileEventsArrive) {
    auto target = std::make_shared<Pinged>();
    std::weak_ptr<Pinged> weak = target;
    auto t = HxWeakTimer::scheduledTimer(0.001, target, "ping", std::nullopt, true);
    runWhileTimeMoves({[&](int i) {
        if (i == 100) target.reset();
    }});
    ManualClock::advance(0.01);
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(t->isValid());
    const int settled = pings.load();
    ManualClock::advance(0.01);
    EXPECT_EQ(pings.load(), settled) << "a released target receives nothing";
}

TEST(TimingConcurrency, ObjectsMadeAndReleasedOnOtherThreadsWhileTheirTimersFire) {
    std::atomic<int> calls{0};
    const auto churn = [&](int i) {
        auto r = Repeater::every(Interval::microseconds(500), [&](Repeater&) { ++calls; });
        auto w = HxWeakTimer::scheduledTimer(0.001, true, nullptr, [&](HxWeakTimer&) { ++calls; });
        auto th = QVThrottler::make(Interval::milliseconds(1), nullptr, QVThrottler::Mode::deferred, true,
                                    [&] { ++calls; });
        auto d = QVDebouncer::make(Interval::microseconds(500), [&] { ++calls; });
        th->call();
        d->call();
        if (i % 2 == 0) r->fire(true);
    };
    runWhileTimeMoves({churn, churn});
    const int settled = calls.load();
    ManualClock::advance(0.05);
    EXPECT_EQ(calls.load(), settled) << "released objects deliver nothing more";
}
