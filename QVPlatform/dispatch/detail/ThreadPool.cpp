#include <QVPlatform/dispatch/detail/ThreadPool.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/detail/Scheduler.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform::detail {

namespace {

constexpr int kPriorities = 5;
// Hard bound on workers, blocked ones included: past it, more blocked workers get no stand-in.
constexpr int kMaxWorkers = 256;
constexpr std::uint64_t kLongestWaitNs = 3'600'000'000'000;  // a leader looks again at least hourly

thread_local bool onWorker = false;
// Set while a leading worker releases a due entry: the first job the release submits is left
// for this thread, which takes it next instead of waking another.
thread_local bool takesNextJob = false;

enum class Leader { none, worker, keeper };
enum class Wake { nobody, idleWorker, leader };

int coreCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 2 : static_cast<int>(n);
}

std::chrono::steady_clock::time_point steadyPoint(std::uint64_t deadline, std::uint64_t now) {
    const auto capped = std::min(deadline, now + kLongestWaitNs);
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(static_cast<std::int64_t>(capped)));
}

struct Pool {
    std::mutex mutex;  // guards everything below
    std::condition_variable available;   // idle workers wait here
    std::condition_variable leaderWake;  // the leading worker waits here
    std::condition_variable keeperWake;  // the timekeeper waits here
    std::condition_variable parked;      // a worker went idle or retired, for settledPoolSize
    int settleWaiters = 0;
    std::array<std::deque<PoolJob>, kPriorities> queues;
    std::size_t queued = 0;
    const int target = coreCount();
    int workers = 0;  // alive
    int idle = 0;     // waiting on `available`
    int blocked = 0;  // inside a BlockingScope
    Leader leader = Leader::none;
    bool leaderWaiting = false;  // the leading worker sleeps on leaderWake (it is not releasing)
    bool keeperWaiting = false;  // the leading timekeeper sleeps until a deadline (it is not releasing)
    bool keeperStarted = false;

    int running() const { return workers - blocked; }

    // Entries wait for the system clock: somebody has to lead.
    static bool timing() { return hasScheduledEntries() && !Clock::isManual(); }

    bool takeNext(PoolJob& out) {
        for (int p = kPriorities - 1; p >= 0; --p) {
            auto& q = queues[static_cast<std::size_t>(p)];
            if (!q.empty()) {
                out = std::move(q.front());
                q.pop_front();
                --queued;
                return true;
            }
        }
        return false;
    }

    // Someone to take a newly queued job: an idle worker, the leader, or a new worker while
    // fewer than `target` run. The caller notifies after unlocking.
    Wake provideWorker() {
        if (idle > 0) return Wake::idleWorker;
        if (leader == Leader::worker && leaderWaiting) return Wake::leader;
        if (running() < target && workers < kMaxWorkers) startWorker();
        return Wake::nobody;
    }

    void notify(Wake wake) {
        if (wake == Wake::idleWorker) available.notify_one();
        if (wake == Wake::leader) leaderWake.notify_one();
    }

    void tellParked() {
        if (settleWaiters > 0) parked.notify_all();
    }

    bool settled() const {
        return queued == 0 && blocked == 0 && idle + (leaderWaiting ? 1 : 0) == workers;
    }

    void startWorker() {
        try {
            std::thread([this] { workerLoop(); }).detach();
            ++workers;
        } catch (const std::system_error&) {
            // No thread to be had: the job stays queued for the workers there are.
        }
    }

    // Makes sure somebody leads while entries wait: an idle worker, else the timekeeper.
    void ensureLeader() {
        if (leader != Leader::none || !timing()) return;
        if (idle > 0) {
            available.notify_one();
            return;
        }
        if (!keeperStarted) {
            try {
                std::thread([this] { keeperLoop(); }).detach();
                keeperStarted = true;
            } catch (const std::system_error&) {
                return;  // tried again on the next change
            }
        }
        keeperWake.notify_one();
    }

    void workerLoop() {
        onWorker = true;
        std::unique_lock lock(mutex);
        for (;;) {
            if (running() > target) {  // a stand-in whose blocked worker has returned
                --workers;
                if (queued > 0 && idle > 0) available.notify_one();
                tellParked();
                return;
            }
            PoolJob job;
            if (takeNext(job)) {
                ensureLeader();  // never lead while running user code
                lock.unlock();
                job.client->runJob(job);
                job = PoolJob{};  // release the block's captures before taking the lock again
                lock.lock();
                continue;
            }
            // Releases stay one at a time, in deadline order: the role is not taken from a
            // timekeeper in the middle of a release.
            if ((leader == Leader::none || (leader == Leader::keeper && keeperWaiting)) && timing()) {
                if (leader == Leader::keeper) keeperWake.notify_one();  // the timekeeper steps aside
                lead(lock);
                continue;
            }
            ++idle;
            tellParked();
            available.wait(lock);
            --idle;
        }
    }

    // Waits for the earliest deadline and releases it; returns when the released job (if any)
    // should be taken, when work is queued, or when nothing is left to lead for.
    void lead(std::unique_lock<std::mutex>& lock) {
        leader = Leader::worker;
        while (queued == 0 && running() <= target && timing()) {
            const auto next = nextDeadline();
            if (!next) break;
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
            lock.lock();
            break;
        }
        leader = Leader::none;
    }

    // The timekeeper leads only while no worker is idle; it releases entries and never runs
    // queue work, so user code cannot hold it.
    void keeperLoop() {
        std::unique_lock lock(mutex);
        for (;;) {
            if (leader == Leader::none && idle == 0 && timing()) leader = Leader::keeper;
            if (leader != Leader::keeper) {
                keeperWake.wait(lock);
                continue;
            }
            const auto next = timing() ? nextDeadline() : std::nullopt;
            if (!next || idle > 0) {  // nothing to wait for, or an idle worker leads better
                leader = Leader::none;
                if (next) available.notify_one();
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
};

Pool& pool() {
    static auto* instance = new Pool();  // lives for the process, as its threads do
    return *instance;
}

}  // namespace

void submitToPool(int priority, PoolJob job) {
    auto& p = pool();
    const auto index = static_cast<std::size_t>(std::clamp(priority, 0, kPriorities - 1));
    std::unique_lock lock(p.mutex);
    p.queues[index].push_back(std::move(job));
    ++p.queued;
    if (takesNextJob) {
        takesNextJob = false;
        return;
    }
    const Wake wake = p.provideWorker();
    lock.unlock();
    p.notify(wake);
}

void poolTimersChanged() {
    auto& p = pool();
    std::lock_guard lock(p.mutex);
    switch (p.leader) {
        case Leader::worker: p.leaderWake.notify_one(); break;
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
    const Wake wake = p.queued > 0 ? p.provideWorker() : Wake::nobody;
    lock.unlock();
    p.notify(wake);
}

BlockingScope::~BlockingScope() {
    if (!counted_) return;
    auto& p = pool();
    std::lock_guard lock(p.mutex);
    --p.blocked;
}

}  // namespace platform::detail
