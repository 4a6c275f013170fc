#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UIAlertController.h>
#include <QVPlatform/ui/UINavigationController.h>
#include <QVPlatform/ui/UITabBarController.h>
#include <QVPlatform/ui/UIWindow.h>

#include "support/RecordingController.h"

#include <gtest/gtest.h>

using namespace platform;
using testing_support::Log;
using testing_support::makeLog;
using testing_support::RecordingController;

namespace {

using Lines = std::vector<std::string>;

void nextTurn() { RunLoop::main().runUntilIdle(); }

// A shown window whose root is `root`, its appearance done.
std::shared_ptr<UIWindow> showIn(const std::shared_ptr<UIViewController>& root) {
    auto window = std::make_shared<UIWindow>();
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    nextTurn();
    return window;
}

}  // namespace

TEST(UIViewController, ViewLoadsOnceOnFirstAccessAndRootAppearsOnTheNextTurn) {
    auto log = makeLog();
    auto home = RecordingController::make("home", log);
    EXPECT_FALSE(home->isViewLoaded());
    const auto view = home->view();
    EXPECT_EQ(home->view(), view);
    EXPECT_EQ(*log, Lines{"home:viewDidLoad"});

    auto window = std::make_shared<UIWindow>();
    window->setRootViewController(home);
    EXPECT_EQ(view->superview(), window);
    EXPECT_EQ(view->frame(), window->bounds());
    EXPECT_EQ(log->size(), 1u) << "appearance waits for the next turn";
    nextTurn();
    EXPECT_EQ(*log, (Lines{"home:viewDidLoad", "home:willAppear", "home:didAppear"}));
}

TEST(UIViewController, PresentAndDismissSwapViewsAndRunCompletionsOnTheNextTurn) {
    auto log = makeLog();
    auto home = RecordingController::make("home", log);
    auto window = showIn(home);
    log->clear();

    auto sheet = RecordingController::make("sheet", log);
    bool presented = false;
    home->present(sheet, true, [&] {
        presented = true;
        log->push_back("completion");
    });
    EXPECT_EQ(home->presentedViewController(), sheet) << "linked at once";
    EXPECT_EQ(sheet->presentingViewController(), home);
    ASSERT_NE(sheet->presentationController(), nullptr);
    EXPECT_EQ(sheet->presentationController()->presentingViewController(), home);
    EXPECT_FALSE(presented);
    nextTurn();
    EXPECT_EQ(*log, (Lines{"sheet:viewDidLoad", "home:willDisappear", "sheet:willAppear", "home:didDisappear",
                           "sheet:didAppear", "completion"}));
    EXPECT_EQ(sheet->view()->superview(), window);
    EXPECT_EQ(sheet->view()->frame(), window->bounds()) << "full screen";
    EXPECT_EQ(home->view()->superview(), nullptr);

    // Presenting again while presenting does nothing, completion included.
    bool second = false;
    home->present(RecordingController::make("other", log), false, [&] { second = true; });
    nextTurn();
    EXPECT_FALSE(second);
    EXPECT_EQ(home->presentedViewController(), sheet);
    EXPECT_THROW(home->present(nullptr, false), NSException);
    EXPECT_THROW(std::make_shared<UIViewController>()->present(sheet, false), NSException) << "already presented";

    log->clear();
    sheet->dismiss(false, [&] { log->push_back("dismissed"); });  // the presented one asks its presenter
    EXPECT_EQ(home->presentedViewController(), nullptr);
    EXPECT_EQ(sheet->presentingViewController(), nullptr);
    nextTurn();
    EXPECT_EQ(*log, (Lines{"sheet:willDisappear", "home:willAppear", "sheet:didDisappear", "home:didAppear", "dismissed"}));
    EXPECT_EQ(home->view()->superview(), window);
    EXPECT_EQ(sheet->view()->superview(), nullptr);

    // Nothing presented: nothing to dismiss, and no completion.
    bool ran = false;
    home->dismiss(false, [&] { ran = true; });
    nextTurn();
    EXPECT_FALSE(ran);
    // A controller outside any window presents nothing.
    auto loose = RecordingController::make("loose", log);
    loose->present(RecordingController::make("x", log), false);
    EXPECT_EQ(loose->presentedViewController(), nullptr);
}

TEST(UIViewController, DismissingFromTheBottomRemovesEveryControllerAbove) {
    auto log = makeLog();
    auto home = RecordingController::make("home", log);
    auto window = showIn(home);
    auto first = RecordingController::make("first", log);
    auto second = RecordingController::make("second", log);
    home->present(first, false);
    nextTurn();
    first->present(second, false);
    nextTurn();
    EXPECT_EQ(second->presentingViewController(), first);
    log->clear();
    home->dismiss(false);
    nextTurn();
    EXPECT_EQ(*log, (Lines{"second:willDisappear", "home:willAppear", "second:didDisappear", "home:didAppear"}));
    EXPECT_EQ(window->subviews(), std::vector<std::shared_ptr<UIView>>{home->view()});
    EXPECT_EQ(first->presentedViewController(), nullptr);
}

