#include <QVToolbox/QVToolbox.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace QVToolbox;
using platform::Date;

// hx_formatter is shared: members that set its pattern and use it may run on any thread.
TEST(DateHelpersConcurrency, SharedFormatterMembersFromManyThreads) {
    withHxFormatter([](platform::DateFormatter& f) { f.setTimeZone(*platform::TimeZone::named("UTC")); });
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 100; ++i) {
                const bool ok = t % 2 == 0
                                    ? timestampToFormatterTimeString("0000000000", "yyyy-MM-dd") == "1970-01-01"
                                    : hx(Date(0)).monthAsString() == "一月";
                if (!ok) ++wrong;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}
