// ManualClock: drives manual time for tests and tools.
//
//   ManualClock::start();               // time stands still ...
//   queue.asyncAfter(now + 0.5, work);
//   ManualClock::advance(0.5);          // ... until advanced: `work` has run when this returns
//   ManualClock::stop();                // back to the system clock
//
// `advance`/`advanceTo` release every timer, delayed block and run-loop timer that falls
// due, one by one in deadline order: the clock is set to each deadline before its work is
// released, and the released work (and anything it submits) finishes before time moves on.
// When the advancing thread is the main thread, it also runs the main queue while it waits.
// Reading the time is `Clock` (QVPlatform/base/Clock.h).
//
// Thread rule: any thread may call these; `advance` and `drain` must not be called from
// inside a dispatched block (they would wait for themselves).
#pragma once

#include <cstdint>

namespace platform {

class ManualClock {
public:
    // Switches to manual time. Uptime continues from its current reading; wall time is set
    // to `wallSecondsSince1970`.
    static void start(double wallSecondsSince1970 = 1'700'000'000.0);
    // Back to the system clock; pending timers then fire at their system deadlines.
    static void stop();

    // Manual time only (no effect on the system clock): moves time forward, releasing due
    // work in deadline order. Negative or NaN amounts move nothing but still settle the queues.
    static void advance(double seconds);
    static void advanceNanoseconds(std::uint64_t nanoseconds);
    static void advanceTo(std::uint64_t uptimeNanoseconds);

    // Returns once every dispatched block has finished and, on the main thread, the main
    // queue is empty.
    static void drain();
};

}  // namespace platform
