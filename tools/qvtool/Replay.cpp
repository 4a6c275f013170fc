#include "Replay.h"

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>

namespace qvtool {

using platform::Clock;
using platform::ManualClock;

namespace {
constexpr std::uint64_t kNsPerMs = 1'000'000;
}

void RunLog::add() {
    std::lock_guard lock(mutex_);
    runs_.push_back((Clock::uptimeNanoseconds() - origin_) / kNsPerMs);
}

std::vector<std::uint64_t> RunLog::runs() const {
    std::lock_guard lock(mutex_);
    return runs_;
}

ManualClockScope::ManualClockScope() : wasManual_(Clock::isManual()) { ManualClock::start(); }

ManualClockScope::~ManualClockScope() {
    if (!wasManual_) ManualClock::stop();
}

std::vector<std::uint64_t> replay(const std::vector<std::uint64_t>& times, std::uint64_t settle,
                                  const std::function<void(RunLog&)>& setUp, const std::function<void()>& call) {
    const ManualClockScope manual;
    const std::uint64_t origin = Clock::uptimeNanoseconds();
    RunLog log(origin);
    setUp(log);
    for (const auto t : times) {
        ManualClock::advanceTo(origin + (t - times.front()) * kNsPerMs);
        call();
    }
    ManualClock::advanceTo(origin + (times.back() - times.front() + settle) * kNsPerMs);
    ManualClock::drain();
    return log.runs();
}

}  // namespace qvtool
