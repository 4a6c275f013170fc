// The window members of the QV wrapper:
//
//   qv(UIApplication::shared()).version_keyWindow();
//   qv(UIApplication::shared()).topViewController();        // or topViewController(start)
//   QV<platform::UIViewController>::tryDismissAlert();
//
// WindowTools.h holds the contract.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/core/WindowTools.h>

#include <QVPlatform/ui/UIApplication.h>

#include <memory>

namespace QVToolbox {

template <class W, class Base>
struct WindowToolsMembers {};

template <class W>
struct WindowToolsMembers<W, platform::UIApplication> {
    std::shared_ptr<platform::UIWindow> version_keyWindow() const { return versionKeyWindow(); }
    std::shared_ptr<platform::UIViewController> topViewController(
        std::shared_ptr<platform::UIViewController> start = nullptr) const {
        return QVToolbox::topViewController(std::move(start));
    }
};

template <class W>
struct WindowToolsMembers<W, platform::UIViewController> {
    static bool tryDismissAlert() { return QVToolbox::tryDismissAlert(); }
};

}  // namespace QVToolbox
