// The process-wide deadline scheduler behind asyncAfter, timer sources and run-loop timers.
// Each entry is a cheap `release` callback (it only enqueues work somewhere) called once its
// deadline passes: on the scheduler's thread under the system clock, on the advancing thread
// under the manual clock.
#pragma once

#include <cstdint>
#include <functional>

namespace platform::detail {

using ScheduleId = std::uint64_t;

ScheduleId scheduleAt(std::uint64_t deadlineUptime, std::function<void()> release);
// Removes an entry that has not been released yet; no effect otherwise.
void unschedule(ScheduleId id);

// Manual clock: releases the earliest entry due at or before `limit`, after setting the
// manual clock to its deadline. False when none is due.
bool releaseNextDue(std::uint64_t limit);
// Wakes the scheduler thread after a clock switch.
void schedulerClockChanged();

}  // namespace platform::detail
