#include <QVPlatform/dispatch/detail/ThreadPool.h>

#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform::detail {

namespace {

constexpr int kPriorities = 5;
constexpr int kMaxWorkers = 64;

struct Pool {
    std::mutex mutex;  // guards everything below
    std::condition_variable available;
    std::array<std::deque<std::function<void()>>, kPriorities> queues;
    int workers = 0;
    int idle = 0;

    bool takeNext(std::function<void()>& out) {
        for (int p = kPriorities - 1; p >= 0; --p) {
            auto& q = queues[static_cast<std::size_t>(p)];
            if (!q.empty()) {
                out = std::move(q.front());
                q.pop_front();
                return true;
            }
        }
        return false;
    }

    void workerLoop() {
        std::unique_lock lock(mutex);
        for (;;) {
            std::function<void()> work;
            if (!takeNext(work)) {
                ++idle;
                available.wait(lock);
                --idle;
                continue;
            }
            lock.unlock();
            work();
            work = nullptr;  // release captures before taking the lock again
            lock.lock();
        }
    }
};

Pool& pool() {
    static auto* instance = new Pool();  // lives for the process, as its workers do
    return *instance;
}

}  // namespace

void submitToPool(int priority, std::function<void()> work) {
    auto& p = pool();
    const auto index = static_cast<std::size_t>(priority < 0 ? 0 : priority >= kPriorities ? kPriorities - 1 : priority);
    std::unique_lock lock(p.mutex);
    p.queues[index].push_back(std::move(work));
    if (p.idle > 0) {
        p.available.notify_one();
    } else if (p.workers < kMaxWorkers) {
        ++p.workers;
        std::thread([&p] { p.workerLoop(); }).detach();
    }
}

}  // namespace platform::detail
