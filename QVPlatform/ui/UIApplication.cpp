#include <QVPlatform/ui/UIApplication.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/ui/UIWindow.h>
#include <QVPlatform/ui/UIWindowScene.h>

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

std::string lowercased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::shared_ptr<UIApplication> UIApplication::shared() {
    static const auto application = std::make_shared<UIApplication>();
    return application;
}

UIApplication::State UIApplication::applicationState() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void UIApplication::setApplicationState(State state) {
    std::lock_guard lock(mutex_);
    state_ = state;
}

void UIApplication::registerURLHandler(const std::string& scheme, URLHandler handler) {
    std::lock_guard lock(mutex_);
    if (handler) handlers_[lowercased(scheme)] = std::move(handler);
    else handlers_.erase(lowercased(scheme));
}

void UIApplication::removeURLHandler(const std::string& scheme) { registerURLHandler(scheme, nullptr); }

UIApplication::URLHandler UIApplication::handlerFor(const URL& url) const {
    std::lock_guard lock(mutex_);
    const auto it = handlers_.find(lowercased(url.scheme()));
    return it == handlers_.end() ? nullptr : it->second;
}

bool UIApplication::canOpenURL(const URL& url) const { return handlerFor(url) != nullptr; }

void UIApplication::openURL(const URL& url, const Any::Dictionary&, std::function<void(bool)> completion) {
    DispatchQueue::main()->async([handler = handlerFor(url), url, completion = std::move(completion)] {
        const bool opened = handler && handler(url);
        if (completion) completion(opened);
    });
}

std::vector<std::shared_ptr<UIWindow>> UIApplication::windows() const {
    std::vector<std::shared_ptr<UIWindow>> live;
    for (UIWindow* w : windows_) {
        if (auto shared = std::static_pointer_cast<UIWindow>(w->weak_from_this().lock())) live.push_back(std::move(shared));
    }
    return live;
}

std::shared_ptr<UIWindow> UIApplication::keyWindow() const {
    return keyWindow_ ? std::static_pointer_cast<UIWindow>(keyWindow_->weak_from_this().lock()) : nullptr;
}

std::shared_ptr<UIApplicationDelegate> UIApplication::delegate() const { return delegate_; }

void UIApplication::setDelegate(std::shared_ptr<UIApplicationDelegate> delegate) { delegate_ = std::move(delegate); }

std::vector<std::shared_ptr<UIScene>> UIApplication::connectedScenes() const { return scenes_; }

void UIApplication::connectScene(const std::shared_ptr<UIScene>& scene) {
    if (!scene || std::find(scenes_.begin(), scenes_.end(), scene) != scenes_.end()) return;
    scenes_.push_back(scene);
    if (scene->activationState() == UISceneActivationState::unattached)
        scene->setActivationState(UISceneActivationState::foregroundInactive);
}

void UIApplication::disconnectScene(const UIScene& scene) {
    const auto it = std::find_if(scenes_.begin(), scenes_.end(), [&](const auto& s) { return s.get() == &scene; });
    if (it == scenes_.end()) return;
    const auto kept = *it;  // alive until its state is set
    scenes_.erase(it);
    kept->setActivationState(UISceneActivationState::unattached);
}

void UIApplication::registerWindow(UIWindow* window) { windows_.push_back(window); }

void UIApplication::unregisterWindow(UIWindow* window) {
    std::erase(windows_, window);
    if (keyWindow_ == window) keyWindow_ = nullptr;
}

void UIApplication::setKeyWindow(UIWindow* window) { keyWindow_ = window; }

}  // namespace platform
