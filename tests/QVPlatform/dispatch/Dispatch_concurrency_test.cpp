#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/DispatchSource.h>
#include <QVPlatform/dispatch/DispatchWorkItem.h>

#include <gtest/gtest.h>

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
