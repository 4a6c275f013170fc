// The process-wide deadline scheduler behind asyncAfter, timer sources and run-loop timers.
// Each entry is a cheap `release` callback (it only enqueues work somewhere) called once its
// deadline passes: under the system clock by the pool's leader thread (detail/ThreadPool.h),
// under the manual clock by the thread that moves the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace platform::detail {

using ScheduleId = std::uint64_t;

ScheduleId scheduleAt(std::uint64_t deadlineUptime, std::function<void()> release);
// Removes an entry that has not been released yet; no effect otherwise.
void unschedule(ScheduleId id);

// The earliest deadline waiting, if any.
std::optional<std::uint64_t> nextDeadline();
// Whether any entry waits; a cheap, unlocked look for the pool's hot path.
bool hasScheduledEntries();
// Removes the earliest entry when it is due at or before `now` and returns its release
// callback for the caller to call; empty when none is due.
std::function<void()> takeFirstDue(std::uint64_t now);
// Manual time: releases the earliest entry when it is due at or before `now`; false when
// none is. The caller (the manual-time driver) has already set the clock to `now`.
bool releaseFirstDue(std::uint64_t now);
// Lets the leader look again after a clock switch.
void schedulerClockChanged();

}  // namespace platform::detail
