#include <QVToolbox/timing/WeakTimer.h>

#include <QVPlatform/base/Saturating.h>

#include <QVPlatform/dispatch/DispatchTime.h>
#include <QVPlatform/base/Debug.h>

#include <utility>

namespace QVToolbox {

using platform::Any;
using platform::Date;
using platform::DispatchQoS;
using platform::DispatchQueue;
using platform::DispatchQueuePtr;
using platform::DispatchSource;
using platform::DispatchTime;
using platform::DispatchTimeInterval;
using platform::NSObject;
using platform::Selector;

namespace {

// Sends the timer's message on the main queue.
void send(const std::shared_ptr<NSObject>& target, const Selector& selector, const std::optional<Any>& userInfo) {
    // An unknown selector would raise on the main queue and end the process; report it instead.
    if (!target->respondsToSelector(selector)) {
        platform::debugPrint("HxWeakTimer: " + target->className() + " does not respond to " + selector);
        return;
    }
    if (userInfo) {
        target->perform(selector, *userInfo);
    } else {
        target->perform(selector);
    }
}

}  // namespace

std::shared_ptr<HxWeakTimer> HxWeakTimer::make() { return std::shared_ptr<HxWeakTimer>(new HxWeakTimer()); }

std::shared_ptr<HxWeakTimer> HxWeakTimer::make(double timeInterval, const std::shared_ptr<NSObject>& target,
                                               Selector selector, std::optional<Any> userInfo, bool repeats) {
    Setup setup;
    setup.timeInterval = timeInterval;
    setup.repeats = repeats;
    setup.target = target;
    setup.selector = std::move(selector);
    setup.userInfo = std::move(userInfo);
    return create(std::move(setup));
}

std::shared_ptr<HxWeakTimer> HxWeakTimer::scheduledTimer(double timeInterval, const std::shared_ptr<NSObject>& target,
                                                         Selector selector, std::optional<Any> userInfo,
                                                         bool repeats) {
    auto timer = make(timeInterval, target, std::move(selector), std::move(userInfo), repeats);
    timer->fire();
    return timer;
}

std::shared_ptr<HxWeakTimer> HxWeakTimer::make(double timeInterval, bool repeats, DispatchQueuePtr queue, Block block) {
    Setup setup;
    setup.timeInterval = timeInterval;
    setup.repeats = repeats;
    setup.queue = std::move(queue);
    setup.block = std::move(block);
    return create(std::move(setup));
}

std::shared_ptr<HxWeakTimer> HxWeakTimer::scheduledTimer(double timeInterval, bool repeats, DispatchQueuePtr queue,
                                                         Block block) {
    auto timer = make(timeInterval, repeats, std::move(queue), std::move(block));
    timer->fire();
    return timer;
}

std::shared_ptr<HxWeakTimer> HxWeakTimer::make(Date fireAt, double interval, const std::shared_ptr<NSObject>& target,
                                               Selector selector, std::optional<Any> userInfo, bool repeats) {
    Setup setup;
    setup.timeInterval = interval;
    setup.repeats = repeats;
    setup.target = target;
    setup.selector = std::move(selector);
    setup.userInfo = std::move(userInfo);
    setup.fireDate = fireAt;
    return create(std::move(setup));
}

std::shared_ptr<HxWeakTimer> HxWeakTimer::make(Date fire, double interval, bool repeats, DispatchQueuePtr queue,
                                               Block block) {
    Setup setup;
    setup.timeInterval = interval;
    setup.repeats = repeats;
    setup.queue = std::move(queue);
    setup.block = std::move(block);
    setup.fireDate = fire;
    return create(std::move(setup));
}

std::shared_ptr<HxWeakTimer> HxWeakTimer::create(Setup setup) {
    std::shared_ptr<HxWeakTimer> timer(new HxWeakTimer());
    std::lock_guard lock(timer->mutex_);
    timer->userInfo_ = std::move(setup.userInfo);
    timer->fireDate_ = setup.fireDate;
    timer->isRepeats_ = setup.repeats;
    timer->timeInterval_ = setup.timeInterval;
    timer->target_ = std::move(setup.target);
    timer->selector_ = std::move(setup.selector);
    if (setup.block) timer->timerCallBack_ = std::make_shared<const Block>(std::move(setup.block));
    timer->timer_ = DispatchSource::makeTimerSource(setup.queue);  // null: the global default queue
    timer->state_ = State::initialization;
    timer->scheduleLocked();
    std::weak_ptr<HxWeakTimer> weak = timer;
    timer->timer_->setEventHandler([weak] {
        if (auto self = weak.lock()) self->timerCall();
    });
    if (setup.fireDate) {
        const DispatchQueuePtr queue = setup.queue ? setup.queue : DispatchQueue::global(DispatchQoS::default_);
        // The job holds the timer until the date comes.
        queue->asyncAfter(DispatchTime::now() + setup.fireDate->timeIntervalSinceNow(), [timer] {
            std::lock_guard jobLock(timer->mutex_);
            if (timer->timer_ && (timer->state_ == State::initialization || timer->state_ == State::pause)) {
                timer->startLocked();
            }
        });
    }
    return timer;
}

HxWeakTimer::~HxWeakTimer() { invalidate(); }

void HxWeakTimer::scheduleLocked() {
    if (!timer_) return;
    const DispatchTimeInterval repeating = isRepeats_
                                               ? DispatchTimeInterval::milliseconds(platform::saturatingCast<std::int64_t>(timeInterval_ * 1000.0))
                                               : DispatchTimeInterval::never();
    const std::int64_t leeway = tolerance_ ? platform::saturatingCast<std::int64_t>(*tolerance_)
                                           : platform::saturatingCast<std::int64_t>(timeInterval_ * 0.5 * 1000.0);
    // The first deadline is the moment of scheduling: an event comes as soon as the source runs.
    timer_->schedule(DispatchTime::now(), repeating, DispatchTimeInterval::milliseconds(leeway));
}

void HxWeakTimer::startLocked() {
    // Starting (not resuming) schedules again from now, so that the period counts from the
    // start and not from construction; a resumed timer keeps its phase.
    if (state_ == State::initialization) scheduleLocked();
    fireDate_ = Date::now();
    timer_->resume();
    state_ = State::executing;
}

void HxWeakTimer::fire() {
    std::lock_guard lock(mutex_);
    if (timer_ && (state_ == State::initialization || state_ == State::pause)) startLocked();
}

void HxWeakTimer::pause() {
    std::lock_guard lock(mutex_);
    if (!timer_ || !(state_ == State::executing)) return;
    state_ = State::pause;
    timer_->suspend();
}

void HxWeakTimer::invalidate() {
    if (invalidated_.exchange(true, std::memory_order_acq_rel)) return;  // only the first call acts
    std::shared_ptr<const Block> droppedBlock;  // released after the lock
    platform::DispatchSourceTimerPtr droppedSource;
    std::lock_guard lock(mutex_);
    if (!timer_) return;
    // Cancelled first, so that the resume below cannot deliver an event; a suspended source
    // (every state but executing) is resumed so that it is not left suspended.
    timer_->cancel();
    if (!(state_ == State::executing)) timer_->resume();
    droppedSource = std::move(timer_);
    droppedBlock = std::move(timerCallBack_);
    state_ = State::invalidate;
}

HxWeakTimer::State HxWeakTimer::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

bool HxWeakTimer::isValid() const { return state() == State::executing; }

std::optional<Date> HxWeakTimer::fireDate() const {
    std::lock_guard lock(mutex_);
    return fireDate_;
}

std::optional<double> HxWeakTimer::tolerance() const {
    std::lock_guard lock(mutex_);
    return tolerance_;
}

void HxWeakTimer::setTolerance(std::optional<double> milliseconds) {
    std::lock_guard lock(mutex_);
    const bool changed = milliseconds != tolerance_;
    tolerance_ = milliseconds;
    if (changed) scheduleLocked();
}

std::optional<DispatchTimeInterval> HxWeakTimer::leeway() const {
    std::lock_guard lock(mutex_);
    if (!timer_) return std::nullopt;
    return timer_->leeway();
}

std::optional<Any> HxWeakTimer::userInfo() const {
    std::lock_guard lock(mutex_);
    return userInfo_;
}

void HxWeakTimer::setUserInfo(std::optional<Any> userInfo) {
    std::optional<Any> dropped;  // an object value is released after the lock
    std::lock_guard lock(mutex_);
    dropped.swap(userInfo_);
    userInfo_ = std::move(userInfo);
}

void HxWeakTimer::timerCall() {
    if (invalidated_.load(std::memory_order_acquire)) return;
    std::shared_ptr<const Block> block;
    std::shared_ptr<NSObject> target;
    std::optional<Selector> selector;
    std::optional<Any> userInfo;
    {
        std::lock_guard lock(mutex_);
        // An event that was already on its way when the timer paused or was invalidated.
        if (state_ == State::pause || state_ == State::invalidate) return;
        block = timerCallBack_;
        if (!block) {
            target = target_.lock();
            selector = selector_;
            userInfo = userInfo_;
        }
    }
    if (block) {
        (*block)(*this);
        return;
    }
    if (!target || !selector) return;  // a target that is gone receives nothing
    DispatchQueue::main()->async([target = std::move(target), selector = std::move(*selector),
                                  userInfo = std::move(userInfo)] { send(target, selector, userInfo); });
}

}  // namespace QVToolbox
