// `qvtool timing throttle|debounce`: replays call times through a QVThrottler or a
// QVDebouncer on the manual clock and prints when the callback ran; and the timing demo.
#include "Command.h"

#include <QVToolbox/timing/Timing.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>

#include <charconv>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

namespace qvtool {
namespace {

using platform::Clock;
using platform::ManualClock;
using QVToolbox::QVDebouncer;
using QVToolbox::QVThrottler;
using QVToolbox::Repeater;

constexpr std::uint64_t kNsPerMs = 1'000'000;

// A whole number of milliseconds, at least 0.
std::optional<std::uint64_t> parseMilliseconds(const std::string& text) {
    std::uint64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || value > 1'000'000'000'000ULL) return std::nullopt;
    return value;
}

// The callback's run times in ms from the first call, read from the manual clock.
class RunLog {
public:
    explicit RunLog(std::uint64_t origin) : origin_(origin) {}
    void add() {
        std::lock_guard lock(mutex_);
        runs_.push_back((Clock::uptimeNanoseconds() - origin_) / kNsPerMs);
    }
    std::vector<std::uint64_t> runs() const {
        std::lock_guard lock(mutex_);
        return runs_;
    }

private:
    const std::uint64_t origin_;
    mutable std::mutex mutex_;  // guards runs_
    std::vector<std::uint64_t> runs_;
};

// Switches to the manual clock for its lifetime and then back to the clock found before.
class ManualClockScope {
public:
    ManualClockScope() : wasManual_(Clock::isManual()) { ManualClock::start(); }
    ~ManualClockScope() {
        if (!wasManual_) ManualClock::stop();
    }
    ManualClockScope(const ManualClockScope&) = delete;
    ManualClockScope& operator=(const ManualClockScope&) = delete;

private:
    const bool wasManual_;
};

// Calls `call` at each of `times` (ms, not decreasing) on the manual clock, then lets
// `settle` ms pass after the last call; returns the run times.
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

// Reads the call times; false (after a message) when one is not a whole number of ms or
// they go back in time.
bool parseTimes(const Args& args, std::vector<std::uint64_t>& times, int& status) {
    if (args.empty()) {
        status = usageError("timing: give at least one call time in ms");
        return false;
    }
    for (const auto& a : args) {
        const auto ms = parseMilliseconds(a);
        if (!ms) {
            status = inputError("timing: call time is not a whole number of ms: " + a);
            return false;
        }
        if (!times.empty() && *ms < times.back()) {
            status = inputError("timing: call times must not decrease: " + a);
            return false;
        }
        times.push_back(*ms);
    }
    return true;
}

void print(const std::vector<std::uint64_t>& runs) {
    for (const auto r : runs) std::cout << r << "\n";
}

int runThrottle(Args args) {
    bool error = false;
    const auto mode = takeOption(args, "--mode", error);
    const auto interval = takeOption(args, "--interval-ms", error);
    const bool immediate = takeFlag(args, "--immediate");
    if (error || !mode || !interval) return usageError("timing throttle: --mode and --interval-ms need a value");
    if (*mode != "fixed" && *mode != "deferred") return usageError("timing throttle: --mode is fixed or deferred");
    const auto intervalMs = parseMilliseconds(*interval);
    if (!intervalMs) return inputError("timing throttle: --interval-ms is not a whole number of ms: " + *interval);
    std::vector<std::uint64_t> times;
    int status = 0;
    if (!parseTimes(args, times, status)) return status;

    std::shared_ptr<QVThrottler> throttler;
    const auto runs = replay(
        times, *intervalMs,
        [&](RunLog& log) {
            throttler = QVThrottler::make(Repeater::Interval::milliseconds(static_cast<std::int64_t>(*intervalMs)),
                                          nullptr, *mode == "fixed" ? QVThrottler::Mode::fixed : QVThrottler::Mode::deferred,
                                          immediate, [&log] { log.add(); });
        },
        [&] { throttler->call(); });
    print(runs);
    return 0;
}

int runDebounce(Args args) {
    bool error = false;
    const auto delay = takeOption(args, "--delay-ms", error);
    if (error || !delay) return usageError("timing debounce: --delay-ms needs a value");
    const auto delayMs = parseMilliseconds(*delay);
    if (!delayMs) return inputError("timing debounce: --delay-ms is not a whole number of ms: " + *delay);
    std::vector<std::uint64_t> times;
    int status = 0;
    if (!parseTimes(args, times, status)) return status;

    std::shared_ptr<QVDebouncer> debouncer;
    const auto runs = replay(
        times, *delayMs,
        [&](RunLog& log) {
            debouncer = QVDebouncer::make(Repeater::Interval::milliseconds(static_cast<std::int64_t>(*delayMs)),
                                          [&log] { log.add(); });
        },
        [&] { debouncer->call(); });
    print(runs);
    return 0;
}

int runTiming(const Args& args) {
    if (args.empty()) return usageError("timing: throttle or debounce");
    Args rest(args.begin() + 1, args.end());
    for (const auto& a : rest) {
        if (!a.empty() && a[0] == '-' && a != "--mode" && a != "--interval-ms" && a != "--immediate" &&
            a != "--delay-ms") {
            return usageError("timing: unknown option " + a);
        }
    }
    if (args[0] == "throttle") return runThrottle(std::move(rest));
    if (args[0] == "debounce") return runDebounce(std::move(rest));
    return usageError("timing: unknown subcommand '" + args[0] + "' (throttle or debounce)");
}

const Registration timing{
    "timing",
    "timing throttle --mode fixed|deferred --interval-ms N [--immediate] CALL-TIMES-MS...\n"
    "    replay calls through a throttler (manual clock); prints the run times in ms from the first call\n"
    "timing debounce --delay-ms N CALL-TIMES-MS...\n"
    "    replay calls through a debouncer (manual clock); prints the run times in ms from the first call",
    runTiming, 60};

void demoTiming(const std::string&) {
    const auto show = [](const std::string& what, const std::vector<std::uint64_t>& runs) {
        std::cout << what << " ->";
        for (const auto r : runs) std::cout << " " << r;
        std::cout << " ms\n";
    };
    const std::vector<std::uint64_t> burst{0, 200, 500};
    for (const auto mode : {QVThrottler::Mode::fixed, QVThrottler::Mode::deferred}) {
        std::shared_ptr<QVThrottler> t;
        const auto runs = replay(
            burst, 1000,
            [&](RunLog& log) {
                t = QVThrottler::make(Repeater::Interval::seconds(1), nullptr, mode, false, [&log] { log.add(); });
            },
            [&] { t->call(); });
        show(std::string("throttle ") + (mode == QVThrottler::Mode::fixed ? "fixed   " : "deferred") +
                 " 1 s, calls at 0 200 500",
             runs);
    }
    std::shared_ptr<QVDebouncer> d;
    const auto runs = replay(
        {0, 100, 250}, 300,
        [&](RunLog& log) { d = QVDebouncer::make(Repeater::Interval::milliseconds(300), [&log] { log.add(); }); },
        [&] { d->call(); });
    show("debounce 300 ms, calls at 0 100 250", runs);

    // A 3-count repeater, every 100 ms: its states and remaining iterations.
    const ManualClockScope manual;
    std::mutex mutex;
    std::vector<std::string> lines;  // guarded by mutex
    auto r = Repeater::make(Repeater::Interval::milliseconds(100), Repeater::Mode::finite(3), [&](Repeater& self) {
        std::lock_guard lock(mutex);
        lines.push_back("  fired, remainingIterations " + std::to_string(*self.remainingIterations()));
    });
    r->onStateChanged([&](Repeater&, Repeater::State s) {
        std::lock_guard lock(mutex);
        lines.push_back("  state " + std::string(s.description()));
    });
    r->start();
    ManualClock::advance(0.5);
    std::cout << "repeater every 100 ms, count 3:\n";
    std::lock_guard lock(mutex);
    for (const auto& line : lines) std::cout << line << "\n";
}

const DemoRegistration demo{"Timing: throttler, debouncer, repeater (manual clock)", demoTiming, 60};

}  // namespace
}  // namespace qvtool
