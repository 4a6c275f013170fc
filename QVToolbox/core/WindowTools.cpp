#include <QVToolbox/core/WindowTools.h>

#include <QVPlatform/ui/UIAlertController.h>
#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UINavigationController.h>
#include <QVPlatform/ui/UITabBarController.h>
#include <QVPlatform/ui/UIWindowScene.h>


namespace QVToolbox {

using namespace platform;

std::shared_ptr<UIWindow> versionKeyWindow() {
    for (const auto& scene : UIApplication::shared()->connectedScenes()) {
        if (scene->activationState() != UISceneActivationState::foregroundActive) continue;
        const auto windowScene = std::dynamic_pointer_cast<UIWindowScene>(scene);
        if (!windowScene) continue;
        if (auto key = windowScene->keyWindow()) return key;
    }
    return nullptr;
}

namespace {

// The next controller up from `controller` in the documented order; null at the top.
std::shared_ptr<UIViewController> nextUp(const UIViewController& controller) {
    if (auto presented = controller.presentedViewController()) return presented;
    if (const auto* nav = dynamic_cast<const UINavigationController*>(&controller)) return nav->visibleViewController();
    if (const auto* tabs = dynamic_cast<const UITabBarController*>(&controller)) return tabs->selectedViewController();
    return nullptr;
}

}  // namespace

std::shared_ptr<UIViewController> topViewController(std::shared_ptr<UIViewController> start) {
    if (!start) {
        const auto window = versionKeyWindow();
        start = window ? window->rootViewController() : nullptr;
    }
    for (auto current = start; current;) {
        auto next = nextUp(*current);
        if (!next) return current;
        current = std::move(next);
    }
    return nullptr;
}

bool tryDismissAlert() {
    const auto top = topViewController();
    if (!std::dynamic_pointer_cast<UIAlertController>(top)) return false;
    top->dismiss(false);
    return true;
}

}  // namespace QVToolbox
