#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/runtime/NSBlock.h>
#include <QVPlatform/ui/UINavigationController.h>
#include <QVPlatform/ui/UIWindow.h>

#include "support/RecordingController.h"

#include <gtest/gtest.h>

using namespace platform;
using testing_support::makeLog;
using testing_support::RecordingController;

// Exchanges on the controller classes last for the process: this suite has its own executable.
TEST(ControllerMethodExchange, ExchangedLifecyclePresentAndPushMethodsRun) {
    auto log = makeLog();
    auto& controllers = UIViewController::classObject();
    controllers.addMethod("hook_viewWillAppearWithAnimated:", [log](NSObject& self, const Any::List& args) {
        log->push_back("hooked willAppear");
        return self.perform("hook_viewWillAppearWithAnimated:", args[0]);  // now the original
    });
    int presents = 0;
    controllers.addMethod("hook_present:animated:completion:", [&presents](NSObject& self, const Any::List& args) {
        ++presents;
        const auto presented = args[0].objectAs<UIViewController>();
        if (presented && presented->title() == "refused") return Any();  // guarded: not presented
        return self.perform("hook_present:animated:completion:", args[0], args[1], args[2]);
    });
    auto& navigation = UINavigationController::classObject();
    navigation.addMethod("hook_pushViewController:animated:", [log](NSObject& self, const Any::List& args) {
        log->push_back("hooked push");
        return self.perform("hook_pushViewController:animated:", args[0], args[1]);
    });
    ASSERT_TRUE(controllers.exchangeImplementations("viewWillAppear:", "hook_viewWillAppearWithAnimated:"));
    ASSERT_TRUE(controllers.exchangeImplementations("presentViewController:animated:completion:",
                                                    "hook_present:animated:completion:"));
    ASSERT_TRUE(navigation.exchangeImplementations("pushViewController:animated:", "hook_pushViewController:animated:"));

    auto root = RecordingController::make("root", log);
    auto nav = UINavigationController::make(root);
    auto window = std::make_shared<UIWindow>();
    window->setRootViewController(nav);
    RunLoop::main().runUntilIdle();
    // The subclass inherits the exchanged method: nav, then root, pass through the hook.
    EXPECT_EQ(*log, (std::vector<std::string>{"root:viewDidLoad", "hooked willAppear", "hooked willAppear",
                                              "root:willAppear", "root:didAppear"}));

    log->clear();
    nav->pushViewController(RecordingController::make("next", log), false);
    ASSERT_FALSE(log->empty());
    EXPECT_EQ(log->front(), "hooked push");
    EXPECT_EQ(nav->viewControllers().size(), 2u);
    RunLoop::main().runUntilIdle();

    auto refused = std::make_shared<UIViewController>();
    refused->setTitle("refused");
    bool completed = false;
    nav->present(refused, false, [&] { completed = true; });
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(presents, 1);
    EXPECT_EQ(nav->presentedViewController(), nullptr);
    EXPECT_FALSE(completed);
    auto accepted = std::make_shared<UIViewController>();
    nav->present(accepted, false, [&] { completed = true; });
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(nav->presentedViewController(), accepted);
    EXPECT_TRUE(completed);
}
