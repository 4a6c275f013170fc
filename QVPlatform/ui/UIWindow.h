// UIWindow: the root of a view tree that the application shows, and where taps arrive.
//
//   auto window = std::make_shared<UIWindow>();    // the screen's bounds, hidden
//   window->makeKeyAndVisible();                    // shown, and the application's key window
//   window->safeAreaInsets();                       // {20, 0, 0, 0} with the default profile
//   window->sendTap({100, 200});                    // fires the tap recognizers of the view hit
//   auto png = window->renderPNG();                 // at the screen's scale
//
// A window registers with UIApplication when made (windows are listed in creation order) and
// leaves when destroyed. Its safe area is the screen profile's status bar at the top and
// bottom inset at the bottom, where the window reaches them. Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIView.h>

#include <memory>

namespace platform {

class UIApplication;
class UIViewController;
class UIWindowScene;

class UIWindow : public NSObjectSubclass<UIWindow, UIView, "UIWindow"> {
public:
    // A window covering the screen.
    UIWindow();
    explicit UIWindow(CGRect frame);
    // A window in `scene`, covering the screen.
    explicit UIWindow(const std::shared_ptr<UIWindowScene>& scene);
    ~UIWindow() override;

    std::shared_ptr<UIViewController> rootViewController() const { return rootViewController_; }
    // Shows the controller's view filling the window, in place of the previous root's; the
    // appearance messages follow on the next main turn.
    void setRootViewController(std::shared_ptr<UIViewController> controller);
    std::shared_ptr<UIWindowScene> windowScene() const { return scene_.lock(); }
    void setWindowScene(const std::shared_ptr<UIWindowScene>& scene) { scene_ = scene; }
    double windowLevel() const { return level_; }
    void setWindowLevel(double level) { level_ = level; }

    // Makes this the key window of the application (and of its scene).
    void makeKeyWindow();
    // Shows the window and makes it key.
    void makeKeyAndVisible();
    bool isKeyWindow() const;

    UIEdgeInsets safeAreaInsets() const override;

    // Delivers a tap at `point` in window coordinates: the view hit (see UIView::hitTest), or
    // the nearest ancestor with enabled gesture recognizers, gives the tap to those
    // recognizers. True when one of them recognized it.
    bool sendTap(CGPoint point);

    std::shared_ptr<UIResponder> nextResponder() const override;

private:
    std::shared_ptr<UIViewController> rootViewController_;
    std::weak_ptr<UIApplication> application_;
    std::weak_ptr<UIWindowScene> scene_;
    double level_ = 0;
};

}  // namespace platform
