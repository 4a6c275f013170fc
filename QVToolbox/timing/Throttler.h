// QVThrottler and QVDebouncer: rate limiters for callbacks that answer bursts of events.
//
//   auto t = QVThrottler::make(Repeater::Interval::seconds(1), nullptr, QVThrottler::Mode::deferred,
//                              false, [] { save(); });
//   t->call(); /* at 0 s */  t->call(); /* 0.2 s */  t->call(); /* 0.5 s */
//   // save() runs once, at 1.5 s (1 s after the last call); in fixed mode it runs at 1.0 s
//
// QVThrottler runs its callback at most once per interval: each `call()` replaces the pending
// run and picks its time from the previous run, whether a run is pending, and the mode.
// After a run nothing runs again until the interval has passed; while a run is pending,
// `fixed` keeps its deadline and `deferred` moves it to one interval after the latest call;
// with `immediateFire` the first call after a quiet interval runs at once. The callback runs
// on the throttler's queue (by default the global background queue).
//
// QVDebouncer runs its callback once, `delay` after the last of a burst of calls; every call
// restarts the delay. It runs on a once-mode Repeater, whose own serial queue runs the callback.
//
// Thread rule: every member may be called from any thread; no lock is held while a callback
// runs. Jobs still queued when a throttler or debouncer goes away find it gone and do nothing.
#pragma once

#include <QVToolbox/timing/Repeater.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/DispatchTime.h>
#include <QVPlatform/dispatch/DispatchWorkItem.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace QVToolbox {

class QVThrottler : public std::enable_shared_from_this<QVThrottler> {
public:
    enum class Mode { fixed, deferred };
    using Callback = std::function<void()>;

    // Without a queue the callback runs on the global queue of background quality of service.
    static std::shared_ptr<QVThrottler> make(Repeater::Interval time, platform::DispatchQueuePtr queue = nullptr,
                                             Mode mode = Mode::fixed, bool immediateFire = false,
                                             Callback callback = nullptr);
    QVThrottler(const QVThrottler&) = delete;
    QVThrottler& operator=(const QVThrottler&) = delete;

    // Requests a run: cancels the pending one (a run already started is not stopped) and
    // schedules a new one at the time the mode gives.
    void call();

    bool immediateFire() const { return immediateFire_; }
    Mode mode() const { return mode_; }
    // The throttle interval, the given interval's value.
    platform::DispatchTimeInterval throttle() const { return throttle_; }
    const platform::DispatchQueuePtr& queue() const { return queue_; }
    // The callback a run calls: the one set when it runs. A run without callback still counts.
    void setCallback(Callback callback);

private:
    QVThrottler(Repeater::Interval time, platform::DispatchQueuePtr queue, Mode mode, bool immediateFire,
                Callback callback);
    // The deadline for a call made at `now`.
    platform::DispatchTime deadlineLocked(platform::DispatchTime now) const;
    void perform(std::uint64_t job);

    const bool immediateFire_;
    const Mode mode_;
    const platform::DispatchQueuePtr queue_;
    const platform::DispatchTimeInterval throttle_;

    mutable std::mutex mutex_;  // guards every field below
    std::shared_ptr<const Callback> callback_;
    platform::DispatchWorkItemPtr callbackJob_;
    std::uint64_t jobNumber_ = 0;  // the latest job; only it may run
    std::optional<platform::DispatchTime> previousScheduled_;
    std::optional<platform::DispatchTime> lastExecutionTime_;
    bool waitingForPerform_ = false;
};

class QVDebouncer : public std::enable_shared_from_this<QVDebouncer> {
public:
    using Callback = std::function<void()>;

    static std::shared_ptr<QVDebouncer> make(Repeater::Interval delay, Callback callback = nullptr);
    QVDebouncer(const QVDebouncer&) = delete;
    QVDebouncer& operator=(const QVDebouncer&) = delete;

    // Requests a run `delay` from now (after taking `newDelay` as the delay when given),
    // replacing a pending one; also when the previous run has already happened.
    void call(std::optional<Repeater::Interval> newDelay = std::nullopt);

    Repeater::Interval delay() const;
    Callback callback() const;
    // Without a callback a firing writes "Debouncer fired but callback not set." (quoted) to
    // standard output.
    void setCallback(Callback callback);

private:
    QVDebouncer(Repeater::Interval delay, Callback callback);
    void fired();

    mutable std::mutex mutex_;  // guards every field below
    Repeater::Interval delay_;
    std::shared_ptr<const Callback> callback_;
    std::shared_ptr<Repeater> timer_;
};

}  // namespace QVToolbox
