#include <QVPlatform/dispatch/detail/ThreadPool.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/base/Saturating.h>
#include <QVPlatform/dispatch/detail/Scheduler.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace platform::detail {

namespace {

constexpr int kPriorities = 5;
// Hard bound on workers, blocked ones included: past it, more blocked workers get no stand-in.
constexpr int kMaxWorkers = 256;
// Short spins before sleeping: the pool's critical sections and the gaps between small jobs
// are far shorter than a sleep and a wake-up.
constexpr int kLockSpins = 64;
constexpr int kIdleSpins = 256;
// How long a leading worker may run the block it released past an overdue deadline before
// the timekeeper takes the role: a blocking handler delays other timers at most this much.
constexpr std::uint64_t kWatchGraceNs = 1'000'000;
constexpr std::uint64_t kLongestWaitNs = 3'600'000'000'000;  // a leader looks again at least hourly

thread_local bool onWorker = false;
// Set while a leading worker releases a due entry: the first job the release submits is left
// for this thread, which takes it next instead of waking another.
thread_local bool takesNextJob = false;

enum class Leader { none, worker, keeper };

void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

std::unique_lock<std::mutex> lockBriefly(std::mutex& mutex) {
    for (int i = 0; i < kLockSpins; ++i) {
        if (mutex.try_lock()) return std::unique_lock(mutex, std::adopt_lock);
        relax();
    }
    return std::unique_lock(mutex);
}

int coreCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 2 : static_cast<int>(n);
}

std::chrono::steady_clock::time_point steadyPoint(std::uint64_t deadline, std::uint64_t now) {
    const auto capped = std::min(deadline, now + kLongestWaitNs);
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(static_cast<std::int64_t>(capped)));
}

// Where one idle worker sleeps. Each worker has its own, so a wake-up goes to one chosen
// sleeper: signalling a condition variable shared by several sleepers, some of them already
// signalled, can make the signaller wait until those have run. Slots outlive their workers
// (a retired worker's slot serves the next), so a wake-up may be sent after unlocking.
struct WorkerSlot {
    std::condition_variable wake;
    bool woken = false;  // guarded by the pool's mutex
};

struct Pool {
    std::mutex mutex;  // guards everything below
    std::condition_variable leaderWake;  // the leading worker waits here
    std::condition_variable keeperWake;  // the timekeeper waits here
    std::condition_variable parked;      // a worker went idle or retired, for settledPoolSize
    int settleWaiters = 0;
    std::array<std::deque<PoolJob>, kPriorities> queues;
    std::size_t queued = 0;
    std::atomic<std::size_t> queuedHint{0};  // `queued`, for spinning workers to read unlocked
    const int target = coreCount();
    int workers = 0;  // alive
    std::vector<WorkerSlot*> idle;  // sleeping workers, the latest last (woken first: warm caches)
    std::vector<std::unique_ptr<WorkerSlot>> slots;  // every slot made
    std::vector<WorkerSlot*> freeSlots;              // slots of retired workers
    int blocked = 0;  // inside a BlockingScope
    Leader leader = Leader::none;
    bool leaderWaiting = false;  // the leading worker sleeps on leaderWake (it is not releasing)
    bool keeperWaiting = false;  // the leading timekeeper sleeps until a deadline (it is not releasing)
    bool keeperStarted = false;
    WorkerSlot* leaderSlot = nullptr;  // the leading worker, when a worker leads
    bool leaderBusy = false;           // the leading worker runs the block it released
    std::uint64_t keeperWatchUntil = UINT64_MAX;  // when the watching timekeeper wakes

    int running() const { return workers - blocked; }

    // Entries wait for the system clock: somebody has to lead.
    static bool timing() { return hasScheduledEntries() && !Clock::isManual(); }

    bool takeNext(PoolJob& out) {
        for (int p = kPriorities - 1; p >= 0; --p) {
            auto& q = queues[static_cast<std::size_t>(p)];
            if (!q.empty()) {
                out = std::move(q.front());
                q.pop_front();
                queuedHint.store(--queued, std::memory_order_relaxed);
                return true;
            }
        }
        return false;
    }

    // Someone to take a newly queued job: an idle worker, the leader, or a new worker while
    // fewer than `target` run. Returns what to notify once the lock is released.
    std::condition_variable* provideWorker() {
        if (auto* wake = wakeIdle()) return wake;
        if (leader == Leader::worker && leaderWaiting) return &leaderWake;
        if (running() < target && workers < kMaxWorkers) startWorker();
        return nullptr;
    }

    // Takes the latest idle worker off the idle list; its slot is to be notified.
    std::condition_variable* wakeIdle() {
        if (idle.empty()) return nullptr;
        WorkerSlot* slot = idle.back();
        idle.pop_back();
        slot->woken = true;
        return &slot->wake;
    }

