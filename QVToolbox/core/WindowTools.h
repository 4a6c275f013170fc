// The key window and the top view controller, as the QV wrapper's window members use them.
//
//   auto window = QVToolbox::versionKeyWindow();           // null when no scene is active
//   auto top = QVToolbox::topViewController();             // from the key window's root
//   QVToolbox::tryDismissAlert();                          // closes an alert on top, if any
//
// The key window is the key window of the first foreground-active window scene that has one,
// in the order the scenes connected. The top controller is found from a start controller
// (by default the key window's root) by repeating, in this order: a presented controller is
// followed first; else a navigation controller's visible controller; else a tab bar
// controller's selected one; else the controller is the top. Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIViewController.h>
#include <QVPlatform/ui/UIWindow.h>

#include <memory>

namespace QVToolbox {

std::shared_ptr<platform::UIWindow> versionKeyWindow();
// Null when there is no start controller.
std::shared_ptr<platform::UIViewController> topViewController(std::shared_ptr<platform::UIViewController> start = nullptr);
// Dismisses the top controller without animation when it is an alert controller; true then.
bool tryDismissAlert();

}  // namespace QVToolbox
