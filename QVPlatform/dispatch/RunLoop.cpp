#include <QVPlatform/dispatch/RunLoop.h>

#include <QVPlatform/dispatch/Timer.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/detail/Activity.h>
#include <QVPlatform/dispatch/detail/Scheduler.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace platform {

namespace {

std::atomic<bool> mainThreadSet{false};
std::thread::id mainThreadId;  // written once by setMainThread, before any use


}  // namespace

RunLoop& RunLoop::main() {
    static auto* loop = new RunLoop();  // lives for the process
    return *loop;
}

bool RunLoop::isMainThread() {
    if (mainThreadSet.load(std::memory_order_acquire)) return std::this_thread::get_id() == mainThreadId;
    return gettid() == getpid();
}

void RunLoop::setMainThread() {
    mainThreadId = std::this_thread::get_id();
    mainThreadSet.store(true, std::memory_order_release);
}

void RunLoop::perform(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
        wake_.notify_all();
    }
    detail::activityChanged();
}

bool RunLoop::hasPendingWork() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty();
}

std::size_t RunLoop::runUntilIdle() {
    std::size_t count = 0;
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (!queue_.empty()) {
                work = std::move(queue_.front());
                queue_.pop_front();
            }
        }
        if (work) {
            work();
            ++count;
            continue;
        }
        endTurn();
        if (!hasPendingWork()) return count;
    }
}

void RunLoop::addEndOfTurnObserver(std::function<void()> observer) {
    std::lock_guard lock(mutex_);
    endOfTurn_.push_back(std::make_shared<const std::function<void()>>(std::move(observer)));
}

void RunLoop::endTurn() {
    std::vector<std::shared_ptr<const std::function<void()>>> observers;
    {
        std::lock_guard lock(mutex_);
        observers = endOfTurn_;
    }
    for (const auto& observer : observers) (*observer)();  // with no lock held
}

void RunLoop::run(Date limit) {
    if (Clock::isManual()) {
        runUntilIdle();
        ManualClock::advanceTo(Clock::uptimeAtWallSeconds(limit.timeIntervalSince1970()));
        runUntilIdle();
        return;
    }
    for (;;) {
        runUntilIdle();
        const double remaining = limit.timeIntervalSince1970() - Clock::wallSeconds();
        if (!(remaining > 0)) return;
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::duration<double>(std::min(remaining, 3600.0)),
                       [&] { return !queue_.empty(); });
    }
}

void RunLoop::add(const std::shared_ptr<Timer>& timer, const std::string&) {
    if (!timer || !timer->isValid()) return;
    retain(timer);
    timer->schedule();
}

void RunLoop::retain(const std::shared_ptr<Timer>& timer) {
    std::lock_guard lock(mutex_);
    timers_.insert(timer);
}

void RunLoop::release(const Timer* timer) {
    std::shared_ptr<Timer> dropped;  // destroyed after the lock is released
    std::lock_guard lock(mutex_);
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->get() == timer) {
            dropped = *it;
            timers_.erase(it);
            break;
        }
    }
}

}  // namespace platform
