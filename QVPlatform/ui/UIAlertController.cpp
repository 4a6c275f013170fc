#include <QVPlatform/ui/UIAlertController.h>

#include <algorithm>

namespace platform {

std::shared_ptr<UIAlertAction> UIAlertAction::make(std::string title, UIAlertActionStyle style, Handler handler) {
    return std::make_shared<UIAlertAction>(std::move(title), style, std::move(handler));
}

std::shared_ptr<UIAlertController> UIAlertController::make(std::string title, std::string message,
                                                           UIAlertControllerStyle style) {
    return std::make_shared<UIAlertController>(std::move(title), std::move(message), style);
}

void UIAlertController::addAction(const std::shared_ptr<UIAlertAction>& action) {
    if (!action) return;
    const auto isCancel = [](const auto& a) { return a->style() == UIAlertActionStyle::cancel; };
    if (isCancel(action) && std::any_of(actions_.begin(), actions_.end(), isCancel)) {
        throw NSException("NSInternalInconsistencyException",
                          "UIAlertController can only have one action with a style of UIAlertActionStyleCancel");
    }
    actions_.push_back(action);
}

void UIAlertController::setPreferredAction(const std::shared_ptr<UIAlertAction>& action) {
    if (!action || std::find(actions_.begin(), actions_.end(), action) != actions_.end()) preferred_ = action;
}

bool UIAlertController::tapAction(std::size_t index) {
    if (index >= actions_.size() || !actions_[index]->isEnabled() || !presentingViewController()) return false;
    const auto action = actions_[index];
    dismiss(true, [action] {
        if (action->handler()) action->handler()(*action);
    });
    return true;
}

}  // namespace platform
