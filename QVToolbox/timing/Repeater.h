// Repeater: a timer that fires once, a fixed number of times or forever on a serial queue,
// and tells every registered observer at each firing.
//
//   auto r = Repeater::every(Repeater::Interval::milliseconds(100), 3, [](Repeater& r) { tick(r); });
//   r->onStateChanged([](Repeater&, Repeater::State s) { log(s.description()); });
//   // tick() runs at 100, 200 and 300 ms; the state then is finished, remainingIterations 0
//
// Entry points: `once`, `every` (made and started), `make` (made paused; call `start`), then
// `pause`, `fire`, `reset`, `observe` / `remove`. The repeater runs on a timer source whose
// suspension follows the state: suspended exactly while `paused` or `finished`.
//
// Thread rule: every member may be called from any thread, also from inside an observer or
// the state callback. No lock is held while an observer or the state callback runs.
// Notifications (the state callback and the observer rounds) are delivered one at a time in
// the order of the changes that caused them; a thread that changes the state while another
// thread is delivering leaves its notifications to that thread, which delivers them next.
// Without such contention they run on the caller's thread (for calls) or on the repeater's
// queue (for timer firings) before the call returns. A change made from inside a callback is
// notified after the notifications already under way (for a firing: after its observers).
#pragma once

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/DispatchSource.h>
#include <QVPlatform/dispatch/DispatchTime.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

namespace QVToolbox {

class Repeater : public std::enable_shared_from_this<Repeater> {
public:
    // The run state; compares by case.
    class State {
    public:
        enum Case { paused, running, executing, finished };
        constexpr State(Case c) : case_(c) {}  // NOLINT: State::paused is a State
        constexpr Case value() const { return case_; }
        // "idle/paused", "running", "executing" or "finished".
        std::string_view description() const;
        // True for running and executing.
        constexpr bool isRunning() const { return case_ == running || case_ == executing; }
        constexpr bool isExecuting() const { return case_ == executing; }
        constexpr bool isFinished() const { return case_ == finished; }
        friend constexpr bool operator==(State a, State b) { return a.case_ == b.case_; }

    private:
        Case case_;
    };

    // A span of time in one unit. `value()` converts it to the platform's interval.
    class Interval {
    public:
        enum class Unit { nanoseconds, microseconds, milliseconds, minutes, seconds, hours, days };
        static constexpr Interval nanoseconds(std::int64_t n) { return {Unit::nanoseconds, n, 0}; }
        static constexpr Interval microseconds(std::int64_t n) { return {Unit::microseconds, n, 0}; }
        static constexpr Interval milliseconds(std::int64_t n) { return {Unit::milliseconds, n, 0}; }
        static constexpr Interval minutes(std::int64_t n) { return {Unit::minutes, n, 0}; }
        static constexpr Interval seconds(double s) { return {Unit::seconds, 0, s}; }
        static constexpr Interval hours(std::int64_t n) { return {Unit::hours, n, 0}; }
        static constexpr Interval days(std::int64_t n) { return {Unit::days, n, 0}; }

        constexpr Unit unit() const { return unit_; }
        // The integer payload (0 for `seconds`) and the seconds payload (0 for the others).
        constexpr std::int64_t count() const { return count_; }
        constexpr double secondsValue() const { return seconds_; }

        // nanoseconds, microseconds and milliseconds as they are; minutes, hours and days in
        // seconds; `seconds(s)` as the whole milliseconds of s (cut toward zero, so
        // seconds(0.0015) is 1 ms). Products that do not fit 64 bits saturate at the largest
        // (or smallest) count of their unit; a NaN number of seconds gives 0.
        platform::DispatchTimeInterval value() const;

        friend constexpr bool operator==(const Interval&, const Interval&) = default;

    private:
        constexpr Interval(Unit unit, std::int64_t count, double seconds)
            : unit_(unit), count_(count), seconds_(seconds) {}
        Unit unit_;
        std::int64_t count_;
        double seconds_;
    };

    // How many times the repeater fires.
    class Mode {
    public:
        enum class Kind { finite, infinite, once };
        static constexpr Mode finite(std::int64_t count) { return {Kind::finite, count}; }
        static constexpr Mode infinite() { return {Kind::infinite, 0}; }
        static constexpr Mode once() { return {Kind::once, 0}; }

        constexpr Kind kind() const { return kind_; }
        // The count of a finite mode; absent otherwise.
        constexpr std::optional<std::int64_t> countIterations() const {
            return kind_ == Kind::finite ? std::optional<std::int64_t>(count_) : std::nullopt;
        }
        constexpr bool isInfinite() const { return kind_ == Kind::infinite; }
        friend constexpr bool operator==(const Mode&, const Mode&) = default;

    private:
        constexpr Mode(Kind kind, std::int64_t count) : kind_(kind), count_(count) {}
        Kind kind_;
        std::int64_t count_;
    };

