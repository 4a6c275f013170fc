#include <QVPlatform/dispatch/DispatchQueue.h>

#include <QVPlatform/dispatch/DispatchWorkItem.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/dispatch/detail/Activity.h>
#include <QVPlatform/dispatch/detail/Scheduler.h>
#include <QVPlatform/dispatch/detail/ThreadPool.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

namespace platform {

namespace {

// The queues whose blocks the calling thread is running, innermost last.
thread_local std::vector<const DispatchQueue*> currentQueues;

// A one-shot signal between two threads.
class Signal {
public:
    void notify() {
        std::lock_guard lock(mutex_);
        done_ = true;
        cv_.notify_all();
    }
    void wait() {
        const detail::BlockingScope blocking;
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return done_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
};

class SerialQueue final : public DispatchQueue, public detail::PoolClient {
public:
    SerialQueue(std::string label, DispatchQoS qos) : DispatchQueue(std::move(label), Kind::serial, qos) {}

    void enqueue(Task task) override {
        detail::workQueued();
        std::unique_lock lock(mutex_);
        items_.push_back({std::move(task), nullptr});
        if (!busy_) {
            busy_ = true;
            lock.unlock();
            submitDrain();
        }
    }

    // Runs `work` on the calling thread once the queue is free, holding the queue meanwhile.
    // The queue is handed on even when `work` throws.
    void syncOnCaller(const std::function<void()>& work) {
        std::unique_lock lock(mutex_);
        if (busy_) {
            Signal turn;
            items_.push_back({Task{}, &turn});
            lock.unlock();
            turn.wait();
        } else {
            busy_ = true;
            lock.unlock();
        }
        struct HandOn {
            SerialQueue& queue;
            ~HandOn() { queue.handOnAfterSync(); }
        } handOn{*this};
        runAsCurrent(work);
    }

private:
    struct Item {
        Task task;
        Signal* syncTurn;  // non-null: a sync caller waits for its turn here
    };

    void submitDrain() {
        // The job owns the queue until its drain ends.
        detail::submitToPool(priority(), {std::shared_ptr<PoolClient>(shared_from_this(), this), nullptr});
    }

    void runJob(detail::PoolJob&) override { drain(); }

    void handOnAfterSync() {
        std::unique_lock lock(mutex_);
        if (items_.empty()) {
            busy_ = false;
            return;
        }
        lock.unlock();
        submitDrain();
    }

    void drain() {
        for (;;) {
            std::unique_lock lock(mutex_);
            if (items_.empty()) {
                busy_ = false;
                return;
            }
            Item item = std::move(items_.front());
            items_.pop_front();
            lock.unlock();
            if (item.syncTurn) {
                item.syncTurn->notify();  // the queue now belongs to the sync caller
                return;
            }
            runAsCurrent(item.task.work);
            item.task.work = nullptr;
            detail::workFinished();
        }
    }

    std::mutex mutex_;  // guards items_ and busy_
    std::deque<Item> items_;
    bool busy_ = false;  // a drain is scheduled or running, or a sync caller holds the queue
};

class ConcurrentQueue final : public DispatchQueue, public detail::PoolClient {
public:
    ConcurrentQueue(std::string label, DispatchQoS qos) : DispatchQueue(std::move(label), Kind::concurrent, qos) {}

    void enqueue(Task task) override {
        detail::workQueued();
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(task));
        startReady();
    }

private:
    // Starts every block that may run now: those before the next barrier, or the barrier
    // itself once nothing else runs. Each job owns the queue until it has run.
    void startReady() {
        while (!pending_.empty() && !barrierRunning_) {
            if (pending_.front().barrier) {
                if (running_ > 0) break;
                barrierRunning_ = true;
            }
            Task task = std::move(pending_.front());
            pending_.pop_front();
            ++running_;
            detail::submitToPool(priority(), {std::shared_ptr<PoolClient>(shared_from_this(), this),
                                              std::move(task.work), task.barrier});
        }
    }

    void runJob(detail::PoolJob& job) override {
        runAsCurrent(job.work);
        job.work = nullptr;
        {
            std::lock_guard lock(mutex_);
            --running_;
            if (job.barrier) barrierRunning_ = false;
            startReady();
        }
        detail::workFinished();
    }

    std::mutex mutex_;  // guards pending_, running_, barrierRunning_
    std::deque<Task> pending_;
    int running_ = 0;
    bool barrierRunning_ = false;
};

class GlobalQueue final : public DispatchQueue, public detail::PoolClient {
public:
    GlobalQueue(std::string label, DispatchQoS qos) : DispatchQueue(std::move(label), Kind::global, qos) {}

    void enqueue(Task task) override {
        detail::workQueued();
        // The global queues live for the process: the job holds a pointer that owns nothing.
        detail::submitToPool(priority(), {std::shared_ptr<PoolClient>(std::shared_ptr<PoolClient>(), this),
                                          std::move(task.work)});
    }

