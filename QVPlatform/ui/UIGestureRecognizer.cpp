#include <QVPlatform/ui/UIGestureRecognizer.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/ui/UIView.h>

#include <algorithm>

namespace platform {

UIGestureRecognizer::UIGestureRecognizer(const std::shared_ptr<NSObject>& target, std::string action) {
    addTarget(target, std::move(action));
}

UIGestureRecognizer::UIGestureRecognizer(Action action) { addAction(std::move(action)); }

void UIGestureRecognizer::addTarget(const std::shared_ptr<NSObject>& target, std::string action) {
    if (target && !action.empty()) actions_.push_back({target, std::move(action), nullptr});
}

void UIGestureRecognizer::addAction(Action action) {
    if (action) actions_.push_back({{}, {}, std::move(action)});
}

void UIGestureRecognizer::removeTarget(const NSObject* target) {
    std::erase_if(actions_, [&](const TargetAction& a) { return !a.action && a.target.lock().get() == target; });
}

CGPoint UIGestureRecognizer::locationInView(const UIView* view) const {
    const auto window = window_.lock();
    if (!window || !view) return windowPoint_;
    return view->convertPointFrom(windowPoint_, window.get());
}

bool UIGestureRecognizer::handleTap(const UIView& window, CGPoint windowPoint) {
    window_ = std::static_pointer_cast<const UIView>(window.shared_from_this());
    windowPoint_ = windowPoint;
    fire();
    return true;
}

void UIGestureRecognizer::fire() {
    state_ = State::ended;
    const auto actions = actions_;  // an action may edit the list
    const auto self = shared_from_this();
    for (const auto& a : actions) {
        if (a.action) {
            a.action(*this);
        } else if (const auto target = a.target.lock()) {
            if (a.selector.back() == ':')
                target->perform(a.selector, Any(self));
            else
                target->perform(a.selector);
        }
    }
    state_ = State::possible;
}

bool UITapGestureRecognizer::handleTap(const UIView& window, CGPoint windowPoint) {
    constexpr std::uint64_t kTapInterval = 350'000'000;  // ns between the taps of a multi-tap
    const std::uint64_t now = Clock::uptimeNanoseconds();
    seen_ = (seen_ > 0 && now - lastTap_ <= kTapInterval) ? seen_ + 1 : 1;
    lastTap_ = now;
    if (seen_ < taps_) return false;
    seen_ = 0;
    return UIGestureRecognizer::handleTap(window, windowPoint);
}

}  // namespace platform
