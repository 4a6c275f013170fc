#include <QVPlatform/ui/UITabBarController.h>

#include <algorithm>

namespace platform {

void UITabBarController::setViewControllers(const std::vector<std::shared_ptr<UIViewController>>& controllers) {
    assertMainThread("UITabBarController::setViewControllers");
    const auto old = selectedViewController();
    replaceChildren(controllers);
    select(selected_ < controllers.size() ? selected_ : 0, old);
}

std::shared_ptr<UIViewController> UITabBarController::selectedViewController() const {
    return selected_ < children().size() ? children()[selected_] : nullptr;
}

void UITabBarController::setSelectedIndex(std::size_t index) {
    if (index >= children().size() || index == selected_) return;
    select(index, selectedViewController());
}

void UITabBarController::setSelectedViewController(const std::shared_ptr<UIViewController>& controller) {
    const auto& list = children();
    const auto it = std::find(list.begin(), list.end(), controller);
    if (it != list.end()) setSelectedIndex(static_cast<std::size_t>(it - list.begin()));
}

void UITabBarController::viewDidLoad() {
    UIViewController::viewDidLoad();
    showChildView(selectedViewController());
}

// Shows the controller at `index` in place of `from`: the views at the next turn, with the
// appearance messages while the tab bar controller itself is shown.
void UITabBarController::select(std::size_t index, std::shared_ptr<UIViewController> from) {
    selected_ = index;
    auto to = selectedViewController();
    if (to == from) return;
    const bool shown = isAppearing();
    const auto self = std::static_pointer_cast<UITabBarController>(shared_from_this());
    transition(shown ? std::move(from) : nullptr, shown ? to : nullptr, false,
               [self] { self->showChildView(self->selectedViewController()); }, nullptr);
}

}  // namespace platform
