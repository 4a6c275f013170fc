#include <QVToolbox/timing/Repeater.h>

#include <QVPlatform/base/Saturating.h>

#include <utility>
#include <vector>

namespace QVToolbox {

using platform::DispatchQueue;
using platform::DispatchQueuePtr;
using platform::DispatchSource;
using platform::DispatchTime;
using platform::DispatchTimeInterval;

namespace {

constexpr const char* kQueueLabel = "com.qvtoolbox.repeater.timer";

// The states in which the timer source is suspended.
bool isSuspendedState(Repeater::State state) {
    return state == Repeater::State::paused || state == Repeater::State::finished;
}

}  // namespace

std::string_view Repeater::State::description() const {
    switch (case_) {
        case paused: return "idle/paused";
        case running: return "running";
        case executing: return "executing";
        case finished: return "finished";
    }
    return "";
}

DispatchTimeInterval Repeater::Interval::value() const {
    switch (unit_) {
        case Unit::nanoseconds: return DispatchTimeInterval::nanoseconds(count_);
        case Unit::microseconds: return DispatchTimeInterval::microseconds(count_);
        case Unit::milliseconds: return DispatchTimeInterval::milliseconds(count_);
        case Unit::minutes: return DispatchTimeInterval::seconds(platform::saturatingMultiply<std::int64_t>(count_, 60));
        case Unit::seconds: return DispatchTimeInterval::milliseconds(platform::saturatingCast<std::int64_t>(seconds_ * 1000.0));
        case Unit::hours: return DispatchTimeInterval::seconds(platform::saturatingMultiply<std::int64_t>(count_, 3600));
        case Unit::days: return DispatchTimeInterval::seconds(platform::saturatingMultiply<std::int64_t>(count_, 86400));
    }
    return DispatchTimeInterval::never();
}

Repeater::Repeater(Interval interval, Mode mode, DispatchTimeInterval tolerance, DispatchQueuePtr queue)
    : mode_(mode),
      tolerance_(tolerance),
      queue_(queue ? std::move(queue) : DispatchQueue::make(kQueueLabel)),
      remainingIterations_(mode.countIterations()),
      interval_(interval) {}

std::shared_ptr<Repeater> Repeater::make(Interval interval, Mode mode, DispatchTimeInterval tolerance,
                                         DispatchQueuePtr queue, Observer observer) {
    std::shared_ptr<Repeater> repeater(new Repeater(interval, mode, tolerance, std::move(queue)));
    {
        std::lock_guard lock(repeater->mutex_);
        repeater->configureTimerLocked();
        repeater->nextObserverID_ = 1;
        if (observer) repeater->observers_.emplace(1, std::make_shared<const Observer>(std::move(observer)));
    }
    return repeater;
}

std::shared_ptr<Repeater> Repeater::make(Interval interval, Mode mode, Observer observer) {
    return make(interval, mode, DispatchTimeInterval::nanoseconds(0), nullptr, std::move(observer));
}

std::shared_ptr<Repeater> Repeater::once(Interval after, DispatchTimeInterval tolerance, DispatchQueuePtr queue,
                                         Observer observer) {
    auto repeater = make(after, Mode::once(), tolerance, std::move(queue), std::move(observer));
    repeater->start();
    return repeater;
}

std::shared_ptr<Repeater> Repeater::once(Interval after, Observer observer) {
    return once(after, DispatchTimeInterval::nanoseconds(0), nullptr, std::move(observer));
}

std::shared_ptr<Repeater> Repeater::every(Interval interval, std::optional<std::int64_t> count,
                                          DispatchTimeInterval tolerance, DispatchQueuePtr queue, Observer observer) {
    const Mode mode = count ? Mode::finite(*count) : Mode::infinite();
    auto repeater = make(interval, mode, tolerance, std::move(queue), std::move(observer));
    repeater->start();
    return repeater;
}

std::shared_ptr<Repeater> Repeater::every(Interval interval, std::optional<std::int64_t> count, Observer observer) {
    return every(interval, count, DispatchTimeInterval::nanoseconds(0), nullptr, std::move(observer));
}

std::shared_ptr<Repeater> Repeater::every(Interval interval, Observer observer) {
    return every(interval, std::nullopt, std::move(observer));
}

Repeater::~Repeater() {
    decltype(observers_) dropped;  // destroyed after the lock is released
    std::lock_guard lock(mutex_);
    dropped.swap(observers_);
    destroyTimerLocked();
}

Repeater::State Repeater::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::optional<std::int64_t> Repeater::remainingIterations() const {
    std::lock_guard lock(mutex_);
    return remainingIterations_;
}

Repeater::Interval Repeater::interval() const {
    std::lock_guard lock(mutex_);
    return interval_;
}

Repeater::StateCallback Repeater::onStateChanged() const {
    std::lock_guard lock(mutex_);
    return onStateChanged_ ? *onStateChanged_ : StateCallback();
}

void Repeater::onStateChanged(StateCallback callback) {
    auto replacement = callback ? std::make_shared<const StateCallback>(std::move(callback)) : nullptr;
    std::lock_guard lock(mutex_);
    onStateChanged_.swap(replacement);  // the old callback is released after the lock
}

Repeater::ObserverToken Repeater::observe(Observer observer) {
    auto stored = std::make_shared<const Observer>(std::move(observer));
    std::lock_guard lock(mutex_);
    const ObserverToken token = ++nextObserverID_;
    if (*stored) observers_.emplace(token, std::move(stored));
    return token;
}

void Repeater::remove(ObserverToken token) {
    std::shared_ptr<const Observer> dropped;
    std::lock_guard lock(mutex_);
    const auto it = observers_.find(token);
    if (it == observers_.end()) return;
    dropped = std::move(it->second);
    observers_.erase(it);
}

void Repeater::removeAllObservers(bool thenStop) {
    decltype(observers_) dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(observers_);
        if (thenStop && state_.isRunning()) setPauseLocked(state_, State::paused);
    }
    deliverPending();
}

