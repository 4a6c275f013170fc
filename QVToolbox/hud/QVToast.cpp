#include <QVToolbox/hud/QVToast.h>
#include <QVToolbox/hud/ProgressHUD.h>
#include <QVToolbox/hud/Toast.h>

#include <QVToolbox/core/Log.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/Timer.h>
#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIWindowScene.h>

#include <iostream>

namespace QVToolbox {

using namespace platform;

namespace {

std::mutex& stateMutex() {
    static std::mutex m;
    return m;
}
struct FacadeState {  // guarded by stateMutex()
    std::shared_ptr<UIWindow> parentView;
    std::optional<ToastStyle> style;
};
FacadeState& state() {
    static FacadeState s;
    return s;
}

// Runs `work` with `window` on the main thread: now when called there, else queued, holding
// the window weakly.
void onMain(const std::shared_ptr<UIWindow>& window, std::function<void(UIWindow&)> work) {
    if (!window) {
        debugPrint("QVToast: no window; nothing done");
        return;
    }
    if (RunLoop::isMainThread()) return work(*window);
    std::weak_ptr<UIWindow> weak = window;
    DispatchQueue::main()->async([weak, work = std::move(work)] {
        if (auto w = weak.lock()) work(*w);
    });
}

// One pending scheduled hide per class; main thread only.
void schedule(std::shared_ptr<Timer>& pending, double delay, std::function<void()> hide) {
    if (pending) pending->invalidate();
    pending = Timer::scheduledTimer(delay, false, [hide = std::move(hide)](Timer&) { hide(); });
}
void cancel(std::shared_ptr<Timer>& pending) {
    if (pending) pending->invalidate();
    pending.reset();
}
std::shared_ptr<Timer>& toastHideTimer() {
    static std::shared_ptr<Timer> t;
    return t;
}
std::shared_ptr<Timer>& hudHideTimer() {
    static std::shared_ptr<Timer> t;
    return t;
}
void onMainThread(std::function<void()> work) {
    if (RunLoop::isMainThread()) return work();
    DispatchQueue::main()->async(std::move(work));
}

std::shared_ptr<UILabel> messageLabelIn(UIView& window) { return std::dynamic_pointer_cast<UILabel>(window.viewWithTag(kToastMessageTag)); }

void showMessage(const QVToast::Text& message, bool topWindow, ToastPosition position, double duration, bool skipSame) {
    QVToolboxLog::shared().send("toast: 1- " + message.value_or(""));
    if (!message) return;
    const ToastStyle style = QVToast::toastStyle();
    onMain(QVToast::getCurrentWindow(topWindow), [=](UIWindow& window) {
        if (auto shown = messageLabelIn(window)) {
            if (skipSame && shown->text() == *message) return;
            const std::string line = "toast: a toast is already shown: " + shown->text();
            std::cout << line << '\n';
            QVToolboxLog::shared().send(line);
        }
        std::shared_ptr<UIView> panel;
        try {
            panel = toastViewForMessage(window, message, std::nullopt, nullptr, style);
        } catch (const ToastError&) {
            QVToolboxLog::shared().send("Error: message, title, and image are all nil");
            return;
        }
        showToast(window, panel, duration, toastCenterPoint(window, position, *panel), position, nullptr);
    });
}

}  // namespace

std::shared_ptr<UIWindow> QVToast::parentView() {
    {
        std::lock_guard lock(stateMutex());
        if (state().parentView) return state().parentView;
    }
    auto window = getCurrentWindow(false);
    std::lock_guard lock(stateMutex());
    if (!state().parentView) state().parentView = window;
    return state().parentView;
}

void QVToast::setParentView(std::shared_ptr<UIWindow> window) {
    std::lock_guard lock(stateMutex());
    state().parentView = std::move(window);
}

ToastStyle QVToast::toastStyle() {
    std::lock_guard lock(stateMutex());
    if (!state().style) state().style = ToastManager::shared().style();
    return *state().style;
}

std::shared_ptr<UIWindow> QVToast::getCurrentWindow(bool topWindow) {
    const auto app = UIApplication::shared();
    if (topWindow) {
        if (auto key = app->keyWindow()) return key;
    } else if (auto delegate = app->delegate(); delegate && delegate->window()) {
        return delegate->window();
    }
    for (const auto& scene : app->connectedScenes()) {
        if (scene->activationState() != UISceneActivationState::foregroundActive) continue;
        auto windowScene = std::dynamic_pointer_cast<UIWindowScene>(scene);
        if (!windowScene) continue;
        if (auto key = windowScene->keyWindow()) return key;
        const auto windows = windowScene->windows();
        return windows.empty() ? nullptr : windows.front();
    }
    return nullptr;
}

void QVToast::toast(Text message, bool topWindow, ToastPosition position, double duration) {
    showMessage(message, topWindow, position, duration, false);
}

void QVToast::toastIfNeed(Text message, bool topWindow, ToastPosition position, double duration) {
    showMessage(message, topWindow, position, duration, true);
}

void QVToast::hideToast() {
    onMainThread([] {
        auto parent = parentView();
        auto top = getCurrentWindow(true);
        if (!parent && !top) return debugPrint("QVToast: no window; nothing hidden");
        if (parent) QVToolbox::hideToast(*parent);
        if (top && top != parent) QVToolbox::hideToast(*top);
    });
}

void QVToast::hideAllToasts() {
    onMainThread([] {
        auto parent = parentView();
        auto top = getCurrentWindow(true);
        if (!parent && !top) return debugPrint("QVToast: no window; nothing hidden");
        if (parent) QVToolbox::hideAllToasts(*parent, false, true);
        if (top && top != parent) QVToolbox::hideAllToasts(*top, false, true);
    });
}

void QVToast::showingActivity(bool isUserInteractionEnabled, double delay) {
    onMain(parentView(), [isUserInteractionEnabled, delay](UIWindow& window) {
        window.setUserInteractionEnabled(isUserInteractionEnabled);
        makeToastActivity(window, ToastPosition::center);
        schedule(toastHideTimer(), delay, [] { QVToast::hideActivity(); });
    });
}

void QVToast::showingActivity(Text title, bool isUserInteractionEnabled, double delay) {
    auto parent = parentView();
    if (!title || !parent) {
        showingActivity(isUserInteractionEnabled, 60);
        onMainThread([delay] { schedule(toastHideTimer(), delay, [] { QVToast::hideActivity(); }); });
        return;
    }
    onMain(parent, [title, isUserInteractionEnabled, delay](UIWindow& window) {
        window.setUserInteractionEnabled(isUserInteractionEnabled);
        makeToastActivity(window, ToastPosition::center, *title);
        schedule(toastHideTimer(), delay, [] { QVToast::hideActivity(); });
    });
}

void QVToast::hideActivity() {
    onMainThread([] { cancel(toastHideTimer()); });
    onMain(parentView(), [](UIWindow& window) {
        window.setUserInteractionEnabled(true);
        hideToastActivity(window);
    });
}

void QVToast::hideAll() {
    hideAllToasts();
    hideActivity();
}

void QVHUD::showingActivity(double delay) {
    ProgressHUD::setColorAnimation(UIColor::whiteColor());
    ProgressHUD::setColorHUD(UIColor::colorWithWhite(0, 0.8));
    ProgressHUD::setColorStatus(UIColor::redColor());
    ProgressHUD::setColorBackground(UIColor::clearColor());
    // The platform's system red.
    ProgressHUD::setColorProgress(UIColor::colorWithRed(1, 59.0 / 255, 48.0 / 255, 1));
    ProgressHUD::animate(std::nullopt, AnimationType::activityIndicator, false);
    onMainThread([delay] { schedule(hudHideTimer(), delay, [] { QVHUD::hideActivity(); }); });
}

void QVHUD::hideActivity() {
    onMainThread([] { cancel(hudHideTimer()); });
    ProgressHUD::remove();
}

}  // namespace QVToolbox
