// Clock: the one source of time for the whole process.
//
//   Clock::uptimeNanoseconds();         // monotonic time, for deadlines and intervals
//   Clock::wallSeconds();               // seconds since 1970, for dates
//   Clock::useManualClock();            // tests: time stands still ...
//   Clock::advance(0.5);                // ... until advanced; due timers fire in order
//
// By default the clock is the system's (steady clock for uptime, system clock for wall
// time). After `useManualClock()` both readings move only through `advance`/`advanceTo`,
// which release every timer, delayed block and run-loop timer that falls due, one by one in
// deadline order, setting the clock to each deadline before releasing it and waiting for the
// released work (and anything it submits) to finish before moving on. When the advancing
// thread is the main thread, it also runs the main queue while it waits.
//
// Thread rule: every member may be called from any thread. `advance` must not be called from
// inside a dispatched block (it would wait for itself).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace platform {

class Clock {
public:
    static std::uint64_t uptimeNanoseconds();
    static double wallSeconds();

    static bool isManual();
    // Switches to manual time. Uptime continues from its current reading; wall time is set
    // to `wallSecondsSince1970`.
    static void useManualClock(double wallSecondsSince1970 = 1'700'000'000.0);
    static void useSystemClock();

    // Manual clock only (no effect on the system clock): moves time forward, releasing due
    // work in deadline order as described above.
    static void advance(double seconds);
    static void advanceNanoseconds(std::uint64_t nanoseconds);
    static void advanceTo(std::uint64_t uptimeNanoseconds);

    // Runs until every dispatched block has finished and, on the main thread, the main queue
    // is empty. Used by `advance`; tests may call it after submitting work.
    static void drain();

    // Waits on `cv` until `ready()` holds or the clock reaches `deadlineUptime`; true when
    // ready. Works under both clocks (under the manual clock it wakes when time is advanced).
    static bool waitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                          std::uint64_t deadlineUptime, const std::function<bool()>& ready);
};

}  // namespace platform
