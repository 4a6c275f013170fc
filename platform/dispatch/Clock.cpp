#include <QVPlatform/dispatch/Clock.h>

#include <QVPlatform/dispatch/detail/Activity.h>
#include <QVPlatform/dispatch/detail/Scheduler.h>

#include <atomic>
#include <chrono>

namespace platform {

namespace {

std::atomic<bool> manual{false};
std::atomic<std::uint64_t> manualUptime{0};
std::atomic<double> manualWallAtBase{0};
std::atomic<std::uint64_t> manualUptimeBase{0};

std::uint64_t systemUptime() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

}  // namespace

namespace detail {
// Used by the scheduler to move the manual clock to a released deadline (never backwards).
void setManualUptimeAtLeast(std::uint64_t uptime) {
    std::uint64_t current = manualUptime.load();
    while (current < uptime && !manualUptime.compare_exchange_weak(current, uptime)) {
    }
}
}  // namespace detail

std::uint64_t Clock::uptimeNanoseconds() { return manual.load() ? manualUptime.load() : systemUptime(); }

double Clock::wallSeconds() {
    if (manual.load()) {
        const auto elapsed = manualUptime.load() - manualUptimeBase.load();
        return manualWallAtBase.load() + static_cast<double>(elapsed) / 1e9;
    }
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

bool Clock::isManual() { return manual.load(); }

void Clock::useManualClock(double wallSecondsSince1970) {
    const auto now = manual.load() ? manualUptime.load() : systemUptime();
    manualUptime = now;
    manualUptimeBase = now;
    manualWallAtBase = wallSecondsSince1970;
    manual = true;
    detail::schedulerClockChanged();
}

void Clock::useSystemClock() {
    manual = false;
    detail::schedulerClockChanged();
    detail::activityChanged();
}

void Clock::advance(double seconds) {
    if (!(seconds > 0)) {
        advanceNanoseconds(0);
        return;
    }
    const double ns = seconds * 1e9;
    advanceNanoseconds(ns >= 1.8e19 ? UINT64_MAX / 2 : static_cast<std::uint64_t>(ns));
}

void Clock::advanceNanoseconds(std::uint64_t nanoseconds) {
    const auto now = manualUptime.load();
    const auto target = nanoseconds > UINT64_MAX - now ? UINT64_MAX : now + nanoseconds;
    advanceTo(target);
}

void Clock::advanceTo(std::uint64_t target) {
    if (!manual.load()) return;
    for (;;) {
        detail::waitForQuiescence();
        if (!detail::releaseNextDue(target)) break;
    }
    detail::setManualUptimeAtLeast(target);
    detail::activityChanged();
    detail::waitForQuiescence();
}

void Clock::drain() { detail::waitForQuiescence(); }

bool Clock::waitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                      std::uint64_t deadlineUptime, const std::function<bool()>& ready) {
    for (;;) {
        if (ready()) return true;
        if (uptimeNanoseconds() >= deadlineUptime) return false;
        if (manual.load()) {
            // Manual time moves on another thread; look again shortly.
            cv.wait_for(lock, std::chrono::milliseconds(1));
        } else {
            const auto remaining = deadlineUptime - systemUptime();
            cv.wait_for(lock, std::chrono::nanoseconds(std::min<std::uint64_t>(remaining, 50'000'000)));
        }
    }
}

}  // namespace platform
