// Clock: reading the process's time, system or manual.
//
//   Clock::uptimeNanoseconds();         // monotonic time, for deadlines and intervals
//   Clock::wallSeconds();               // seconds since 1970, for dates
//   Clock::isManual();                  // true while a test drives time by hand
//
// By default the readings are the system's (steady clock for uptime, system clock for wall
// time). Manual time stands still until it is moved forward; switching to it and moving it
// is the job of `ManualClock` (QVPlatform/dispatch/ManualClock.h), which also releases the
// timers and delayed work that fall due. This header depends on nothing: every layer may
// read the time.
//
// Thread rule: every member may be called from any thread.
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
    // The uptime at which wall time reaches `wallSeconds` by the current readings: now for a
    // time already past (or NaN), the largest uptime for one beyond reach.
    static std::uint64_t uptimeAtWallSeconds(double wallSeconds);

    // Low-level switches used by ManualClock; call those instead. `startManual` freezes
    // uptime at its current reading and sets wall time to `wallSecondsSince1970`.
    static void startManual(double wallSecondsSince1970);
    static void stopManual();
    // Manual time only: moves uptime to `uptime` when that is later (never backwards).
    static void setManualUptimeAtLeast(std::uint64_t uptime);

    // Waits on `cv` until `ready()` holds or the clock reaches `deadlineUptime`; true when
    // ready. Works under both clocks (under manual time it wakes when time is moved).
    static bool waitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                          std::uint64_t deadlineUptime, const std::function<bool()>& ready);
};

}  // namespace platform
