#include <QVPlatform/dispatch/ManualClock.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/base/Saturating.h>
#include <QVPlatform/dispatch/detail/Activity.h>
#include <QVPlatform/dispatch/detail/Scheduler.h>

namespace platform {

void ManualClock::start(double wallSecondsSince1970) {
    Clock::startManual(wallSecondsSince1970);
    detail::schedulerClockChanged();
}

void ManualClock::stop() {
    Clock::stopManual();
    detail::schedulerClockChanged();
    detail::activityChanged();
}

void ManualClock::advance(double seconds) {
    advanceNanoseconds(seconds > 0 ? saturatingCast<std::uint64_t>(seconds * 1e9) : 0);
}

void ManualClock::advanceNanoseconds(std::uint64_t nanoseconds) {
    advanceTo(saturatingAdd(Clock::uptimeNanoseconds(), nanoseconds));
}

void ManualClock::advanceTo(std::uint64_t target) {
    if (!Clock::isManual()) return;
    for (;;) {
        detail::waitForQuiescence();
        const auto next = detail::nextDeadline();
        if (!next || *next > target) break;
        Clock::setManualUptimeAtLeast(*next);
        detail::releaseFirstDue(*next);
    }
    Clock::setManualUptimeAtLeast(target);
    detail::activityChanged();
    detail::waitForQuiescence();
}

void ManualClock::drain() { detail::waitForQuiescence(); }

}  // namespace platform
