#include <QVPlatform/dispatch/DispatchSource.h>

#include <QVPlatform/base/Saturating.h>

#include <QVPlatform/dispatch/detail/Scheduler.h>
#include <QVPlatform/base/Debug.h>

#include <limits>

namespace platform {

std::shared_ptr<DispatchSourceTimer> DispatchSource::makeTimerSource(std::shared_ptr<DispatchQueue> queue) {
    return std::make_shared<DispatchSourceTimer>(queue ? std::move(queue) : DispatchQueue::global());
}

DispatchSourceTimer::DispatchSourceTimer(std::shared_ptr<DispatchQueue> queue) : queue_(std::move(queue)) {}

DispatchSourceTimer::~DispatchSourceTimer() {
    if (scheduleId_) detail::unschedule(scheduleId_);
}

void DispatchSourceTimer::schedule(DispatchTime deadline, DispatchTimeInterval repeating, DispatchTimeInterval leeway) {
    std::unique_lock lock(mutex_);
    if (cancelled_) return;
    disarm(lock);
    scheduled_ = !deadline.isDistantFuture();
    deadline_ = deadline.uptimeNanoseconds;
    // As the platform does: a zero interval is 1 ns, a negative one the longest interval.
    const std::int64_t step = repeating.totalNanoseconds();
    interval_ = repeating.isNever() ? 0 : step < 0 ? std::numeric_limits<std::int64_t>::max() : std::max<std::int64_t>(step, 1);
    leeway_ = leeway;
    pendingEvents_ = 0;
    arm(lock);
}

void DispatchSourceTimer::schedule(DispatchTime deadline, double repeatingSeconds, DispatchTimeInterval leeway) {
    schedule(deadline, repeatingSeconds > 0 ? DispatchTimeInterval::fromSeconds(repeatingSeconds)
                                            : DispatchTimeInterval::never(),
             leeway);
}

void DispatchSourceTimer::setEventHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    eventHandler_ = std::move(handler);
}

void DispatchSourceTimer::setCancelHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    cancelHandler_ = std::move(handler);
}

bool DispatchSourceTimer::resume() {
    std::unique_lock lock(mutex_);
    if (suspendCount_ == 0) {
        lock.unlock();
        debugPrint("DispatchSourceTimer: resume of a timer that is not suspended (ignored)", __FILE__);
        return false;
    }
    activated_ = true;
    if (--suspendCount_ == 0 && !cancelled_) {
        arm(lock);
        if (pendingEvents_ > 0) deliver(lock);
    }
    return true;
}

void DispatchSourceTimer::activate() {
    std::unique_lock lock(mutex_);
    if (activated_) return;
    lock.unlock();
    resume();
}

void DispatchSourceTimer::suspend() {
    std::lock_guard lock(mutex_);
    ++suspendCount_;
}

void DispatchSourceTimer::cancel() {
    std::unique_lock lock(mutex_);
    if (cancelled_) return;
    cancelled_ = true;
    disarm(lock);
    pendingEvents_ = 0;
    auto handler = std::move(cancelHandler_);
    eventHandler_ = nullptr;  // the platform releases the handlers on cancellation
    lock.unlock();
    if (handler) queue_->async(std::move(handler));
}

bool DispatchSourceTimer::isCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

std::uint64_t DispatchSourceTimer::data() const {
    std::lock_guard lock(mutex_);
    return data_;
}

int DispatchSourceTimer::suspendCount() const {
    std::lock_guard lock(mutex_);
    return suspendCount_;
}

DispatchTimeInterval DispatchSourceTimer::leeway() const {
    std::lock_guard lock(mutex_);
    return leeway_;
}

void DispatchSourceTimer::arm(std::unique_lock<std::mutex>&) {
    // The timer runs only once scheduled and resumed; a suspended source keeps its deadline
    // (events that fall due while suspended are merged and delivered on resume).
    if (!scheduled_ || cancelled_ || !activated_ || scheduleId_) return;
    const auto generation = ++generation_;
    std::weak_ptr<DispatchSourceTimer> weak = weak_from_this();
    scheduleId_ = detail::scheduleAt(deadline_, [weak, generation] {
        if (auto self = weak.lock()) self->fired(generation);
    });
}

void DispatchSourceTimer::disarm(std::unique_lock<std::mutex>&) {
    ++generation_;
    if (scheduleId_) {
        detail::unschedule(scheduleId_);
        scheduleId_ = 0;
    }
}

void DispatchSourceTimer::fired(std::uint64_t generation) {
    std::unique_lock lock(mutex_);
    if (generation != generation_ || cancelled_) return;
    scheduleId_ = 0;
    ++pendingEvents_;
    if (interval_ > 0) {
        // Next deadline after now, keeping the phase; missed deadlines merge into this event.
        const auto now = Clock::uptimeNanoseconds();
        const auto step = static_cast<std::uint64_t>(interval_);
        auto next = saturatingAdd(deadline_, step);
        if (next <= now) {
            const auto missed = (now - deadline_) / step;  // deadlines already past: merged events
            pendingEvents_ += missed;
            next = saturatingAdd(deadline_, saturatingMultiply(missed + 1, step));
        }
        deadline_ = next;
        arm(lock);
    } else {
        scheduled_ = false;
    }
    if (suspendCount_ == 0) deliver(lock);
}

void DispatchSourceTimer::deliver(std::unique_lock<std::mutex>&) {
    if (handlerQueued_ || pendingEvents_ == 0) return;
    handlerQueued_ = true;
    queue_->async([self = shared_from_this()] {
        std::unique_lock lock(self->mutex_);
        self->handlerQueued_ = false;
        if (self->cancelled_ || self->suspendCount_ > 0 || self->pendingEvents_ == 0) return;
        self->data_ = self->pendingEvents_;
        self->pendingEvents_ = 0;
        auto handler = self->eventHandler_;
        lock.unlock();
        if (handler) handler();
    });
}

}  // namespace platform
