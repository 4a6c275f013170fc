// Theme observers registered from several threads while updates are posted and run: every
// observer that stays alive is registered once and applied by each update that follows it.
#include <QVToolbox/UIKitExtension/ThemeProvider.h>

#include <QVPlatform/dispatch/RunLoop.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace QVToolbox;

namespace {

struct CountingObserver : HxThemeable {
    void apply() override { applied.fetch_add(1, std::memory_order_relaxed); }
    std::atomic<int> applied{0};
};

}  // namespace

TEST(ThemeProviderConcurrency, RegistrationFromThreadsWhileNotifyingKeepsEveryLiveObserver) {
    LegacyThemeProvider provider;
    constexpr int kThreads = 4;
    constexpr int kPerThread = 200;
    std::vector<std::vector<std::shared_ptr<CountingObserver>>> kept(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&provider, &mine = kept[t]] {
            for (int i = 0; i < kPerThread; ++i) {
                auto observer = std::make_shared<CountingObserver>();
                provider.register_(observer);
                if (i % 2 == 0) mine.push_back(std::move(observer));  // the others are released at once
                if (i % 50 == 0) provider.updateTheme();
            }
        });
    }
    for (int round = 0; round < 20; ++round) {
        provider.updateTheme();
        platform::RunLoop::main().runUntilIdle();
    }
    for (auto& thread : threads) thread.join();
    platform::RunLoop::main().runUntilIdle();

    EXPECT_EQ(provider.observers().size(), static_cast<std::size_t>(kThreads * kPerThread / 2));
    provider.updateTheme();
    platform::RunLoop::main().runUntilIdle();
    for (const auto& mine : kept) {
        for (const auto& observer : mine) EXPECT_GE(observer->applied.load(), 1);
    }
}