bool Repeater::start() {
    {
        std::lock_guard lock(mutex_);
        switch (state_.value()) {
            case State::running:
            case State::executing:
                if (!sourceSuspended_) return false;
                // Inside a manual firing of a paused repeater: it starts for real.
                setStateLocked(State::running);
                break;
            case State::paused: setStateLocked(State::running); break;
            case State::finished: resetLocked(std::nullopt, true); break;
        }
    }
    deliverPending();
    return true;
}

bool Repeater::pause() {
    bool paused = false;
    {
        std::lock_guard lock(mutex_);
        if (!state_.isRunning()) return false;
        paused = setPauseLocked(state_, State::paused);
    }
    deliverPending();
    return paused;
}

void Repeater::fire(bool andPause) { timeFired(std::nullopt, andPause); }

void Repeater::reset(std::optional<Interval> interval, bool restart) {
    {
        std::lock_guard lock(mutex_);
        resetLocked(interval, restart);
    }
    deliverPending();
}

void Repeater::configureTimerLocked() {
    timer_ = DispatchSource::makeTimerSource(queue_);  // made suspended
    sourceSuspended_ = true;
    const DispatchTimeInterval step = interval_.value();
    const DispatchTimeInterval repeating = mode_.kind() == Mode::Kind::once ? DispatchTimeInterval::never() : step;
    timer_->schedule(DispatchTime::now() + step, repeating, tolerance_);
    const std::uint64_t generation = ++timerGeneration_;
    std::weak_ptr<Repeater> weak = weak_from_this();
    timer_->setEventHandler([weak, generation] {
        if (auto self = weak.lock()) self->timeFired(generation, false);
    });
}

void Repeater::destroyTimerLocked() {
    if (!timer_) return;
    timer_->setEventHandler(nullptr);
    timer_->cancel();
    // A cancelled source must not stay suspended: balance the suspension of paused/finished.
    if (sourceSuspended_) timer_->resume();
    timer_.reset();
}

void Repeater::setStateLocked(State newState, bool moveSource) {
    state_ = newState;
    // The source is suspended exactly in paused and finished; the flag keeps every suspend
    // matched by one resume whatever path led here.
    if (moveSource && timer_) {
        const bool suspend = isSuspendedState(newState);
        if (suspend && !sourceSuspended_) timer_->suspend();
        if (!suspend && sourceSuspended_) timer_->resume();
        sourceSuspended_ = suspend;
    }
    pending_.push_back({Event::Kind::stateChanged, newState});
}

