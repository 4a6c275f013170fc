// Timer: a run-loop timer that fires on the main thread.
//
//   auto t = Timer::scheduledTimer(0.5, true, [](Timer&) { tick(); });   // every 0.5 s
//   t->setTolerance(0.1);
//   t->invalidate();                                                     // stops it
//
// The main run loop holds a scheduled timer until it is invalidated; a repeating timer keeps
// its phase (next fire date = previous plus the interval, skipping fire dates already past).
// Under the manual clock it fires when time is advanced past its fire date.
//
// Thread rule: members may be called from any thread; the block runs on the main thread.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Date.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {

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
