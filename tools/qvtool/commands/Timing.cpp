// `qvtool timing throttle|debounce`: replays call times through a QVThrottler or a
// QVDebouncer on the manual clock and prints when the callback ran, in ms from the first call.
#include "../Cli.h"
#include "../Input.h"
#include "../Replay.h"

#include <QVToolbox/timing/Timing.h>

#include <charconv>
#include <iostream>

namespace qvtool {
namespace {

using QVToolbox::QVDebouncer;
using QVToolbox::QVThrottler;
using QVToolbox::Repeater;

// A whole number of milliseconds from 0 to 10^12.
std::uint64_t milliseconds(const std::string& text, std::string_view name) {
    std::uint64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || value > 1'000'000'000'000ULL) {
        throw BadInput(std::string(name) + " " + shown(text) + " is not a whole number of ms (0 to 10^12)");
    }
    return value;
}

// The call times, in ms, not decreasing.
std::vector<std::uint64_t> callTimes(const std::vector<std::string>& texts) {
    std::vector<std::uint64_t> times;
    for (const auto& t : texts) {
        const auto ms = milliseconds(t, "CALL-TIMES-MS");
        if (!times.empty() && ms < times.back()) throw BadInput("CALL-TIMES-MS must not decrease: " + shown(t));
        times.push_back(ms);
    }
    return times;
}

void print(const std::vector<std::uint64_t>& runs) {
    for (const auto r : runs) std::cout << r << "\n";
}

void defineThrottle(CLI::App& group) {
    Verb verb(group, "throttle", "replay calls through a throttler");
    const auto& mode = verb.option("--mode", "fixed|deferred", "fixed keeps a pending run's deadline; deferred moves it to an interval after the latest call", true);
    const auto& interval = verb.option("--interval-ms", "N", "the interval in ms", true);
    const auto& immediate = verb.flag("--immediate", "the first call runs at once");
    const auto& times = verb.list("CALL-TIMES-MS", "call times in ms, not decreasing");
    verb.run([&] {
        if (*mode != "fixed" && *mode != "deferred") throw BadInput("--mode " + shown(*mode) + " is not fixed or deferred");
        const auto intervalMs = milliseconds(*interval, "--interval-ms");
        std::shared_ptr<QVThrottler> throttler;
        print(replay(
            callTimes(times), intervalMs,
            [&](RunLog& log) {
                throttler = QVThrottler::make(Repeater::Interval::milliseconds(static_cast<std::int64_t>(intervalMs)),
                                              nullptr, *mode == "fixed" ? QVThrottler::Mode::fixed : QVThrottler::Mode::deferred,
                                              immediate, [&log] { log.add(); });
            },
            [&] { throttler->call(); }));
        return 0;
    });
}

void defineDebounce(CLI::App& group) {
    Verb verb(group, "debounce", "replay calls through a debouncer");
    const auto& delay = verb.option("--delay-ms", "N", "the delay in ms", true);
    const auto& times = verb.list("CALL-TIMES-MS", "call times in ms, not decreasing");
    verb.run([&] {
        const auto delayMs = milliseconds(*delay, "--delay-ms");
        std::shared_ptr<QVDebouncer> debouncer;
        print(replay(
            callTimes(times), delayMs,
            [&](RunLog& log) {
                debouncer = QVDebouncer::make(Repeater::Interval::milliseconds(static_cast<std::int64_t>(delayMs)),
                                              [&log] { log.add(); });
            },
            [&] { debouncer->call(); }));
        return 0;
    });
}

void define(CLI::App& group) {
    defineThrottle(group);
    defineDebounce(group);
    group.footer("Calls are replayed on the manual clock; the run times print in ms from the first call, one a line.");
}

const GroupRegistration registration{
    {"timing", "throttler and debouncer replayed on the manual clock", 60, define}};

}  // namespace
}  // namespace qvtool