bool Repeater::setPauseLocked(State from, State to) {
    if (!(state_ == from)) return false;
    setStateLocked(to);
    return true;
}

void Repeater::resetLocked(std::optional<Interval> interval, bool restart) {
    if (state_.isRunning()) setPauseLocked(state_, State::paused);
    if (const auto count = mode_.countIterations()) remainingIterations_ = *count;
    if (interval) interval_ = *interval;
    destroyTimerLocked();
    configureTimerLocked();
    setStateLocked(State::paused);
    if (restart) setStateLocked(State::running);  // resumes the new source
}

void Repeater::timeFired(std::optional<std::uint64_t> timerGeneration, bool andPause) {
    {
        std::lock_guard lock(mutex_);
        // A timer event that raced with pause/reset, or comes from a replaced source, is dropped.
        if (timerGeneration &&
            (*timerGeneration != timerGeneration_ || sourceSuspended_ || !state_.isRunning())) {
            return;
        }
        // A manual firing leaves the source as it is: it does not start a paused repeater.
        const bool fromSuspended = sourceSuspended_;
        setStateLocked(State::executing, false);
        if (mode_.kind() == Mode::Kind::finite && remainingIterations_) {
            // Never below zero: a count of 0 or less, or a manual firing of a finished
            // repeater, finishes at this firing.
            remainingIterations_ = *remainingIterations_ > 0 ? *remainingIterations_ - 1 : 0;
        }
        pending_.push_back({Event::Kind::observerRound});
        pending_.push_back({Event::Kind::finishFiring, State::executing, fromSuspended});
        if (andPause) pending_.push_back({Event::Kind::pauseAfterFire});
    }
    deliverPending();
}

void Repeater::deliverPending() {
    const auto self = shared_from_this();  // a callback may drop the last outside reference
    std::unique_lock lock(mutex_);
    if (delivering_) return;  // the delivering thread picks these up next, in order
    delivering_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }  // runs with the lock held, also when a callback throws
    } done{delivering_};
    while (!pending_.empty()) {
        const Event event = pending_.front();
        pending_.pop_front();
        runEvent(event, lock);
    }
}

void Repeater::runEvent(const Event& event, std::unique_lock<std::mutex>& lock) {
    // Unlocks for a callback and locks again afterwards, also when it throws.
    struct Unlocked {
        std::unique_lock<std::mutex>& lock;
        explicit Unlocked(std::unique_lock<std::mutex>& l) : lock(l) { lock.unlock(); }
        ~Unlocked() { lock.lock(); }
    };
    switch (event.kind) {
        case Event::Kind::stateChanged: {
            auto callback = onStateChanged_;
            if (!callback) return;
            Unlocked unlocked(lock);
            (*callback)(*this, event.state);
            callback.reset();  // released before the lock is taken again
            return;
        }
        case Event::Kind::observerRound: {
            std::vector<std::shared_ptr<const Observer>> round;
            round.reserve(observers_.size());
            for (const auto& entry : observers_) round.push_back(entry.second);
            Unlocked unlocked(lock);
            for (const auto& observer : round) (*observer)(*this);
            round.clear();  // an observer removed meanwhile is released before the lock is taken again
            return;
        }
        case Event::Kind::finishFiring: {
            if (!(state_ == State::executing)) return;  // changed during the round: nothing to finish
            const bool last = mode_.kind() == Mode::Kind::once ||
                              (mode_.kind() == Mode::Kind::finite && remainingIterations_ && *remainingIterations_ <= 0);
            if (last) {
                setStateLocked(State::finished);
            } else if (event.fromSuspended && sourceSuspended_) {
                setStateLocked(State::paused);  // a manual firing of a paused repeater
            }
            return;
        }
        case Event::Kind::pauseAfterFire:
            if (state_.isRunning()) setPauseLocked(state_, State::paused);
            return;
    }
}

}  // namespace QVToolbox
