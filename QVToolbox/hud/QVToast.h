// QVToast and QVHUD: one-line class-level calls for the common cases. QVToast shows message
// and activity toasts (Toast.h) on the application's window; QVHUD shows the progress HUD's
// activity indicator (ProgressHUD.h) with a fixed colour scheme and a time-out.
//
//   QVToast::toast("已复制");                          // bottom of the window, 3 s
//   QVToast::toastIfNeed("已复制");                    // not again while that text is shown
//   QVToast::showingActivity(false, 10);               // blocks touches; hidden after 10 s at most
//   QVHUD::showingActivity(3);                         // the HUD's spinner, removed after 3 s
//
// `parentView` is looked up until a window is found, then kept (a host may assign it). The
// toast style is a copy of the shared style taken on first use. With no window, an operation
// does nothing and says so on the debug channel.
// Thread rule: any thread; view work runs on the main thread (at once when called there).
#pragma once

#include <QVToolbox/hud/ToastStyle.h>

#include <QVPlatform/ui/UIWindow.h>

#include <memory>
#include <optional>
#include <string>

namespace QVToolbox {

class QVToast {
public:
    QVToast() = delete;
    using Text = std::optional<std::string>;

    // The stored window, looked up again while absent.
    static std::shared_ptr<platform::UIWindow> parentView();
    static void setParentView(std::shared_ptr<platform::UIWindow> window);
    // The copy of the shared toast style the façade uses, taken on first use.
    static ToastStyle toastStyle();

    // The key window (topWindow), else the delegate's window, else the key or first window of
    // the first foreground-active window scene.
    static std::shared_ptr<platform::UIWindow> getCurrentWindow(bool topWindow);

    static void toast(Text message, bool topWindow = false, ToastPosition position = ToastPosition::bottom, double duration = 3);
    // As toast, but nothing when a toast with the same text is already on the window.
    static void toastIfNeed(Text message, bool topWindow = false, ToastPosition position = ToastPosition::bottom, double duration = 3);
    // Hide on `parentView` and on the key window.
    static void hideToast();
    static void hideAllToasts();

    static void showingActivity(bool isUserInteractionEnabled = false, double delay = 60);
    static void showingActivity(Text title, bool isUserInteractionEnabled = false, double delay = 60);
    static void hideActivity();
    static void hideAll();
};

class QVHUD {
public:
    QVHUD() = delete;
    static void showingActivity(double delay = 60);
    static void hideActivity();
};

}  // namespace QVToolbox
