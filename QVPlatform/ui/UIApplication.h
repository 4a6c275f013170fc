// UIApplication: the shared application object: its state, and opening URLs through the
// handlers the host registers.
//
//   auto app = UIApplication::shared();
//   app->registerURLHandler("tel", [](const URL& url) { return dial(url); });
//   app->canOpenURL(*URL::string("tel://10086"));        // true
//   app->openURL(url, {}, [](bool ok) { ... });           // completion on the main queue
//
// Nothing opens unless the host registered a handler for the URL's scheme (compared without
// regard to case). A handler returns whether it opened the URL. Thread rule: callable from
// any thread; handlers run on the main queue, as do completions.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/URL.h>
#include <QVPlatform/runtime/NSObject.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class UIScene;
class UIWindow;

// The application's delegate: a host subclasses it; `window` is the main window it keeps.
class UIApplicationDelegate : public NSObjectSubclass<UIApplicationDelegate, NSObject, "UIApplicationDelegate"> {
public:
    std::shared_ptr<UIWindow> window() const { return window_; }
    void setWindow(std::shared_ptr<UIWindow> window) { window_ = std::move(window); }

private:
    std::shared_ptr<UIWindow> window_;
};

class UIApplication : public NSObjectSubclass<UIApplication, NSObject, "UIApplication"> {
public:
    enum class State { active, inactive, background };
    using URLHandler = std::function<bool(const URL&)>;

    static std::shared_ptr<UIApplication> shared();
    // The URL that opens this application's page in the system settings.
    static inline const std::string openSettingsURLString = "app-settings:";

    State applicationState() const;
    void setApplicationState(State state);
    // Moves the application to the background (the process goes on).
    void suspend() { setApplicationState(State::background); }

    void registerURLHandler(const std::string& scheme, URLHandler handler);
    void removeURLHandler(const std::string& scheme);

    bool canOpenURL(const URL& url) const;
    // Runs the scheme's handler on the main queue, then `completion` (if any) with its answer.
    void openURL(const URL& url, const Any::Dictionary& options = {}, std::function<void(bool)> completion = nullptr);

    // The live windows in the order they were made.
    std::vector<std::shared_ptr<UIWindow>> windows() const;
    // The window made key last, while it lives; null when there is none.
    std::shared_ptr<UIWindow> keyWindow() const;
    std::shared_ptr<UIApplicationDelegate> delegate() const;
    void setDelegate(std::shared_ptr<UIApplicationDelegate> delegate);

    // Scenes in the order they connected. Connecting a connected scene does nothing.
    std::vector<std::shared_ptr<UIScene>> connectedScenes() const;
    void connectScene(const std::shared_ptr<UIScene>& scene);
    void disconnectScene(const UIScene& scene);

    UIApplication() = default;

private:
    friend class UIWindow;
    URLHandler handlerFor(const URL& url) const;
    void registerWindow(UIWindow* window);
    void unregisterWindow(UIWindow* window);
    void setKeyWindow(UIWindow* window);

    mutable std::mutex mutex_;  // guards state_ and handlers_
    State state_ = State::active;
    std::map<std::string, URLHandler> handlers_;  // by lower-case scheme
    // Main thread only: windows unregister in their destructors, so the pointers are live.
    std::vector<UIWindow*> windows_;
    UIWindow* keyWindow_ = nullptr;
    std::shared_ptr<UIApplicationDelegate> delegate_;
    std::vector<std::shared_ptr<UIScene>> scenes_;
};

}  // namespace platform
