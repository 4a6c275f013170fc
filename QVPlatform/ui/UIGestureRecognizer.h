// UIGestureRecognizer and UITapGestureRecognizer: actions run when a view is tapped.
//
//   auto tap = std::make_shared<UITapGestureRecognizer>(target, "didTap:");  // or a closure
//   view->addGestureRecognizer(tap);
//   window->sendTap({30, 40});        // hit-tests and fires `tap`: target->perform("didTap:", tap)
//   tap->locationInView(view.get());  // where the tap landed, in the view's coordinates
//
// A target is held weakly (as the platform does): a target that is gone is skipped. Actions
// receive the recognizer as their argument. A disabled recognizer does not fire.
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/runtime/NSObject.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class UIView;

class UIGestureRecognizer : public NSObjectSubclass<UIGestureRecognizer, NSObject, "UIGestureRecognizer"> {
public:
    enum class State { possible, began, changed, ended, cancelled, failed };
    using Action = std::function<void(UIGestureRecognizer&)>;

    UIGestureRecognizer() = default;
    // Fires `target`'s method `action` (a selector taking the recognizer, or none).
    UIGestureRecognizer(const std::shared_ptr<NSObject>& target, std::string action);
    explicit UIGestureRecognizer(Action action);

    void addTarget(const std::shared_ptr<NSObject>& target, std::string action);
    void addAction(Action action);
    void removeTarget(const NSObject* target);

    std::shared_ptr<UIView> view() const { return view_.lock(); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    State state() const { return state_; }
    // Where the gesture happened, in `view`'s coordinates (null: the window's).
    CGPoint locationInView(const UIView* view) const;

    // The touch of a tap at `windowPoint` in `window`, for the recognizers of the hit view and
    // its ancestors: fires the actions and returns true when the gesture is recognized.
    virtual bool handleTap(const UIView& window, CGPoint windowPoint);

private:
    friend class UIView;
    void attach(const std::shared_ptr<UIView>& view) { view_ = view; }
    void fire();

    struct TargetAction {
        std::weak_ptr<NSObject> target;
        std::string selector;
        Action action;
    };
    std::weak_ptr<UIView> view_;
    std::vector<TargetAction> actions_;
    bool enabled_ = true;
    State state_ = State::possible;
    std::weak_ptr<const UIView> window_;
    CGPoint windowPoint_;
};

class UITapGestureRecognizer : public NSObjectSubclass<UITapGestureRecognizer, UIGestureRecognizer, "UITapGestureRecognizer"> {
public:
    using NSObjectSubclass::NSObjectSubclass;
    int numberOfTapsRequired() const { return taps_; }
    void setNumberOfTapsRequired(int taps) { taps_ = taps < 1 ? 1 : taps; }
    int numberOfTouchesRequired() const { return 1; }

    // Recognizes on the required count of taps, each within 0.35 s (by the clock) of the last.
    bool handleTap(const UIView& window, CGPoint windowPoint) override;

private:
    int taps_ = 1;
    int seen_ = 0;
    std::uint64_t lastTap_ = 0;  // uptime in nanoseconds
};

}  // namespace platform
