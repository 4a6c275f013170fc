#include <QVPlatform/layers/CADisplayLink.h>

#include <QVPlatform/layers/CAMediaTimingFunction.h>

namespace platform {

std::shared_ptr<CADisplayLink> CADisplayLink::make(Callback callback) {
    return std::shared_ptr<CADisplayLink>(new CADisplayLink([callback = std::move(callback)](CADisplayLink& link) {
        if (callback) callback(link);
        return true;
    }));
}

CADisplayLink::CADisplayLink(Tick tick) : tick_(std::move(tick)) {}

CADisplayLink::~CADisplayLink() {
    if (timer_) timer_->invalidate();
}

bool CADisplayLink::addToRunLoop(RunLoop& runLoop, const std::string& mode) {
    std::lock_guard lock(mutex_);
    if (added_ || !valid_) return false;
    added_ = true;
    const std::weak_ptr<CADisplayLink> weak = weak_from_this();
    timer_ = Timer::make(kFrameDuration, true, [weak](Timer&) {
        if (const auto link = weak.lock()) link->frame();
    });
    timestamp_ = CACurrentMediaTime();
    runLoop.add(timer_, mode);
    return true;
}

void CADisplayLink::frame() {
    std::lock_guard firing(firing_);
    Tick tick;
    {
        std::lock_guard lock(mutex_);
        if (!valid_ || paused_) return;
        timestamp_ = CACurrentMediaTime();
        tick = tick_;
    }
    if (!tick(*this)) invalidate();  // the target is gone
}

void CADisplayLink::invalidate() {
    std::shared_ptr<Timer> timer;
    {
        std::lock_guard firing(firing_);  // waits for a callback running on another thread
        std::lock_guard lock(mutex_);
        valid_ = false;
        tick_ = {};
        timer.swap(timer_);
    }
    // Outside the firing lock: the timer may be calling frame() under its own lock.
    if (timer) timer->invalidate();
}

bool CADisplayLink::isValid() const {
    std::lock_guard lock(mutex_);
    return valid_;
}

bool CADisplayLink::isPaused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

void CADisplayLink::setPaused(bool paused) {
    std::lock_guard lock(mutex_);
    paused_ = paused;
}

double CADisplayLink::timestamp() const {
    std::lock_guard lock(mutex_);
    return timestamp_;
}

double CADisplayLink::targetTimestamp() const {
    std::lock_guard lock(mutex_);
    return timestamp_ + kFrameDuration;
}

}  // namespace platform