    void runJob(detail::PoolJob& job) override {
        runAsCurrent(job.work);
        job.work = nullptr;
        detail::workFinished();
    }
};

class MainQueue final : public DispatchQueue {
public:
    MainQueue() : DispatchQueue("com.apple.main-thread", Kind::main, DispatchQoS::userInteractive) {}

    void enqueue(Task task) override {
        RunLoop::main().perform([this, work = std::move(task.work)] { runAsCurrent(work); });
    }
};

std::shared_ptr<DispatchQueue> makeGlobal(DispatchQoS qos, const char* label) {
    // Never destroyed: blocks may still run on them while the process exits.
    return std::shared_ptr<DispatchQueue>(new GlobalQueue(label, qos), [](DispatchQueue*) {});
}

}  // namespace

std::shared_ptr<DispatchQueue> DispatchQueue::make(std::string label, Attributes attributes, DispatchQoS qos) {
    if (attributes == Attributes::concurrent) return std::make_shared<ConcurrentQueue>(std::move(label), qos);
    return std::make_shared<SerialQueue>(std::move(label), qos);
}

std::shared_ptr<DispatchQueue> DispatchQueue::main() {
    static const auto queue = std::shared_ptr<DispatchQueue>(new MainQueue(), [](DispatchQueue*) {});
    return queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::global(DispatchQoS qos) {
    static const std::array<std::shared_ptr<DispatchQueue>, 6> queues{
        makeGlobal(DispatchQoS::background, "com.apple.root.background-qos"),
        makeGlobal(DispatchQoS::utility, "com.apple.root.utility-qos"),
        makeGlobal(DispatchQoS::default_, "com.apple.root.default-qos"),
        makeGlobal(DispatchQoS::userInitiated, "com.apple.root.user-initiated-qos"),
        makeGlobal(DispatchQoS::userInteractive, "com.apple.root.user-interactive-qos"),
        makeGlobal(DispatchQoS::default_, "com.apple.root.default-qos"),
    };
    return queues[static_cast<std::size_t>(qos)];
}

int DispatchQueue::priority() const {
    switch (qos_) {
        case DispatchQoS::background: return 0;
        case DispatchQoS::utility: return 1;
        case DispatchQoS::default_:
        case DispatchQoS::unspecified: return 2;
        case DispatchQoS::userInitiated: return 3;
        case DispatchQoS::userInteractive: return 4;
    }
    return 2;
}

void DispatchQueue::runAsCurrent(const std::function<void()>& work) {
    currentQueues.push_back(this);
    struct Pop {
        ~Pop() { currentQueues.pop_back(); }
    } pop;
    if (work) work();
}

DispatchQueue* DispatchQueue::current() {
    return currentQueues.empty() ? nullptr : const_cast<DispatchQueue*>(currentQueues.back());
}

bool DispatchQueue::isCurrent() const {
    if (kind_ == Kind::main && RunLoop::isMainThread()) return true;
    return std::find(currentQueues.begin(), currentQueues.end(), this) != currentQueues.end();
}

void DispatchQueue::async(std::function<void()> work, DispatchWorkItemFlags flags) {
    enqueue(Task{std::move(work), flags.barrier && kind_ == Kind::concurrent});
}

void DispatchQueue::async(const std::shared_ptr<DispatchWorkItem>& item) {
    if (!item) return;
    async([item] { item->perform(); }, item->flags());
}

void DispatchQueue::asyncAfter(DispatchTime deadline, std::function<void()> work, DispatchWorkItemFlags flags) {
    if (deadline.isDistantFuture()) return;  // never comes
    if (deadline <= DispatchTime::now()) {
        async(std::move(work), flags);
        return;
    }
    detail::scheduleAt(deadline.uptimeNanoseconds,
                       [self = shared_from_this(), work = std::move(work), flags]() mutable {
                           self->async(std::move(work), flags);
                       });
}

void DispatchQueue::asyncAfter(DispatchTime deadline, const std::shared_ptr<DispatchWorkItem>& item) {
    if (!item) return;
    asyncAfter(deadline, [item] { item->perform(); }, item->flags());
}

void DispatchQueue::sync(const std::function<void()>& work, DispatchWorkItemFlags flags) {
    if (isCurrent()) {  // already on this queue: run now instead of deadlocking
        runAsCurrent(work);
        return;
    }
    if (kind_ == Kind::serial) {
        static_cast<SerialQueue*>(this)->syncOnCaller(work);
        return;
    }
    Signal done;
    enqueue(Task{[&] {
                     work();
                     done.notify();
                 },
                 flags.barrier && kind_ == Kind::concurrent});
    done.wait();
}

void DispatchQueue::sync(const std::shared_ptr<DispatchWorkItem>& item) {
    if (!item) return;
    sync([&] { item->perform(); }, item->flags());
}

}  // namespace platform
