// HxWeakTimer: a repeating or one-shot timer that holds its target weakly, so it never keeps
// the target alive; instead of a target and a selector it can call a block.
//
//   auto t = HxWeakTimer::scheduledTimer(2.0, true, nullptr, [](HxWeakTimer&) { poll(); });
//   // poll() runs at once, then every 2 s (leeway 1000 ms: half the interval)
//   t->invalidate();                      // stops it for good; state() is invalidate
//
// Entry points: `scheduledTimer` (made and started), `make` (made; call `fire()`), `make`
// with a fire date (starts at that date), then `pause`, `fire` (start or resume),
// `invalidate` and `setTolerance`. Scheduling puts the first event at the moment of
// scheduling, so a timer delivers an event as soon as it runs, and again at once when its
// tolerance changes while it runs. A timer is scheduled again when it starts, so its period
// counts from the start (a paused timer that resumes keeps its phase).
//
// Blocks run on the timer's queue (the given one, or the global default queue). Target-action
// events send the selector through the platform runtime on the main queue, with `userInfo`
// as its argument when set; a target that is gone receives nothing (the timer stays valid).
//
// Thread rule: every member may be called from any thread; no lock is held while the block
// runs. An event that races with `pause()` or `invalidate()` on another thread is dropped
// once the pause or the invalidated flag is visible.
#pragma once

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/DispatchSource.h>
#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Date.h>
#include <QVPlatform/runtime/NSObject.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace QVToolbox {

class HxWeakTimer : public std::enable_shared_from_this<HxWeakTimer> {
public:
    // The life stage; integer raw values 100 to 104, compared by raw value.
    class State {
    public:
        enum Case { none = 100, initialization = 101, executing = 102, pause = 103, invalidate = 104 };
        constexpr State(Case c) : case_(c) {}  // NOLINT: State::none is a State
        // The state of a raw value; absent outside 100...104.
        static constexpr std::optional<State> fromRawValue(int raw) {
            if (raw < none || raw > invalidate) return std::nullopt;
            return State(static_cast<Case>(raw));
        }
        constexpr int rawValue() const { return case_; }
        constexpr Case value() const { return case_; }
        friend constexpr bool operator==(State a, State b) { return a.case_ == b.case_; }

    private:
        Case case_;
    };

    using Block = std::function<void(HxWeakTimer&)>;

    // A timer without a source: every operation is a no-op; state() stays none.
    static std::shared_ptr<HxWeakTimer> make();
    // Target-action timer on the global default queue; call fire() to start it.
    static std::shared_ptr<HxWeakTimer> make(double timeInterval, const std::shared_ptr<platform::NSObject>& target,
                                             platform::Selector selector, std::optional<platform::Any> userInfo,
                                             bool repeats);
    // The same, started.
    static std::shared_ptr<HxWeakTimer> scheduledTimer(double timeInterval,
                                                       const std::shared_ptr<platform::NSObject>& target,
                                                       platform::Selector selector,
                                                       std::optional<platform::Any> userInfo, bool repeats);
    // Block timer on `queue` (the global default queue when null); call fire() to start it.
    static std::shared_ptr<HxWeakTimer> make(double timeInterval, bool repeats, platform::DispatchQueuePtr queue,
                                             Block block);
    // The same, started.
    static std::shared_ptr<HxWeakTimer> scheduledTimer(double timeInterval, bool repeats,
                                                       platform::DispatchQueuePtr queue, Block block);
    // Target-action timer that starts by itself at `fireAt` (the timer is kept alive until then).
    static std::shared_ptr<HxWeakTimer> make(platform::Date fireAt, double interval,
                                             const std::shared_ptr<platform::NSObject>& target,
                                             platform::Selector selector, std::optional<platform::Any> userInfo,
                                             bool repeats);
    // Block timer that starts by itself at `fire` (the timer is kept alive until then).
    static std::shared_ptr<HxWeakTimer> make(platform::Date fire, double interval, bool repeats,
                                             platform::DispatchQueuePtr queue, Block block);

    ~HxWeakTimer();
    HxWeakTimer(const HxWeakTimer&) = delete;
    HxWeakTimer& operator=(const HxWeakTimer&) = delete;

    // Starts (from initialization) or resumes (from pause); otherwise nothing.
    void fire();
    // Pauses a running timer; otherwise nothing.
    void pause();
    // Stops the timer for good; only the first call acts.
    void invalidate();

    State state() const;
    // True exactly while running (state executing).
    bool isValid() const;
    // The moment the timer last started or resumed; absent before.
    std::optional<platform::Date> fireDate() const;

    // The leeway in milliseconds (cut to an integer); when absent, half the interval.
    std::optional<double> tolerance() const;
    // A changed value (absent and present differ) schedules the timer again, which delivers
    // an event at once while it runs.
    void setTolerance(std::optional<double> milliseconds);
    // The leeway the source is scheduled with; absent without a source.
    std::optional<platform::DispatchTimeInterval> leeway() const;
    std::optional<platform::Any> userInfo() const;
    void setUserInfo(std::optional<platform::Any> userInfo);

private:
    HxWeakTimer() = default;
    struct Setup {
        double timeInterval = 1.0;
        bool repeats = false;
        std::weak_ptr<platform::NSObject> target;
        std::optional<platform::Selector> selector;
        std::optional<platform::Any> userInfo;
        Block block;
        platform::DispatchQueuePtr queue;  // null: the platform default
        std::optional<platform::Date> fireDate;
    };
    static std::shared_ptr<HxWeakTimer> create(Setup setup);
    void scheduleLocked();
    void startLocked();
    void timerCall();

    std::atomic<bool> invalidated_{false};  // set once, by the first invalidate()

    mutable std::mutex mutex_;  // guards every field below
    std::optional<double> tolerance_;
    std::optional<platform::Any> userInfo_;
    State state_ = State::none;
    std::optional<platform::Date> fireDate_;
    bool isRepeats_ = false;
    double timeInterval_ = 1.0;
    std::weak_ptr<platform::NSObject> target_;
    std::optional<platform::Selector> selector_;
    std::shared_ptr<const Block> timerCallBack_;
    platform::DispatchSourceTimerPtr timer_;
};

}  // namespace QVToolbox
