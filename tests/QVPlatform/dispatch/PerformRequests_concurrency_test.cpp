#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/PerformRequests.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace platform;

namespace {

class Counter : public NSObjectSubclass<Counter, NSObject, "PerformCounter"> {
public:
    static void registerClass(ObjCClass& cls) {
        cls.addMethod("count", [](NSObject& self, const Any::List&) {
            ++static_cast<Counter&>(self).count;
            return Any();
        });
    }
    std::atomic<int> count{0};
};

}  // namespace

// Threads schedule and cancel requests while the main thread sends the due ones: every
// request not cancelled is sent once, none cancelled is sent, and nothing races.
TEST(PerformRequestsConcurrency, ScheduleAndCancelFromOtherThreadsWhileTheMainLoopSends) {
    RunLoop::setMainThread();
    ManualClock::start();
    auto kept = std::make_shared<Counter>();
    auto dropped = std::make_shared<Counter>();
    std::atomic<int> done{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 100; ++i) {
                performAfterDelay(kept, "count", Any(), 0.01 * (i % 5) + 1000);  // due after the cancels
                performAfterDelay(dropped, "count", Any(), 1000);
                if (i % 10 == t) cancelPreviousPerformRequests(*dropped);
            }
            ++done;
        });
    }
    while (done.load() < 2) ManualClock::advance(0.001);
    for (auto& thread : threads) thread.join();
    cancelPreviousPerformRequests(*dropped);
    ManualClock::advance(1001);
    EXPECT_EQ(kept->count.load(), 200);
    EXPECT_EQ(dropped->count.load(), 0);
    ManualClock::stop();
}
