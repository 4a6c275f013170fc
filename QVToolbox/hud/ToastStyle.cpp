#include <QVToolbox/hud/ToastStyle.h>

namespace QVToolbox {

ToastManager& ToastManager::shared() {
    static ToastManager manager;
    return manager;
}

ToastStyle ToastManager::style() const {
    std::lock_guard lock(mutex_);
    return style_;
}
void ToastManager::setStyle(ToastStyle style) {
    std::lock_guard lock(mutex_);
    style_ = std::move(style);
}
bool ToastManager::isTapToDismissEnabled() const {
    std::lock_guard lock(mutex_);
    return tapToDismiss_;
}
void ToastManager::setTapToDismissEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    tapToDismiss_ = enabled;
}
bool ToastManager::isQueueEnabled() const {
    std::lock_guard lock(mutex_);
    return queueEnabled_;
}
void ToastManager::setQueueEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    queueEnabled_ = enabled;
}
double ToastManager::duration() const {
    std::lock_guard lock(mutex_);
    return duration_;
}
void ToastManager::setDuration(double seconds) {
    std::lock_guard lock(mutex_);
    duration_ = seconds;
}
ToastPosition ToastManager::position() const {
    std::lock_guard lock(mutex_);
    return position_;
}
void ToastManager::setPosition(ToastPosition position) {
    std::lock_guard lock(mutex_);
    position_ = position;
}

}  // namespace QVToolbox
