#include <QVToolbox/core/Asyncs.h>

#include <gtest/gtest.h>

#include <cmath>

#include <atomic>
#include <thread>
#include <vector>

using namespace QVToolbox;

TEST(OnceConcurrency, ConcurrentFirstCallsRunTheBlockExactlyOnce) {
    std::atomic<int> runs{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i) HxAsyncs::once("concurrent-" + std::to_string(i), [&] { ++runs; });
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(runs.load(), 100);
}
