// UINavigationController: a stack of controllers, the top one's view filling the container's.
//
//   auto nav = UINavigationController::make(home);
//   window->setRootViewController(nav);
//   nav->pushViewController(details, true);   // details on top; appearance on the next turn
//   nav->popViewController(true);             // back to home; returns details
//
// Push and pop are messages ("pushViewControllerAnimated:" is "pushViewController:animated:",
// then "popViewControllerAnimated:", "popToRootViewControllerAnimated:"), so exchanging them
// changes what runs. The stack changes at once; on the next main turn the outgoing top gets
// viewWillDisappear:, the incoming one viewWillAppear:, the views swap, then the did
// messages — while the container itself is shown. Pushing null or a controller that is
// already in a container or presented throws NSException "NSInvalidArgumentException";
// popping the root does nothing. Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIViewController.h>

#include <memory>
#include <vector>

namespace platform {

class UINavigationController : public NSObjectSubclass<UINavigationController, UIViewController, "UINavigationController"> {
public:
    static void registerClass(ObjCClass& cls);
    // A navigation controller with `root` at the bottom of its stack (null: empty).
    static std::shared_ptr<UINavigationController> make(const std::shared_ptr<UIViewController>& root);

    std::vector<std::shared_ptr<UIViewController>> viewControllers() const { return children(); }
    // Replaces the stack; a new top is shown as after a push or pop.
    void setViewControllers(const std::vector<std::shared_ptr<UIViewController>>& controllers);
    std::shared_ptr<UIViewController> topViewController() const;
    // The controller presented over the container, else the top one.
    std::shared_ptr<UIViewController> visibleViewController() const;

    void pushViewController(const std::shared_ptr<UIViewController>& controller, bool animated);
    // The controller popped; null when only the root is left.
    std::shared_ptr<UIViewController> popViewController(bool animated);
    // The controllers popped, bottom first.
    std::vector<std::shared_ptr<UIViewController>> popToRootViewController(bool animated);

protected:
    void viewDidLoad() override;
    std::shared_ptr<UIViewController> visibleChild() const override { return topViewController(); }

private:
    void pushNow(const std::shared_ptr<UIViewController>& controller, bool animated);
    std::vector<std::shared_ptr<UIViewController>> popNow(std::size_t keep, bool animated);
    void changeTop(std::shared_ptr<UIViewController> from, bool animated);
};

}  // namespace platform
