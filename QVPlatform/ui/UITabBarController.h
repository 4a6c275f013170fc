// UITabBarController: several controllers side by side, the selected one's view shown.
//
//   auto tabs = std::make_shared<UITabBarController>();
//   tabs->setViewControllers({home, settings});    // home selected
//   tabs->setSelectedIndex(1);                      // settings shown; appearance on the next turn
//
// Selecting an index out of range, or a controller not in the list, changes nothing. Setting
// the list keeps the selected index when it is still in range, else selects the first.
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIViewController.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace platform {

class UITabBarController : public NSObjectSubclass<UITabBarController, UIViewController, "UITabBarController"> {
public:
    std::vector<std::shared_ptr<UIViewController>> viewControllers() const { return children(); }
    // Throws NSException "NSInvalidArgumentException" for a null controller or one shown elsewhere.
    void setViewControllers(const std::vector<std::shared_ptr<UIViewController>>& controllers);

    std::size_t selectedIndex() const { return selected_; }
    void setSelectedIndex(std::size_t index);
    // Null when the list is empty.
    std::shared_ptr<UIViewController> selectedViewController() const;
    void setSelectedViewController(const std::shared_ptr<UIViewController>& controller);

protected:
    void viewDidLoad() override;
    std::shared_ptr<UIViewController> visibleChild() const override { return selectedViewController(); }

private:
    void select(std::size_t index, std::shared_ptr<UIViewController> from);

    std::size_t selected_ = 0;
};

}  // namespace platform
