// DispatchSourceTimer: a timer that delivers its event handler on a queue.
//
//   auto timer = DispatchSource::makeTimerSource(queue);
//   timer->schedule(DispatchTime::now() + 1.0, DispatchTimeInterval::seconds(1));
//   timer->setEventHandler([] { tick(); });
//   timer->resume();            // sources start suspended
//
// Suspension counts as on the platform: a new source has a count of one; `suspend` adds one,
// `resume` takes one away, and events are delivered only while the count is zero. Events that
// fall due while suspended are merged into one, delivered on the next resume. Resuming past
// zero is an error the platform traps on: here it is ignored, reported on the debug channel,
// and `resume` returns false. A handler still pending on the queue is not queued again (events
// merge). Repeating timers keep their phase: each deadline is the previous one plus the
// interval, skipping deadlines already past. `cancel` stops all further events and runs the
// cancel handler on the queue. A source nobody holds any more stops firing.
//
// Leeway is recorded but not used to delay events: they are released at their deadline.
// Thread rule: every member may be called from any thread.
#pragma once

#include <QVPlatform/dispatch/DispatchQueue.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {

class DispatchSourceTimer : public std::enable_shared_from_this<DispatchSourceTimer> {
public:
    explicit DispatchSourceTimer(std::shared_ptr<DispatchQueue> queue);
    ~DispatchSourceTimer();

    void schedule(DispatchTime deadline, DispatchTimeInterval repeating = DispatchTimeInterval::never(),
                  DispatchTimeInterval leeway = DispatchTimeInterval::nanoseconds(0));
    void schedule(DispatchTime deadline, double repeatingSeconds,
                  DispatchTimeInterval leeway = DispatchTimeInterval::nanoseconds(0));

    void setEventHandler(std::function<void()> handler);
    void setCancelHandler(std::function<void()> handler);

    bool resume();
    void suspend();
    // Same as the first `resume` of a new source.
    void activate();
    void cancel();
    bool isCancelled() const;

    // Events merged into the delivery in progress (1 for a single event).
    std::uint64_t data() const;
    int suspendCount() const;
    DispatchTimeInterval leeway() const;

private:
    void arm(std::unique_lock<std::mutex>& lock);
    void disarm(std::unique_lock<std::mutex>& lock);
    void fired(std::uint64_t generation);
    void deliver(std::unique_lock<std::mutex>& lock);

    const std::shared_ptr<DispatchQueue> queue_;
    mutable std::mutex mutex_;  // guards everything below
    std::function<void()> eventHandler_;
    std::function<void()> cancelHandler_;
    int suspendCount_ = 1;
    bool activated_ = false;
    bool cancelled_ = false;
    bool scheduled_ = false;   // schedule() was called
    std::uint64_t deadline_ = 0;
    std::int64_t interval_ = 0;  // ns; 0 means one-shot
    DispatchTimeInterval leeway_ = DispatchTimeInterval::nanoseconds(0);
    std::uint64_t generation_ = 0;  // bumps on every (re)schedule, so stale releases are ignored
    std::uint64_t scheduleId_ = 0;  // the scheduler entry of the next deadline, 0 when none
    std::uint64_t pendingEvents_ = 0;   // fell due, not yet handed to the queue
    bool handlerQueued_ = false;
    std::uint64_t data_ = 0;
};

using DispatchSourceTimerPtr = std::shared_ptr<DispatchSourceTimer>;

struct DispatchSource {
    static std::shared_ptr<DispatchSourceTimer> makeTimerSource(std::shared_ptr<DispatchQueue> queue = nullptr);
};

}  // namespace platform
