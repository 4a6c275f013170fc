// The process-wide deadline scheduler behind asyncAfter, timer sources and run-loop timers.
// Each entry is a cheap `release` callback (it only enqueues work somewhere) called once its
// deadline passes: on the scheduler's thread under the system clock, on the advancing thread
// under the manual clock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace platform::detail {

using ScheduleId = std::uint64_t;

ScheduleId scheduleAt(std::uint64_t deadlineUptime, std::function<void()> release);
// Removes an entry that has not been released yet; no effect otherwise.
void unschedule(ScheduleId id);

// Manual time: the earliest deadline waiting, if any.
std::optional<std::uint64_t> nextDeadline();
// Manual time: releases the earliest entry when it is due at or before `now`; false when
// none is. The caller (the manual-time driver) has already set the clock to `now`.
bool releaseFirstDue(std::uint64_t now);
// Wakes the scheduler thread after a clock switch.
void schedulerClockChanged();

}  // namespace platform::detail
