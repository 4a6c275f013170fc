// The HUD's and the façade's class-level calls made from several threads while the main
// thread runs the clock: every call is applied on the main thread, in each caller's order.
#include <QVToolbox/hud/ProgressHUD.h>
#include <QVToolbox/hud/QVToast.h>
#include <QVToolbox/hud/Toast.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UIWindow.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace QVToolbox;
using namespace platform;

TEST(HudConcurrency, ClassLevelCallsFromManyThreadsAreAppliedOnTheMainThread) {
    auto window = std::make_shared<UIWindow>();
    window->makeKeyAndVisible();
    auto delegate = std::make_shared<UIApplicationDelegate>();
    delegate->setWindow(window);
    UIApplication::shared()->setDelegate(delegate);

    std::atomic<int> running{4};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &running] {
            for (int i = 0; i < 50; ++i) {
                switch ((t + i) % 5) {
                    case 0: ProgressHUD::progress(std::string("p"), i / 50.0); break;
                    case 1: ProgressHUD::setMediaSize(40 + i % 20); break;
                    case 2: ProgressHUD::succeed(std::nullopt, true); break;
                    case 3: QVToast::toast(std::string("t") + std::to_string(i)); break;
                    default: (void)ProgressHUD::appearance().mediaSize; break;
                }
            }
            --running;
        });
    }
    while (running > 0) ManualClock::advance(0.01);
    for (auto& t : threads) t.join();
    ManualClock::advance(60);
    ProgressHUD::remove();
    hideAllToastsImmediately(*window);
    ManualClock::advance(1);
    EXPECT_FALSE(ProgressHUD::shared()->isShowing());
    EXPECT_TRUE(activeToasts(*window).empty());
    UIApplication::shared()->setDelegate(nullptr);
}
