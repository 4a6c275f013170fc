#include <QVPlatform/dispatch/detail/Activity.h>

#include <QVPlatform/dispatch/RunLoop.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform::detail {

namespace {

struct Activity {
    std::mutex mutex;  // guards outstanding and generation
    std::condition_variable changed;
    std::int64_t outstanding = 0;
    std::uint64_t generation = 0;
};

Activity& activity() {
    static auto* instance = new Activity();
    return *instance;
}

}  // namespace

void workQueued() {
    auto& a = activity();
    std::lock_guard lock(a.mutex);
    ++a.outstanding;
}

void workFinished() {
    auto& a = activity();
    std::lock_guard lock(a.mutex);
    if (--a.outstanding == 0) a.changed.notify_all();
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
