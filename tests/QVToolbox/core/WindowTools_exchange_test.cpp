// Scenes connect to the shared application for the life of the process: own executable.
#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UIAlertController.h>
#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UINavigationController.h>
#include <QVPlatform/ui/UITabBarController.h>
#include <QVPlatform/ui/UIWindowScene.h>

#include <gtest/gtest.h>

using namespace platform;
using QVToolbox::qv;

namespace {

void nextTurn() { RunLoop::main().runUntilIdle(); }

std::shared_ptr<UIWindowScene> connectedScene(UISceneActivationState state) {
    auto scene = std::make_shared<UIWindowScene>();
    UIApplication::shared()->connectScene(scene);
    scene->setActivationState(state);
    return scene;
}

}  // namespace

TEST(WindowTools, KeyWindowIsTheFirstForegroundActiveScenesInConnectionOrder) {
    const auto app = qv(UIApplication::shared());
    EXPECT_EQ(app.version_keyWindow(), nullptr) << "no scene";
    auto inactive = connectedScene(UISceneActivationState::foregroundInactive);
    auto activeWithoutKey = connectedScene(UISceneActivationState::foregroundActive);
    auto active = connectedScene(UISceneActivationState::foregroundActive);
    auto later = connectedScene(UISceneActivationState::foregroundActive);
    auto inactiveWindow = std::make_shared<UIWindow>(inactive);
    inactiveWindow->makeKeyAndVisible();
    EXPECT_EQ(app.version_keyWindow(), nullptr) << "the only key window is in an inactive scene";
    auto unkeyed = std::make_shared<UIWindow>(activeWithoutKey);
    auto window = std::make_shared<UIWindow>(active);
    window->makeKeyAndVisible();
    auto laterWindow = std::make_shared<UIWindow>(later);
    laterWindow->makeKeyAndVisible();  // the application's key window now, but a later scene
    EXPECT_EQ(app.version_keyWindow(), window);
    active->setActivationState(UISceneActivationState::background);
    EXPECT_EQ(app.version_keyWindow(), laterWindow);
    for (const auto& scene : {inactive, activeWithoutKey, active, later}) UIApplication::shared()->disconnectScene(*scene);
    EXPECT_EQ(app.version_keyWindow(), nullptr);
}

TEST(WindowTools, TopControllerFollowsPresentedThenNavigationThenTabsAndAlertsDismiss) {
    auto scene = connectedScene(UISceneActivationState::foregroundActive);
    auto window = std::make_shared<UIWindow>(scene);
    const auto app = qv(UIApplication::shared());
    EXPECT_EQ(app.topViewController(), nullptr) << "no key window";
    window->makeKeyAndVisible();

    auto first = std::make_shared<UIViewController>();
    auto second = std::make_shared<UIViewController>();
    auto nav = UINavigationController::make(first);
    auto other = std::make_shared<UIViewController>();
    auto tabs = std::make_shared<UITabBarController>();
    tabs->setViewControllers({nav, other});
    window->setRootViewController(tabs);
    nextTurn();
    EXPECT_EQ(app.topViewController(), first) << "tab bar's selected, then the navigation's visible";
    nav->pushViewController(second, false);
    EXPECT_EQ(app.topViewController(), second);
    EXPECT_EQ(app.topViewController(other), other);
    tabs->setSelectedIndex(1);
    EXPECT_EQ(app.topViewController(), other);
    tabs->setSelectedIndex(0);
    nextTurn();

    auto modalNav = UINavigationController::make(std::make_shared<UIViewController>());
    tabs->present(modalNav, false);
    nextTurn();
    EXPECT_EQ(app.topViewController(), modalNav->topViewController()) << "presented first, then repeated";

    EXPECT_FALSE(QVToolbox::QV<UIViewController>::tryDismissAlert()) << "no alert on top";
    auto alert = UIAlertController::make("t", "m", UIAlertControllerStyle::alert);
    modalNav->topViewController()->present(alert, true);
    nextTurn();
    EXPECT_EQ(app.topViewController(), alert);
    EXPECT_TRUE(QVToolbox::QV<UIViewController>::tryDismissAlert());
    EXPECT_EQ(modalNav->presentedViewController(), nullptr);
    nextTurn();
    EXPECT_EQ(app.topViewController(), modalNav->topViewController());
    UIApplication::shared()->disconnectScene(*scene);
}
