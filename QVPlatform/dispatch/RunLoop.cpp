#include <QVPlatform/dispatch/RunLoop.h>

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

// Uptime at which the wall-clock date `date` falls, by the current clock.
std::uint64_t uptimeOf(Date date) {
    const double delta = date.timeIntervalSince1970() - Clock::wallSeconds();
    const auto now = Clock::uptimeNanoseconds();
    if (!(delta > 0)) return now;
    const double ns = delta * 1e9;
    if (ns >= 1.8e19 || static_cast<double>(UINT64_MAX - now) <= ns) return UINT64_MAX;
    return now + static_cast<std::uint64_t>(ns);
}

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
            if (queue_.empty()) return count;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
        ++count;
    }
}

void RunLoop::run(Date limit) {
    if (Clock::isManual()) {
        runUntilIdle();
        ManualClock::advanceTo(uptimeOf(limit));
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

// Timer ---------------------------------------------------------------------------------

Timer::Timer(Date fireDate, double interval, bool repeats, Block block, Any userInfo)
    : interval_(repeats && !(interval > 0) ? 0.0001 : interval),
      repeats_(repeats),
      userInfo_(std::move(userInfo)),
      block_(std::move(block)),
      fireDate_(fireDate) {}

std::shared_ptr<Timer> Timer::make(Date fireDate, double interval, bool repeats, Block block, Any userInfo) {
    return std::make_shared<Timer>(fireDate, interval, repeats, std::move(block), std::move(userInfo));
}

std::shared_ptr<Timer> Timer::make(double interval, bool repeats, Block block, Any userInfo) {
    const double delay = interval > 0 ? interval : 0;
    return make(Date::now().addingTimeInterval(delay), interval, repeats, std::move(block), std::move(userInfo));
}

std::shared_ptr<Timer> Timer::scheduledTimer(double interval, bool repeats, Block block, Any userInfo) {
    auto timer = make(interval, repeats, std::move(block), std::move(userInfo));
    RunLoop::main().add(timer);
    return timer;
}

void Timer::schedule() {
    std::lock_guard lock(mutex_);
    if (!valid_) return;
    if (scheduleId_) detail::unschedule(scheduleId_);
    scheduled_ = true;
    const auto generation = ++generation_;
    std::weak_ptr<Timer> weak = weak_from_this();
    scheduleId_ = detail::scheduleAt(uptimeOf(fireDate_), [weak, generation] {
        RunLoop::main().perform([weak, generation] {
            if (auto self = weak.lock()) self->due(generation);
        });
    });
}

void Timer::due(std::uint64_t generation) {
    Block block;
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_ || !valid_) return;
        scheduleId_ = 0;
        block = block_;
        if (repeats_) {
            const double now = Clock::wallSeconds();
            double next = fireDate_.timeIntervalSince1970() + interval_;
            if (next <= now) next += std::ceil((now - next) / interval_ + 1e-9) * interval_;
            fireDate_ = Date(next);
        }
    }
    auto self = shared_from_this();  // keep alive while the block runs
    if (repeats_) schedule();
    if (block) block(*this);
    if (!repeats_) invalidate();
}

void Timer::fire() {
    Block block;
    {
        std::lock_guard lock(mutex_);
        if (!valid_) return;
        block = block_;
    }
    auto self = shared_from_this();
    if (block) block(*this);
    if (!repeats_) invalidate();
}

void Timer::invalidate() {
    {
        std::lock_guard lock(mutex_);
        if (!valid_) return;
        valid_ = false;
        ++generation_;
        if (scheduleId_) detail::unschedule(scheduleId_);
        scheduleId_ = 0;
        block_ = nullptr;  // the platform releases the target on invalidation
    }
    RunLoop::main().release(this);
}

bool Timer::isValid() const {
    std::lock_guard lock(mutex_);
    return valid_;
}

Date Timer::fireDate() const {
    std::lock_guard lock(mutex_);
    return fireDate_;
}

void Timer::setFireDate(Date date) {
    bool reschedule;
    {
        std::lock_guard lock(mutex_);
        fireDate_ = date;
        reschedule = valid_ && scheduled_;
    }
    if (reschedule) schedule();
}

double Timer::tolerance() const {
    std::lock_guard lock(mutex_);
    return tolerance_;
}

void Timer::setTolerance(double seconds) {
    std::lock_guard lock(mutex_);
    tolerance_ = seconds > 0 ? seconds : 0;
}

}  // namespace platform
