#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/DispatchSource.h>
#include <QVPlatform/dispatch/DispatchWorkItem.h>
#include <QVPlatform/dispatch/detail/ThreadPool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

using namespace platform;

TEST(DispatchConcurrency, SerialQueueExcludesAndBarriersRunAlone) {
    auto serial = DispatchQueue::make("c.serial");
    int counter = 0;  // only touched on the serial queue
    std::vector<std::thread> producers;
    for (int t = 0; t < 4; ++t) {
        producers.emplace_back([&] {
            for (int i = 0; i < 250; ++i) serial->async([&] { ++counter; });
        });
    }
    for (auto& t : producers) t.join();
    EXPECT_EQ(serial->sync<int>([&] { return counter; }), 1000);

    auto concurrent = DispatchQueue::make("c.concurrent", DispatchQueue::Attributes::concurrent);
    std::atomic<int> running{0};
    std::atomic<bool> barrierSawOthers{false};
    int guarded = 0;  // written only by barriers
    for (int i = 0; i < 200; ++i) {
        if (i % 20 == 0) {
            concurrent->async([&] {
                if (running.load() != 0) barrierSawOthers = true;
                ++guarded;
            }, DispatchWorkItemFlags::barrierFlag());
        } else {
            concurrent->async([&] {
                ++running;
                --running;
            });
        }
    }
    concurrent->sync([] {}, DispatchWorkItemFlags::barrierFlag());
    EXPECT_FALSE(barrierSawOthers.load());
    EXPECT_EQ(guarded, 10);
}

TEST(DispatchConcurrency, TimerSourceControlledFromManyThreadsWhileFiring) {
    ManualClock::stop();
    auto q = DispatchQueue::make("c.timer");
    auto timer = DispatchSource::makeTimerSource(q);
    std::atomic<int> fired{0};
    timer->setEventHandler([&] { ++fired; });
    timer->schedule(DispatchTime::now(), DispatchTimeInterval::microseconds(100));
    timer->resume();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                timer->suspend();
                timer->resume();
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(timer->suspendCount(), 0);
    timer->cancel();
    q->sync([] {});
    const int after = fired.load();
    q->sync([] {});
    EXPECT_EQ(fired.load(), after) << "no event after cancel";
    ManualClock::start();
}

TEST(DispatchConcurrency, WorkItemsCancelledAndWaitedFromOtherThreads) {
    std::atomic<int> ran{0};
    std::vector<DispatchWorkItemPtr> items;
    for (int i = 0; i < 100; ++i) items.push_back(DispatchWorkItem::make([&] { ++ran; }));
    std::thread canceller([&] {
        for (std::size_t i = 0; i < items.size(); i += 2) items[i]->cancel();
    });
    for (auto& item : items) DispatchQueue::global()->async(item);
    canceller.join();
    for (auto& item : items) item->wait();
    EXPECT_GE(ran.load(), 50);
    EXPECT_LE(ran.load(), 100);
}

namespace {

// More blocks than the pool keeps running: each of them waits for others.
int moreThanCores() { return 2 * static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) + 2; }

}  // namespace

TEST(DispatchConcurrency, BlocksWaitingForWorkOnTheSameGlobalQueueAllFinish) {
    // Every waiter is queued before the work it waits for: with only one worker per core they
    // would hold every worker and the awaited items would never start.
    const int count = moreThanCores();
    auto global = DispatchQueue::global();
    std::vector<DispatchWorkItemPtr> items;
    for (int i = 0; i < count; ++i) items.push_back(DispatchWorkItem::make([] {}));
    std::atomic<int> waited{0};
    for (int i = 0; i < count; ++i) {
        global->async([&, i] {
            items[static_cast<std::size_t>(i)]->wait();
            ++waited;
        });
    }
    for (auto& item : items) global->async(item);
    ManualClock::drain();
    EXPECT_EQ(waited.load(), count);

    // Each block syncs onto a concurrent queue whose blocks wait until all of them run at once:
    // twice as many blocked threads as blocks, all at the same time.
    auto inner = DispatchQueue::make("c.inner", DispatchQueue::Attributes::concurrent);
    auto everyoneIn = DispatchWorkItem::make([] {});
    std::atomic<int> arrived{0};
    std::atomic<int> synced{0};
    for (int i = 0; i < count; ++i) {
        global->async([&] {
            inner->sync([&] {
                if (++arrived == count) everyoneIn->perform();
                everyoneIn->wait();
            });
            ++synced;
        });
    }
    ManualClock::drain();
    EXPECT_EQ(synced.load(), count);

    // The stand-ins started for blocked workers have retired.
    const auto size = detail::settledPoolSize();
    EXPECT_LE(size.workers, size.target);
}

TEST(DispatchConcurrency, TimerHandlerThatBlocksLeavesOtherTimersFiring) {
    ManualClock::stop();
    // The first timer's handler blocks until the second timer's handler opens the gate. Both
    // timers are armed before either fires, so the second fires only if the thread that
    // released the first handed the waiting for deadlines on before running its handler.
    const auto round = [](int blockers) {
        auto gate = DispatchWorkItem::make([] {});
        for (int i = 0; i < blockers; ++i) DispatchQueue::global()->async([gate] { gate->wait(); });
        auto opener = DispatchSource::makeTimerSource(DispatchQueue::make("c.opener"));
        opener->setEventHandler([gate] { gate->perform(); });
        opener->schedule(DispatchTime::now() + DispatchTimeInterval::milliseconds(1));
        auto blocking = DispatchSource::makeTimerSource(DispatchQueue::make("c.blocking"));
        blocking->setEventHandler([gate] { gate->wait(); });
        blocking->schedule(DispatchTime::now());
        opener->resume();
        blocking->resume();
        gate->wait();
        ManualClock::drain();
        opener->cancel();
        blocking->cancel();
    };
    // Idle workers wait for the deadlines ...
    DispatchQueue::global()->sync([] {});
    EXPECT_GE(detail::settledPoolSize().workers, 1);
    round(0);
    // ... and while every worker is blocked, the timekeeper does.
    round(moreThanCores());
    ManualClock::start();
}

TEST(DispatchConcurrency, TimerHandlersAndBlocksOnOneSerialQueueNeverOverlap) {
    ManualClock::stop();
    auto q = DispatchQueue::make("c.serial-timer");
    std::atomic<bool> inside{false};
    std::atomic<bool> overlapped{false};
    int touched = 0;  // a plain int: overlapping blocks would race on it
    const auto body = [&] {
        if (inside.exchange(true)) overlapped = true;
        ++touched;
        inside = false;
    };
    auto enough = DispatchWorkItem::make([] {});
    std::atomic<int> ticks{0};
    auto timer = DispatchSource::makeTimerSource(q);
    timer->setEventHandler([&] {
        body();
        if (++ticks == 50) enough->perform();
    });
    timer->schedule(DispatchTime::now(), DispatchTimeInterval::microseconds(50));
    timer->resume();
    do {  // blocks submitted and run in place on the caller, between the firings
        q->async(body);
        q->sync(body);
    } while (enough->wait(DispatchTime::now()) == DispatchTimeoutResult::timedOut);
    timer->cancel();
    q->sync([] {});
    EXPECT_FALSE(overlapped.load());
    EXPECT_GE(q->sync<int>([&] { return touched; }), 50);
    ManualClock::start();
}
