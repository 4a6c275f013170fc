#include <QVPlatform/base/Clock.h>

#include <QVPlatform/base/Saturating.h>

#include <algorithm>
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

std::uint64_t Clock::uptimeNanoseconds() { return manual.load() ? manualUptime.load() : systemUptime(); }

double Clock::wallSeconds() {
    if (manual.load()) {
        const auto elapsed = manualUptime.load() - manualUptimeBase.load();
        return manualWallAtBase.load() + static_cast<double>(elapsed) / 1e9;
    }
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

bool Clock::isManual() { return manual.load(); }

std::uint64_t Clock::uptimeAtWallSeconds(double wall) {
    const double delta = wall - wallSeconds();
    const auto now = uptimeNanoseconds();
    if (!(delta > 0)) return now;
    return saturatingAdd(now, saturatingCast<std::uint64_t>(delta * 1e9));
}

void Clock::startManual(double wallSecondsSince1970) {
    const auto now = manual.load() ? manualUptime.load() : systemUptime();
    manualUptime = now;
    manualUptimeBase = now;
    manualWallAtBase = wallSecondsSince1970;
    manual = true;
}

void Clock::stopManual() { manual = false; }

void Clock::setManualUptimeAtLeast(std::uint64_t uptime) {
    std::uint64_t current = manualUptime.load();
    while (current < uptime && !manualUptime.compare_exchange_weak(current, uptime)) {
    }
}

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