    static void notify(std::condition_variable* wake) {
        if (wake) wake->notify_one();
    }

    void tellParked() {
        if (settleWaiters > 0) parked.notify_all();
    }

    bool settled() const {
        return queued == 0 && blocked == 0 && static_cast<int>(idle.size()) + (leaderWaiting ? 1 : 0) == workers;
    }

    void startWorker() {
        if (freeSlots.empty()) {
            slots.push_back(std::make_unique<WorkerSlot>());
            freeSlots.push_back(slots.back().get());
        }
        WorkerSlot* slot = freeSlots.back();
        try {
            std::thread([this, slot] { workerLoop(*slot); }).detach();
        } catch (const std::system_error&) {
            return;  // no thread to be had: the job stays queued for the workers there are
        }
        freeSlots.pop_back();
        ++workers;
    }

    // Makes sure somebody leads while entries wait: an idle worker, a new one while fewer than
    // `target` run, else the timekeeper.
    void ensureLeader() {
        if (leader != Leader::none || !timing()) return;
        if (!idle.empty()) {
            notify(wakeIdle());  // under the lock: cheap, and rare
            return;
        }
        if (running() < target && workers < kMaxWorkers) {
            startWorker();  // it finds no work and leads
            return;
        }
        if (!startKeeper()) return;
        keeperWake.notify_one();
    }

    // Runs `job` with the lock released.
    void runUnlocked(std::unique_lock<std::mutex>& lock, PoolJob& job) {
        lock.unlock();
        job.client->runJob(job);
        job = PoolJob{};  // release the block's captures before taking the lock again
        lock = lockBriefly(mutex);
    }

    // Whether an idle worker may take the role now. Releases stay one at a time, in deadline
    // order: the role is not taken from a timekeeper in the middle of a release.
    bool mayLead() const {
        return leader == Leader::none || (leader == Leader::keeper && keeperWaiting) ||
               (leader == Leader::worker && leaderBusy);
    }

    void workerLoop(WorkerSlot& slot) {
        onWorker = true;
        auto lock = lockBriefly(mutex);
        bool spun = false;  // looked for work a while before going idle
        for (;;) {
            if (running() > target) {  // a stand-in whose blocked worker has returned
                --workers;
                freeSlots.push_back(&slot);
                if (queued > 0) notify(wakeIdle());
                tellParked();
                return;
            }
            PoolJob job;
            if (takeNext(job)) {
                ensureLeader();  // never lead while running user code
                runUnlocked(lock, job);
                spun = false;
                continue;
            }
            if (mayLead() && timing()) {
                if (leader == Leader::keeper) keeperWake.notify_one();  // the timekeeper steps aside
                leader = Leader::worker;
                leaderSlot = &slot;
                leaderBusy = false;
                if (lead(lock) && takeNext(job)) {
                    // The block the release queued runs here, after one wake-up, while this
                    // thread keeps the role; the timekeeper takes it over if the block runs
                    // past an overdue deadline.
                    leaderBusy = true;
                    watchBusyLeader();
                    runUnlocked(lock, job);
                    spun = false;
                }
                if (leaderSlot == &slot) {  // the role was not taken over meanwhile
                    leader = Leader::none;
                    leaderSlot = nullptr;
                    leaderBusy = false;
                }
                continue;  // leads again unless work is queued
            }
            if (!spun) {
                spun = true;
                lock.unlock();
                for (int i = 0; i < kIdleSpins && queuedHint.load(std::memory_order_relaxed) == 0; ++i) relax();
                lock = lockBriefly(mutex);
                continue;
            }
            spun = false;
            slot.woken = false;
            idle.push_back(&slot);
            tellParked();
            slot.wake.wait(lock, [&] { return slot.woken; });
        }
    }

    // Waits for the earliest deadline and releases it; true once it has released one (the
    // caller then takes the queued block), false when work is queued or nothing is left to
    // lead for.
    bool lead(std::unique_lock<std::mutex>& lock) {
        while (queued == 0 && running() <= target && timing()) {
            const auto next = nextDeadline();
            if (!next) return false;
            const auto now = Clock::uptimeNanoseconds();
            if (*next > now) {
                leaderWaiting = true;
                tellParked();
                leaderWake.wait_until(lock, steadyPoint(*next, now));
                leaderWaiting = false;
                continue;
            }
            auto release = takeFirstDue(now);
            if (!release) continue;
            // The role stays with this thread while it releases, so a deadline set by the
            // release needs nobody woken: this thread looks again next.
            lock.unlock();
            takesNextJob = true;
            release();
            takesNextJob = false;
            release = nullptr;
            lock = lockBriefly(mutex);
            return true;
        }
        return false;
    }