TEST(UINavigationController, PushAndPopChangeTheStackAtOnceAndTheViewsOnTheNextTurn) {
    auto log = makeLog();
    auto root = RecordingController::make("root", log);
    auto nav = UINavigationController::make(root);
    auto window = showIn(nav);
    EXPECT_EQ(*log, (Lines{"root:viewDidLoad", "root:willAppear", "root:didAppear"}));
    EXPECT_EQ(root->view()->superview(), nav->view());
    log->clear();

    auto detail = RecordingController::make("detail", log);
    nav->pushViewController(detail, true);
    EXPECT_EQ(nav->topViewController(), detail);
    EXPECT_EQ(nav->visibleViewController(), detail);
    EXPECT_EQ(detail->parentViewController(), nav);
    nextTurn();
    EXPECT_EQ(*log, (Lines{"detail:viewDidLoad", "root:willDisappear", "detail:willAppear", "root:didDisappear",
                           "detail:didAppear"}));
    EXPECT_EQ(detail->view()->superview(), nav->view());
    EXPECT_EQ(root->view()->superview(), nullptr);
    EXPECT_THROW(nav->pushViewController(detail, false), NSException) << "already in the stack";

    auto third = RecordingController::make("third", log);
    nav->pushViewController(third, false);
    nextTurn();
    log->clear();
    EXPECT_EQ(nav->popViewController(false), third);
    EXPECT_EQ(nav->viewControllers().size(), 2u);
    const auto popped = nav->popToRootViewController(false);
    EXPECT_EQ(popped, (std::vector<std::shared_ptr<UIViewController>>{detail}));
    EXPECT_EQ(nav->popViewController(false), nullptr) << "the root stays";
    EXPECT_EQ(detail->parentViewController(), nullptr);
    nextTurn();
    EXPECT_EQ(*log, (Lines{"third:willDisappear", "detail:willAppear", "third:didDisappear", "detail:didAppear",
                           "detail:willDisappear", "root:willAppear", "detail:didDisappear", "root:didAppear"}));
    EXPECT_EQ(root->view()->superview(), nav->view());

    // A modal over the container is what is visible.
    auto modal = RecordingController::make("modal", log);
    root->present(modal, false);  // a child presents through its container
    EXPECT_EQ(nav->presentedViewController(), modal);
    EXPECT_EQ(modal->presentingViewController(), nav);
    EXPECT_EQ(nav->visibleViewController(), modal);
    nextTurn();
}

TEST(UITabBarController, SelectionShowsTheSelectedChildAndIgnoresBadChoices) {
    auto log = makeLog();
    auto a = RecordingController::make("a", log);
    auto b = RecordingController::make("b", log);
    auto tabs = std::make_shared<UITabBarController>();
    tabs->setViewControllers({a, b});
    EXPECT_EQ(tabs->selectedViewController(), a);
    auto window = showIn(tabs);
    log->clear();
    tabs->setSelectedIndex(1);
    tabs->setSelectedIndex(7);
    tabs->setSelectedViewController(RecordingController::make("stranger", log));
    EXPECT_EQ(tabs->selectedIndex(), 1u);
    EXPECT_EQ(tabs->selectedViewController(), b);
    nextTurn();
    EXPECT_EQ(*log, (Lines{"b:viewDidLoad", "a:willDisappear", "b:willAppear", "a:didDisappear", "b:didAppear"}));
    EXPECT_EQ(b->view()->superview(), tabs->view());
    EXPECT_EQ(a->view()->superview(), nullptr);
}

TEST(UIAlertController, ActionsRunTheirHandlersAfterTheAlertIsDismissed) {
    auto home = std::make_shared<UIViewController>();
    auto window = showIn(home);
    auto alert = UIAlertController::make("Delete?", "Cannot be undone.", UIAlertControllerStyle::alert);
    std::vector<std::string> ran;
    alert->addAction(UIAlertAction::make("Cancel", UIAlertActionStyle::cancel, nullptr));
    alert->addAction(UIAlertAction::make("Delete", UIAlertActionStyle::destructive,
                                         [&](const UIAlertAction& a) { ran.push_back(a.title()); }));
    EXPECT_THROW(alert->addAction(UIAlertAction::make("Also cancel", UIAlertActionStyle::cancel, nullptr)), NSException);
    EXPECT_EQ(alert->title(), "Delete?");
    EXPECT_EQ(alert->message(), "Cannot be undone.");
    EXPECT_EQ(alert->preferredStyle(), UIAlertControllerStyle::alert);
    ASSERT_EQ(alert->actions().size(), 2u);
    EXPECT_FALSE(alert->tapAction(1)) << "not presented yet";

    home->present(alert, true);
    nextTurn();
    EXPECT_FALSE(alert->tapAction(5));
    EXPECT_TRUE(alert->tapAction(1));
    EXPECT_TRUE(ran.empty());
    nextTurn();
    EXPECT_EQ(ran, std::vector<std::string>{"Delete"});
    EXPECT_EQ(home->presentedViewController(), nullptr);
}
