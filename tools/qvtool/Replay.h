// Replaying call times on the manual clock, for the timing group and the demo.
//
//   const auto runs = replay({0, 200, 500}, 1000,
//       [&](RunLog& log) { t = QVThrottler::make(..., [&log] { log.add(); }); },
//       [&] { t->call(); });          // run times in ms from the first call
//
// Runs on the main thread; the callbacks may fire on the timer threads (RunLog is locked).
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace qvtool {

// The callback's run times in ms from the first call, read from the manual clock.
class RunLog {
public:
    explicit RunLog(std::uint64_t origin) : origin_(origin) {}
    void add();
    std::vector<std::uint64_t> runs() const;

private:
    const std::uint64_t origin_;
    mutable std::mutex mutex_;  // guards runs_
    std::vector<std::uint64_t> runs_;
};

// Switches to the manual clock for its lifetime and then back to the clock found before.
class ManualClockScope {
public:
    ManualClockScope();
    ~ManualClockScope();
    ManualClockScope(const ManualClockScope&) = delete;
    ManualClockScope& operator=(const ManualClockScope&) = delete;

private:
    const bool wasManual_;
};

// Calls `call` at each of `times` (ms, not decreasing, at least one) on the manual clock,
// then lets `settle` ms pass after the last call; returns the run times.
std::vector<std::uint64_t> replay(const std::vector<std::uint64_t>& times, std::uint64_t settle,
                                  const std::function<void(RunLog&)>& setUp, const std::function<void()>& call);

}  // namespace qvtool