    // A leading worker starts running a block: the timekeeper must be watching by the next
    // deadline plus the grace. In the steady state it already is, and nobody is woken.
    void watchBusyLeader() {
        const auto next = nextDeadline();
        if (!next) return;  // a deadline set later wakes the timekeeper (poolTimersChanged)
        if (!startKeeper()) return;
        if (keeperWatchUntil > saturatingAdd(*next, kWatchGraceNs)) keeperWake.notify_one();
    }

    bool startKeeper() {
        if (keeperStarted) return true;
        try {
            std::thread([this] { keeperLoop(); }).detach();
            keeperStarted = true;
        } catch (const std::system_error&) {
            return false;  // tried again on the next change
        }
        return true;
    }

    // The timekeeper leads while no worker is idle, and watches a leading worker otherwise.
    // It releases entries and never runs queue work, so user code cannot hold it.
    void keeperLoop() {
        std::unique_lock lock(mutex);
        for (;;) {
            if (!timing()) {
                if (leader == Leader::keeper) leader = Leader::none;
                keeperWake.wait(lock);
                continue;
            }
            if (leader == Leader::none && idle.empty()) leader = Leader::keeper;
            if (leader == Leader::worker) {
                watchLeader(lock);
                continue;
            }
            if (leader != Leader::keeper) {  // an idle worker was woken to lead
                keeperWake.wait(lock);
                continue;
            }
            const auto next = nextDeadline();
            if (!next || !idle.empty()) {  // nothing to wait for, or an idle worker leads better
                leader = Leader::none;
                if (next) notify(wakeIdle());
                keeperWake.wait(lock);
                continue;
            }
            const auto now = Clock::uptimeNanoseconds();
            if (*next > now) {
                keeperWaiting = true;
                keeperWake.wait_until(lock, steadyPoint(*next, now));
                keeperWaiting = false;
                continue;
            }
            auto release = takeFirstDue(now);
            lock.unlock();
            if (release) release();
            release = nullptr;
            lock.lock();
        }
    }

    // Sleeps until the earliest deadline plus the grace, then takes the role if the leading
    // worker is still running a block with that deadline passed.
    void watchLeader(std::unique_lock<std::mutex>& lock) {
        const auto next = nextDeadline();
        const auto now = Clock::uptimeNanoseconds();
        const auto until = next ? saturatingAdd(*next, kWatchGraceNs) : std::uint64_t{UINT64_MAX};
        if (leaderBusy && until <= now) {
            leader = Leader::keeper;
            leaderSlot = nullptr;
            leaderBusy = false;
            return;
        }
        keeperWatchUntil = until;
        if (next) {
            keeperWake.wait_until(lock, steadyPoint(until, now));
        } else {
            keeperWake.wait(lock);
        }
        keeperWatchUntil = UINT64_MAX;
    }
};

Pool& pool() {
    static auto* instance = new Pool();  // lives for the process, as its threads do
    return *instance;
}

}  // namespace

void submitToPool(int priority, PoolJob job) {
    auto& p = pool();
    const auto index = static_cast<std::size_t>(std::clamp(priority, 0, kPriorities - 1));
    auto lock = lockBriefly(p.mutex);
    p.queues[index].push_back(std::move(job));
    p.queuedHint.store(++p.queued, std::memory_order_relaxed);
    if (takesNextJob) {
        takesNextJob = false;
        return;
    }
    auto* wake = p.provideWorker();
    lock.unlock();
    Pool::notify(wake);
}

void poolTimersChanged() {
    auto& p = pool();
    std::lock_guard lock(p.mutex);
    switch (p.leader) {
        case Leader::worker:
            if (p.leaderWaiting) p.leaderWake.notify_one();
            if (p.leaderBusy && p.startKeeper()) p.keeperWake.notify_one();  // the watch is timed again
            break;
        case Leader::keeper: p.keeperWake.notify_one(); break;
        case Leader::none: p.ensureLeader(); break;
    }
}

PoolSize settledPoolSize() {
    auto& p = pool();
    std::unique_lock lock(p.mutex);
    ++p.settleWaiters;
    p.parked.wait(lock, [&] { return p.settled(); });
    --p.settleWaiters;
    return {p.workers, p.target};
}

BlockingScope::BlockingScope() {
    if (!onWorker) return;
    auto& p = pool();
    std::unique_lock lock(p.mutex);
    ++p.blocked;
    counted_ = true;
    auto* wake = p.queued > 0 ? p.provideWorker() : nullptr;
    lock.unlock();
    Pool::notify(wake);
}

BlockingScope::~BlockingScope() {
    if (!counted_) return;
    auto& p = pool();
    std::lock_guard lock(p.mutex);
    --p.blocked;
}

}  // namespace platform::detail
