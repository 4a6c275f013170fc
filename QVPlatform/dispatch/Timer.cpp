#include <QVPlatform/dispatch/Timer.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/detail/Scheduler.h>

#include <cmath>

namespace platform {

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
    scheduleId_ = detail::scheduleAt(Clock::uptimeAtWallSeconds(fireDate_.timeIntervalSince1970()), [weak, generation] {
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