    using Observer = std::function<void(Repeater&)>;
    using ObserverToken = std::uint64_t;
    using StateCallback = std::function<void(Repeater&, State)>;

    // A paused repeater. Without a queue it makes its own serial queue. `observer` (when not
    // null) is registered as token 1.
    static std::shared_ptr<Repeater> make(Interval interval, Mode mode,
                                          platform::DispatchTimeInterval tolerance, platform::DispatchQueuePtr queue,
                                          Observer observer);
    static std::shared_ptr<Repeater> make(Interval interval, Mode mode, Observer observer);

    // Made with mode once and started: fires once, `after` from now.
    static std::shared_ptr<Repeater> once(Interval after, platform::DispatchTimeInterval tolerance,
                                          platform::DispatchQueuePtr queue, Observer observer);
    static std::shared_ptr<Repeater> once(Interval after, Observer observer);
    // Made with mode finite(count) when a count is given, infinite otherwise, and started.
    static std::shared_ptr<Repeater> every(Interval interval, std::optional<std::int64_t> count,
                                           platform::DispatchTimeInterval tolerance, platform::DispatchQueuePtr queue,
                                           Observer observer);
    static std::shared_ptr<Repeater> every(Interval interval, std::optional<std::int64_t> count, Observer observer);
    static std::shared_ptr<Repeater> every(Interval interval, Observer observer);

    ~Repeater();
    Repeater(const Repeater&) = delete;
    Repeater& operator=(const Repeater&) = delete;

    State state() const;
    Mode mode() const { return mode_; }
    // For finite mode: firings left (starts at the count, never goes below 0 once fired);
    // absent for the other modes.
    std::optional<std::int64_t> remainingIterations() const;
    Interval interval() const;
    platform::DispatchTimeInterval tolerance() const { return tolerance_; }
    const platform::DispatchQueuePtr& queue() const { return queue_; }

    // The state callback, called with the new state after every assignment of the state
    // (also when the value does not change).
    StateCallback onStateChanged() const;
    void onStateChanged(StateCallback callback);

    // Registers an observer; tokens count up from the last one issued and are never reused.
    ObserverToken observe(Observer observer);
    // Removes the observer of `token`, if present.
    void remove(ObserverToken token);
    // Removes every observer; with `thenStop`, a running repeater is then paused.
    void removeAllObservers(bool thenStop);

    // paused: runs (true). finished: resets and runs again (true). Running: false, no effect.
    bool start();
    // Running or executing: pauses (true). Paused or finished: false, no effect.
    bool pause();
    // Delivers a firing now (state executing, observers, then finishing as a timer firing
    // would), then with `andPause` pauses a repeater that is still running. The schedule is
    // not moved. A paused or finished repeater is not started by it: after the observers it
    // returns to paused (notified), or finishes.
    void fire(bool andPause);
    // Pauses, restores a finite count, takes the new interval when given, replaces the
    // timer (first deadline counted from now) and leaves the repeater paused, or, with
    // `restart`, running.
    void reset(std::optional<Interval> interval, bool restart);

private:
    Repeater(Interval interval, Mode mode, platform::DispatchTimeInterval tolerance, platform::DispatchQueuePtr queue);

    // A notification waiting for delivery, in the order of the changes.
    struct Event {
        enum class Kind { stateChanged, observerRound, finishFiring, pauseAfterFire } kind;
        State state = State::paused;  // stateChanged: the new state
        bool fromSuspended = false;   // finishFiring: a manual firing of a paused/finished repeater
    };

    void configureTimerLocked();
    void destroyTimerLocked();
    // Assigns the state (queueing its notification) and, with `moveSource`, suspends or
    // resumes the source to match it.
    void setStateLocked(State newState, bool moveSource = true);
    bool setPauseLocked(State from, State to);
    void resetLocked(std::optional<Interval> interval, bool restart);
    // A firing: from the timer (`timerGeneration` names the source) or by hand (absent).
    void timeFired(std::optional<std::uint64_t> timerGeneration, bool andPause);
    void deliverPending();
    void runEvent(const Event& event, std::unique_lock<std::mutex>& lock);

    const Mode mode_;
    const platform::DispatchTimeInterval tolerance_;
    const platform::DispatchQueuePtr queue_;

    mutable std::mutex mutex_;  // guards every field below
    State state_ = State::paused;
    std::shared_ptr<const StateCallback> onStateChanged_;
    std::map<ObserverToken, std::shared_ptr<const Observer>> observers_;
    ObserverToken nextObserverID_ = 0;
    std::optional<std::int64_t> remainingIterations_;
    Interval interval_;
    platform::DispatchSourceTimerPtr timer_;
    bool sourceSuspended_ = true;        // what this repeater's suspend/resume calls left the source in
    std::uint64_t timerGeneration_ = 0;  // names the current source; stale events are dropped
    std::deque<Event> pending_;          // notifications not yet delivered
    bool delivering_ = false;            // a thread is delivering `pending_`
};

}  // namespace QVToolbox
