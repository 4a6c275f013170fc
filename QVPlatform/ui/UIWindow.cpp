#include <QVPlatform/ui/UIWindow.h>

#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UIGestureRecognizer.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/UIViewController.h>
#include <QVPlatform/ui/UIWindowScene.h>

#include <algorithm>
#include <utility>

namespace platform {

UIWindow::UIWindow() : UIWindow(UIScreen::main()->bounds()) {}

UIWindow::UIWindow(CGRect frame) : NSObjectSubclass(frame), application_(UIApplication::shared()) {
    setHidden(true);  // windows show when asked to
    UIApplication::shared()->registerWindow(this);
}

UIWindow::UIWindow(const std::shared_ptr<UIWindowScene>& scene) : UIWindow() { scene_ = scene; }

// At exit the application may be going away itself (its delegate holding this window).
UIWindow::~UIWindow() {
    if (const auto app = application_.lock()) app->unregisterWindow(this);
}

void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller) {
    assertMainThread("UIWindow::setRootViewController");
    if (controller == rootViewController_) return;
    auto old = std::exchange(rootViewController_, std::move(controller));
    if (old && old->isViewLoaded() && old->view()->superview().get() == this) old->view()->removeFromSuperview();
    if (rootViewController_) {
        const auto view = rootViewController_->view();
        view->setFrame(bounds());
        view->setAutoresizingMask(UIViewAutoresizing::flexibleWidth | UIViewAutoresizing::flexibleHeight);
        insertSubview(view, 0);
    }
    UIViewController::transition(std::move(old), rootViewController_, false, nullptr, nullptr);
}

void UIWindow::makeKeyWindow() {
    UIApplication::shared()->setKeyWindow(this);
    if (auto scene = windowScene()) scene->keyWindow_ = std::static_pointer_cast<UIWindow>(shared_from_this());
}

void UIWindow::makeKeyAndVisible() {
    setHidden(false);
    makeKeyWindow();
}

bool UIWindow::isKeyWindow() const { return UIApplication::shared()->keyWindow().get() == this; }

UIEdgeInsets UIWindow::safeAreaInsets() const {
    const auto screen = UIScreen::main();
    const CGRect f = frame();
    const CGFloat h = f.height();
    const CGFloat top = std::clamp<CGFloat>(screen->statusBarHeight() - f.minY(), 0, h);
    const CGFloat bottom = std::clamp<CGFloat>(f.maxY() - (screen->bounds().height() - screen->bottomInset()), 0, h);
    return {top, 0, bottom, 0};
}

bool UIWindow::sendTap(CGPoint point) {
    assertMainThread("UIWindow::sendTap");
    for (auto view = hitTest(point); view; view = view->superview()) {
        std::vector<std::shared_ptr<UIGestureRecognizer>> enabled;
        for (const auto& r : view->gestureRecognizers()) {
            if (r->isEnabled()) enabled.push_back(r);
        }
        if (enabled.empty()) continue;
        bool recognized = false;
        for (const auto& r : enabled) recognized = r->handleTap(*this, point) || recognized;
        return recognized;
    }
    return false;
}

std::shared_ptr<UIResponder> UIWindow::nextResponder() const {
    if (auto scene = windowScene()) return scene;
    return nullptr;
}

}  // namespace platform
