// UIScene and UIWindowScene: a connected instance of the application's interface, with an
// activation state, and the windows shown in it.
//
//   auto scene = std::make_shared<UIWindowScene>();
//   UIApplication::shared()->connectScene(scene);          // foregroundInactive once connected
//   scene->setActivationState(UISceneActivationState::foregroundActive);   // the host says so
//   auto window = std::make_shared<UIWindow>(scene);       // scene->windows() lists it
//
// A scene's windows are the live windows whose `windowScene` is the scene, in creation order;
// its key window is the one of them made key last. Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIResponder.h>
#include <QVPlatform/ui/UIScreen.h>

#include <memory>
#include <string>
#include <vector>

namespace platform {

class UIWindow;

enum class UISceneActivationState { unattached, foregroundActive, foregroundInactive, background };

class UIScene : public NSObjectSubclass<UIScene, UIResponder, "UIScene"> {
public:
    UISceneActivationState activationState() const { return state_; }
    // Set by the host (and by connecting or disconnecting the scene).
    void setActivationState(UISceneActivationState state) { state_ = state; }
    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

private:
    UISceneActivationState state_ = UISceneActivationState::unattached;
    std::string title_;
};

class UIWindowScene : public NSObjectSubclass<UIWindowScene, UIScene, "UIWindowScene"> {
public:
    std::vector<std::shared_ptr<UIWindow>> windows() const;
    std::shared_ptr<UIWindow> keyWindow() const;
    std::shared_ptr<UIScreen> screen() const { return UIScreen::main(); }

private:
    friend class UIWindow;
    std::weak_ptr<UIWindow> keyWindow_;
};

}  // namespace platform
