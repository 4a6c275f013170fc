// RunLoop: the main thread's loop, which runs the main queue and run-loop timers.
//
//   RunLoop::main().perform([] { ui(); });                 // what DispatchQueue::main() uses
//   auto t = Timer::scheduledTimer(0.5, true, [](Timer&) { tick(); });
//   RunLoop::main().run(Date::now().addingTimeInterval(2)); // pump for two seconds
//   RunLoop::main().runUntilIdle();                         // or just what is ready now
//
// The main thread is the process's initial thread unless the host calls
// `RunLoop::setMainThread()` first from the thread that will pump. Only the main thread may
// run the loop; `perform` may be called from any thread. Under the manual clock, `run(until)`
// advances the clock to the deadline instead of waiting.
//
// Timer: a run-loop timer that fires on the main thread. The run loop holds a scheduled timer
// until it is invalidated; a repeating timer keeps its phase (next fire date = previous plus
// the interval, skipping fire dates already past).
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Date.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace platform {

class Timer;

class RunLoop {
public:
    static RunLoop& main();
    static bool isMainThread();
    // Makes the calling thread the main thread. Call before any main-queue work exists.
    static void setMainThread();

    struct Mode {
        static inline const std::string defaultMode = "kCFRunLoopDefaultMode";
        static inline const std::string common = "kCFRunLoopCommonModes";
    };

    // Queues `work` to run on the main thread, in order.
    void perform(std::function<void()> work);
    bool hasPendingWork() const;

    // Runs what is queued now and whatever that queues in turn; returns the number of blocks run.
    std::size_t runUntilIdle();
    // Runs blocks and timers until `limit` (see the manual-clock note above).
    void run(Date limit);
    void runFor(double seconds) { run(Date::now().addingTimeInterval(seconds)); }

    // Schedules `timer` (the run loop holds it until it is invalidated). Every mode is treated
    // as the common modes: there is one mode of running here.
    void add(const std::shared_ptr<Timer>& timer, const std::string& mode = Mode::defaultMode);

private:
    RunLoop() = default;
    friend class Timer;
    void retain(const std::shared_ptr<Timer>& timer);
    void release(const Timer* timer);

    mutable std::mutex mutex_;  // guards queue_ and timers_
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    std::set<std::shared_ptr<Timer>> timers_;
};

class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Block = std::function<void(Timer&)>;

    // Made and added to the main run loop.
    static std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats, Block block, Any userInfo = {});
    // Made but not scheduled: add it to the run loop yourself.
    static std::shared_ptr<Timer> make(double interval, bool repeats, Block block, Any userInfo = {});
    static std::shared_ptr<Timer> make(Date fireDate, double interval, bool repeats, Block block, Any userInfo = {});

    // Fires now without changing the schedule (a one-shot timer is invalidated by it).
    void fire();
    void invalidate();
    bool isValid() const;

    Date fireDate() const;
    void setFireDate(Date date);
    double timeInterval() const { return interval_; }
    double tolerance() const;
    void setTolerance(double seconds);
    const Any& userInfo() const { return userInfo_; }

    Timer(Date fireDate, double interval, bool repeats, Block block, Any userInfo);

private:
    friend class RunLoop;
    void schedule();
    void due(std::uint64_t generation);

    const double interval_;  // seconds; <= 0 treated as 0.1 ms for repeating timers, as the platform does
    const bool repeats_;
    const Any userInfo_;

    mutable std::mutex mutex_;  // guards the fields below
    Block block_;
    Date fireDate_;
    double tolerance_ = 0;
    bool valid_ = true;
    bool scheduled_ = false;
    std::uint64_t generation_ = 0;
    std::uint64_t scheduleId_ = 0;
};

using TimerPtr = std::shared_ptr<Timer>;

}  // namespace platform
