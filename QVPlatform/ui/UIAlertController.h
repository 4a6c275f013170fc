// UIAlertController: a message with buttons (actions), presented like any controller.
//
//   auto alert = UIAlertController::make("Delete?", "This cannot be undone.", UIAlertControllerStyle::alert);
//   alert->addAction(UIAlertAction::make("Cancel", UIAlertActionStyle::cancel, nullptr));
//   alert->addAction(UIAlertAction::make("Delete", UIAlertActionStyle::destructive, [](const UIAlertAction&) { erase(); }));
//   home->present(alert, true);
//   alert->tapAction(1);   // what a tap on "Delete" does: dismisses the alert, then runs the handler
//
// An alert holds at most one cancel action (a second one throws NSException
// "NSInternalInconsistencyException", as on the platform). Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIViewController.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class UIAlertControllerStyle { actionSheet, alert };
enum class UIAlertActionStyle { defaultStyle, cancel, destructive };

class UIAlertAction : public NSObjectSubclass<UIAlertAction, NSObject, "UIAlertAction"> {
public:
    using Handler = std::function<void(const UIAlertAction&)>;
    static std::shared_ptr<UIAlertAction> make(std::string title, UIAlertActionStyle style, Handler handler);
    UIAlertAction(std::string title, UIAlertActionStyle style, Handler handler)
        : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}

    const std::string& title() const { return title_; }
    UIAlertActionStyle style() const { return style_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    const Handler& handler() const { return handler_; }

private:
    std::string title_;
    UIAlertActionStyle style_;
    Handler handler_;
    bool enabled_ = true;
};

class UIAlertController : public NSObjectSubclass<UIAlertController, UIViewController, "UIAlertController"> {
public:
    static std::shared_ptr<UIAlertController> make(std::string title, std::string message, UIAlertControllerStyle style);
    UIAlertController(std::string title, std::string message, UIAlertControllerStyle style)
        : message_(std::move(message)), style_(style) {
        setTitle(std::move(title));
    }

    const std::string& message() const { return message_; }
    void setMessage(std::string message) { message_ = std::move(message); }
    UIAlertControllerStyle preferredStyle() const { return style_; }

    void addAction(const std::shared_ptr<UIAlertAction>& action);
    const std::vector<std::shared_ptr<UIAlertAction>>& actions() const { return actions_; }
    std::shared_ptr<UIAlertAction> preferredAction() const { return preferred_; }
    // Must be one of the actions; others are ignored.
    void setPreferredAction(const std::shared_ptr<UIAlertAction>& action);

    // Does what a tap on the action at `index` does: dismisses the alert, then runs the
    // action's handler once the dismissal completes. False (nothing happens) for an index out
    // of range, a disabled action, or an alert not presented.
    bool tapAction(std::size_t index);

private:
    std::string message_;
    UIAlertControllerStyle style_;
    std::vector<std::shared_ptr<UIAlertAction>> actions_;
    std::shared_ptr<UIAlertAction> preferred_;
};

}  // namespace platform
