// The global worker pool behind every non-main queue, and the threads that wait for timer
// deadlines under the system clock.
//
// Workers. The pool keeps as many running workers as the machine has cores, started on
// demand. A worker that blocks inside one of our own waiting primitives (queue `sync`,
// work-item `wait`) says so with a `BlockingScope`; while it is blocked the pool may start one
// more worker, so that blocks waiting for other blocks on the same queues cannot starve them.
// When such a worker returns and the pool holds more running workers than cores, the first
// worker to look for work retires. Work is taken highest priority first. A job is one node of
// the pool's list: the queue that runs it and its block, with no wrapper around the block.
//
// Timers. One thread at a time, the leader, waits for the earliest deadline of the scheduler
// (detail/Scheduler.h). The leader is an idle worker whenever one exists: at the deadline it
// releases the entry itself, and the release (a timer source or asyncAfter enqueueing onto its
// queue) hands the queue's block to this same worker without waking another, so a due timer
// handler runs after one wake-up, as a thread sleeping on a condition variable would. The
// block still runs through its queue (a serial queue's drain), so ordering and the serial
// guarantee are the queue's as always. That block is user code and may block for as long as
// it likes, so the timekeeper, a thread that only ever releases entries (user code never holds
// it), watches: it sleeps until the earliest deadline plus 1 ms and takes the role if the
// worker is still running its block then, so a blocking handler delays other timers by at
// most that much. In the steady state the timekeeper wakes once per deadline, after the
// handler has run, and never competes with it. When the worker finds more queued work after
// its block it gives the role up first: to an idle worker, to a new worker while fewer than
// the core count run, else to the timekeeper, which leads while no worker is idle and hands
// the role back to the first worker that is. Releases stay one at a time, in deadline order.
// Under the manual clock nobody leads; the thread that moves the clock releases entries
// (ManualClock.h).
//
// Idle workers spin briefly before sleeping, and each sleeps on its own condition variable:
// a wake-up goes to one chosen sleeper.
#pragma once

#include <functional>
#include <memory>

namespace platform::detail {

struct PoolJob;

// A queue that runs its jobs on the pool.
class PoolClient {
public:
    virtual void runJob(PoolJob& job) = 0;

protected:
    ~PoolClient() = default;
};

struct PoolJob {
    std::shared_ptr<PoolClient> client;  // may own nothing (the global queues live forever)
    std::function<void()> work;          // empty for a serial queue's drain
    bool barrier = false;
};

// Priority 0 (background) .. 4 (user interactive).
void submitToPool(int priority, PoolJob job);

// The scheduler's earliest deadline changed, or the clock was switched: the leader looks again.
void poolTimersChanged();

// For tests: waits until no worker runs a job, none is blocked and nothing is queued, then
// returns the live workers and the number the pool keeps running (the core count).
struct PoolSize {
    int workers = 0;
    int target = 0;
};
PoolSize settledPoolSize();

// Marks the calling thread, when it is a pool worker, as blocked while the scope lives.
class BlockingScope {
public:
    BlockingScope();
    ~BlockingScope();
    BlockingScope(const BlockingScope&) = delete;
    BlockingScope& operator=(const BlockingScope&) = delete;

private:
    bool counted_ = false;
};

}  // namespace platform::detail
