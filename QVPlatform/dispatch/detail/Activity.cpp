#include <QVPlatform/dispatch/detail/Activity.h>

#include <QVPlatform/dispatch/RunLoop.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform::detail {

namespace {

struct Activity {
    // Counted without the lock on the hot path; the lock is taken only to wake waiters, and
    // waiters test under it, so no wake-up is lost. A finisher takes the lock only when a
    // waiter has announced itself: the waiter announces before it tests and the finisher
    // counts down before it looks (both sequentially consistent), so one of them sees the other.
    std::atomic<std::int64_t> outstanding{0};
    std::atomic<int> waiters{0};
    std::mutex mutex;  // guards generation; orders wake-ups with waiters' tests
    std::condition_variable changed;
    std::uint64_t generation = 0;
};

Activity& activity() {
    static auto* instance = new Activity();
    return *instance;
}

}  // namespace

void workQueued() { activity().outstanding.fetch_add(1, std::memory_order_relaxed); }

void workFinished() {
    auto& a = activity();
    if (a.outstanding.fetch_sub(1) == 1 && a.waiters.load() > 0) {
        std::lock_guard lock(a.mutex);
        a.changed.notify_all();
    }
}

void activityChanged() {
    auto& a = activity();
    std::lock_guard lock(a.mutex);
    ++a.generation;
    a.changed.notify_all();
}

void waitForQuiescence() {
    auto& a = activity();
    const bool onMain = RunLoop::isMainThread();
    a.waiters.fetch_add(1);
    struct Leave {
        std::atomic<int>& waiters;
        ~Leave() { waiters.fetch_sub(1); }
    } leave{a.waiters};
    for (;;) {
        if (onMain) RunLoop::main().runUntilIdle();
        std::unique_lock lock(a.mutex);
        const auto seen = a.generation;
        if (a.outstanding == 0) {
            lock.unlock();
            if (!onMain || !RunLoop::main().hasPendingWork()) return;
            continue;
        }
        a.changed.wait(lock, [&] { return a.outstanding == 0 || a.generation != seen; });
    }
}

}  // namespace platform::detail
