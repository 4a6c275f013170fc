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
// Timers that fire on the main thread are `Timer` (QVPlatform/dispatch/Timer.h).
#pragma once

#include <QVPlatform/base/Date.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

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

    // Calls `observer` on the main thread at the end of every turn: each time the loop has run
    // what was queued and is about to wait (the views' commit step: layout, then display). Work
    // the observer queues runs in a further turn. Observers stay for the process.
    void addEndOfTurnObserver(std::function<void()> observer);

    // Schedules `timer` (the run loop holds it until it is invalidated). Every mode is treated
    // as the common modes: there is one mode of running here.
    void add(const std::shared_ptr<Timer>& timer, const std::string& mode = Mode::defaultMode);

private:
    RunLoop() = default;
    friend class Timer;
    void retain(const std::shared_ptr<Timer>& timer);
    void release(const Timer* timer);

    void endTurn();

    mutable std::mutex mutex_;  // guards queue_, timers_ and endOfTurn_
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    std::set<std::shared_ptr<Timer>> timers_;
    std::vector<std::shared_ptr<const std::function<void()>>> endOfTurn_;
};

}  // namespace platform
