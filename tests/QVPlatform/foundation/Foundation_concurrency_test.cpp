#include <QVPlatform/foundation/NSCache.h>
#include <QVPlatform/foundation/NotificationCenter.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace platform;

TEST(NotificationCenterConcurrency, PostsFromManyThreadsWhileObserversComeAndGo) {
    NSNotificationCenter center;
    std::atomic<int> permanentCalls{0};
    std::atomic<int> transientCalls{0};
    auto permanent = center.addObserver("tick", nullptr, [&](const NSNotification&) { permanentCalls.fetch_add(1); });

    constexpr int kPosters = 4, kPosts = 500;
    std::atomic<bool> stop{false};
    std::vector<std::thread> churners;
    for (int c = 0; c < 2; ++c) {
        churners.emplace_back([&] {
            while (!stop.load()) {
                auto token = center.addObserver(std::nullopt, nullptr, [&](const NSNotification&) {
                    transientCalls.fetch_add(1);
                });
                center.removeObserver(token);
            }
        });
    }
    // An observer that removes itself from inside its delivery while others post.
    NSNotificationCenter::ObserverToken once;
    std::atomic<int> onceCalls{0};
    std::mutex onceMutex;
    {
        std::lock_guard lock(onceMutex);
        once = center.addObserver("tick", nullptr, [&](const NSNotification&) {
            onceCalls.fetch_add(1);
            std::lock_guard lock(onceMutex);
            center.removeObserver(once);
        });
    }
    std::vector<std::thread> posters;
    for (int p = 0; p < kPosters; ++p) {
        posters.emplace_back([&, p] {
            for (int i = 0; i < kPosts; ++i) center.post("tick", Any(p), Any::Dictionary{{"i", i}});
        });
    }
    for (auto& t : posters) t.join();
    stop.store(true);
    for (auto& t : churners) t.join();

    EXPECT_EQ(permanentCalls.load(), kPosters * kPosts);
    // Posts already under way when it removed itself may still reach it, one per poster at most.
    EXPECT_GE(onceCalls.load(), 1);
    EXPECT_LE(onceCalls.load(), kPosters);
    center.removeObserver(permanent);
}

TEST(NSCacheConcurrency, LimitsHoldUnderConcurrentUse) {
    NSCache<int, std::shared_ptr<std::string>> cache;
    cache.setCountLimit(64);
    cache.setTotalCostLimit(1000);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                const int key = (i * 7 + t) % 200;
                cache.setObject(std::make_shared<std::string>(std::to_string(key)), key, static_cast<std::size_t>(key % 20));
                if (auto v = cache.objectForKey((key + 3) % 200)) {
                    EXPECT_EQ(**v, std::to_string((key + 3) % 200));
                }
                if (i % 97 == 0) cache.removeObjectForKey(key);
                if (i % 501 == 0 && t == 0) cache.removeAllObjects();
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_LE(cache.count(), 64u);
    EXPECT_LE(cache.totalCost(), 1000u);
}
