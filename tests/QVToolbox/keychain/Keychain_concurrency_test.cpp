#include "support/KeychainHome.h"

#include <QVToolbox/keychain/Keychain.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace QVToolbox {
namespace {

TEST(KeychainConcurrency, TwoThreadsSettingTheSameNewKeysNeverThrowOrLoseAWrite) {
    qvtest::KeychainHome home;
    auto keychain = Keychain::make("race");
    constexpr int kRounds = 1000;
    std::atomic<int> failures{0};
    auto writer = [&](const std::string& name) {
        for (int i = 0; i < kRounds; ++i) {
            try {
                keychain->set(name + std::to_string(i), "key" + std::to_string(i));
            } catch (const KeychainError&) {
                failures.fetch_add(1);
            }
        }
    };
    std::thread a(writer, "a");
    std::thread b(writer, "b");
    a.join();
    b.join();
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < kRounds; ++i) {
        const auto value = keychain->get("key" + std::to_string(i));
        ASSERT_TRUE(value) << i;
        EXPECT_TRUE(*value == "a" + std::to_string(i) || *value == "b" + std::to_string(i)) << *value;
    }
    EXPECT_EQ(keychain->allKeys().size(), static_cast<std::size_t>(kRounds));
}

TEST(KeychainConcurrency, ReadersOnManyThreadsEachGetTheirOwnSecret) {
    qvtest::KeychainHome home;
    auto keychain = Keychain::make("readers");
    constexpr int kKeys = 8;
    for (int k = 0; k < kKeys; ++k) keychain->set("secret-" + std::to_string(k), "key" + std::to_string(k));
    // Secrets are opened outside the store's lock, on cipher contexts shared through a pool.
    std::atomic<int> wrong{0};
    auto reader = [&](int offset) {
        for (int i = 0; i < 300; ++i) {
            const int k = (i + offset) % kKeys;
            if (keychain->get("key" + std::to_string(k)) != "secret-" + std::to_string(k)) wrong.fetch_add(1);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(reader, t);
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace QVToolbox
