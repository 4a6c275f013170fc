#include <QVToolbox/hud/ToastStyle.h>

namespace QVToolbox {

ToastManager& ToastManager::shared() {
    static ToastManager manager;
    return manager;
}

ToastStyle ToastManager::style() const { return read(style_); }
void ToastManager::setStyle(ToastStyle style) { write(style_, std::move(style)); }
bool ToastManager::isTapToDismissEnabled() const { return read(tapToDismiss_); }
void ToastManager::setTapToDismissEnabled(bool enabled) { write(tapToDismiss_, enabled); }
bool ToastManager::isQueueEnabled() const { return read(queueEnabled_); }
void ToastManager::setQueueEnabled(bool enabled) { write(queueEnabled_, enabled); }
double ToastManager::duration() const { return read(duration_); }
void ToastManager::setDuration(double seconds) { write(duration_, seconds); }
ToastPosition ToastManager::position() const { return read(position_); }
void ToastManager::setPosition(ToastPosition position) { write(position_, position); }

}  // namespace QVToolbox
