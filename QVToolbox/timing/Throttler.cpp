#include <QVToolbox/timing/Throttler.h>

#include <QVPlatform/base/Debug.h>

#include <utility>

namespace QVToolbox {

using platform::DispatchQoS;
using platform::DispatchQueue;
using platform::DispatchQueuePtr;
using platform::DispatchTime;
using platform::DispatchTimeInterval;
using platform::DispatchWorkItem;
using platform::DispatchWorkItemPtr;

// QVThrottler -----------------------------------------------------------------

QVThrottler::QVThrottler(Repeater::Interval time, DispatchQueuePtr queue, Mode mode, bool immediateFire,
                         Callback callback)
    : immediateFire_(immediateFire),
      mode_(mode),
      queue_(queue ? std::move(queue) : DispatchQueue::global(DispatchQoS::background)),
      throttle_(time.value()),
      callback_(callback ? std::make_shared<const Callback>(std::move(callback)) : nullptr),
      callbackJob_(DispatchWorkItem::make([] {})) {}

std::shared_ptr<QVThrottler> QVThrottler::make(Repeater::Interval time, DispatchQueuePtr queue, Mode mode,
                                               bool immediateFire, Callback callback) {
    return std::shared_ptr<QVThrottler>(
        new QVThrottler(time, std::move(queue), mode, immediateFire, std::move(callback)));
}

void QVThrottler::setCallback(Callback callback) {
    auto replacement = callback ? std::make_shared<const Callback>(std::move(callback)) : nullptr;
    std::lock_guard lock(mutex_);
    callback_.swap(replacement);  // the old callback is released after the lock
}

void QVThrottler::call() {
    std::weak_ptr<QVThrottler> weak = weak_from_this();
    DispatchWorkItemPtr job;
    DispatchTime deadline;
    {
        std::lock_guard lock(mutex_);
        callbackJob_->cancel();  // a job that has started is not stopped
        const std::uint64_t number = ++jobNumber_;
        job = DispatchWorkItem::make([weak, number] {
            if (auto self = weak.lock()) self->perform(number);
        });
        callbackJob_ = job;
        deadline = deadlineLocked(DispatchTime::now());
        previousScheduled_ = deadline;
        waitingForPerform_ = true;
    }
    queue_->asyncAfter(deadline, job);
}

DispatchTime QVThrottler::deadlineLocked(DispatchTime now) const {
    // After a run nothing runs again until the interval has passed (both modes).
    if (lastExecutionTime_ && *lastExecutionTime_ + throttle_ > now) return *lastExecutionTime_ + throttle_;
    if (!waitingForPerform_ && immediateFire_) return now;
    if (mode_ == Mode::fixed) {
        if (!waitingForPerform_) return now + throttle_;
        // A pending run keeps its deadline.
        if (previousScheduled_ && *previousScheduled_ > now) return *previousScheduled_;
        return now;
    }
    return now + throttle_;  // deferred: one interval after the latest call
}

void QVThrottler::perform(std::uint64_t job) {
    std::shared_ptr<const Callback> callback;
    {
        std::lock_guard lock(mutex_);
        // Replaced by a later call in the moment between starting and getting here: treated
        // as cancelled, so that only the latest call's job runs and runs stay apart.
        if (job != jobNumber_) return;
        lastExecutionTime_ = DispatchTime::now();
        waitingForPerform_ = false;
        callback = callback_;
    }
    if (callback) (*callback)();
}

// QVDebouncer -----------------------------------------------------------------

QVDebouncer::QVDebouncer(Repeater::Interval delay, Callback callback)
    : delay_(delay), callback_(callback ? std::make_shared<const Callback>(std::move(callback)) : nullptr) {}

std::shared_ptr<QVDebouncer> QVDebouncer::make(Repeater::Interval delay, Callback callback) {
    return std::shared_ptr<QVDebouncer>(new QVDebouncer(delay, std::move(callback)));
}

Repeater::Interval QVDebouncer::delay() const {
    std::lock_guard lock(mutex_);
    return delay_;
}

QVDebouncer::Callback QVDebouncer::callback() const {
    std::lock_guard lock(mutex_);
    return callback_ ? *callback_ : Callback();
}

void QVDebouncer::setCallback(Callback callback) {
    auto replacement = callback ? std::make_shared<const Callback>(std::move(callback)) : nullptr;
    std::lock_guard lock(mutex_);
    callback_.swap(replacement);
}

void QVDebouncer::call(std::optional<Repeater::Interval> newDelay) {
    std::shared_ptr<Repeater> timer;
    Repeater::Interval delay = Repeater::Interval::nanoseconds(0);
    bool made = false;
    {
        std::lock_guard lock(mutex_);
        if (newDelay) delay_ = *newDelay;
        delay = delay_;
        if (!timer_) {
            std::weak_ptr<QVDebouncer> weak = weak_from_this();
            // Made paused: making delivers nothing, so it may happen under the lock.
            timer_ = Repeater::make(delay, Repeater::Mode::once(), DispatchTimeInterval::nanoseconds(0), nullptr,
                                    [weak](Repeater&) {
                                        if (auto self = weak.lock()) {
                                            self->fired();
                                        } else {
                                            platform::printQuoted("Debouncer fired but callback not set.");
                                        }
                                    });
            made = true;
        }
        timer = timer_;
    }
    // Outside the lock: starting or resetting may deliver the firing on this thread.
    if (made) {
        timer->start();
    } else {
        timer->reset(delay, true);
    }
}

void QVDebouncer::fired() {
    std::shared_ptr<const Callback> callback;
    {
        std::lock_guard lock(mutex_);
        callback = callback_;
    }
    if (callback) {
        (*callback)();
    } else {
        platform::printQuoted("Debouncer fired but callback not set.");
    }
}

}  // namespace QVToolbox
