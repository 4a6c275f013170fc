#include <QVPlatform/ui/UIApplication.h>

#include <QVPlatform/dispatch/DispatchQueue.h>

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

}  // namespace platform
