#include <QVToolbox/core/Log.h>
#include <QVToolbox/hud/Toast.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIWindow.h>

#include "support/Pixels.h"

#include <gtest/gtest.h>

using namespace QVToolbox;
using namespace platform;

namespace {

struct Completions {
    std::vector<bool> calls;
    ToastCompletion record() {
        return [this](bool tapped) { calls.push_back(tapped); };
    }
};

struct LogLines : QVToolboxLogDelegate {
    std::vector<std::string> lines;
    void send(const std::string& log) override { lines.push_back(log); }
};

double shownOpacity(const UIView& v) { return v.layer()->presentationState().opacity; }

}  // namespace

TEST(Toast, FadesInStartsItsTimerAfterTheFadeAndTheQueuedToastFollowsAtItsOwnPoint) {
    auto window = std::make_shared<UIWindow>();
    Completions first, second;
    makeToast(*window, "first", 1.0, ToastPosition::top, std::nullopt, nullptr, std::nullopt, first.record());
    makeToast(*window, "second", 1.0, CGPoint{100, 300}, std::nullopt, nullptr, std::nullopt, second.record());
    ASSERT_EQ(activeToasts(*window).size(), 1u);
    ASSERT_EQ(queuedToasts(*window).size(), 1u);
    const auto toast = activeToasts(*window).front();

    ManualClock::advance(0.1);
    EXPECT_GT(shownOpacity(*toast), 0.0);
    EXPECT_LT(shownOpacity(*toast), 1.0);
    ManualClock::advance(0.1 + 1.0 - 0.01);  // fade-in 0.2 s, then a 1 s timer
    EXPECT_DOUBLE_EQ(shownOpacity(*toast), 1.0);
    ManualClock::advance(0.02 + 0.1);  // the timer fired; halfway through the fade-out
    EXPECT_LT(shownOpacity(*toast), 1.0);
    EXPECT_TRUE(first.calls.empty());
    ManualClock::advance(0.11);
    EXPECT_EQ(first.calls, std::vector<bool>{false});
    EXPECT_EQ(toast->superview(), nullptr);
    ASSERT_EQ(activeToasts(*window).size(), 1u);
    EXPECT_EQ(activeToasts(*window).front()->center(), (CGPoint{100, 300}));  // not the window's centre
    EXPECT_TRUE(queuedToasts(*window).empty());
    ManualClock::advance(2);
    EXPECT_EQ(second.calls, std::vector<bool>{false});
    EXPECT_TRUE(activeToasts(*window).empty());
}

TEST(Toast, BottomToastsStackUpwardsAndTopToastsDownwardsWithoutTheQueue) {
    ToastManager::shared().setQueueEnabled(false);
    auto window = std::make_shared<UIWindow>();
    makeToast(*window, "one", 3.0, ToastPosition::bottom);
    makeToast(*window, "two", 3.0, ToastPosition::bottom);
    auto shown = activeToasts(*window);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_DOUBLE_EQ(shown[1]->frame().origin.y, shown[0]->frame().origin.y - 5 - shown[1]->frame().size.height);
    EXPECT_DOUBLE_EQ(shown[0]->frame().origin.y + shown[0]->frame().size.height, 667 - 10);  // vPad above the bottom

    auto other = std::make_shared<UIWindow>();
    makeToast(*other, "one", 3.0, ToastPosition::top);
    makeToast(*other, "two", 3.0, ToastPosition::top);
    shown = activeToasts(*other);
    EXPECT_DOUBLE_EQ(shown[0]->frame().origin.y, 20 + 10);  // below the status bar
    EXPECT_DOUBLE_EQ(shown[1]->frame().origin.y, shown[0]->frame().origin.y + shown[0]->frame().size.height + 5);
    ToastManager::shared().setQueueEnabled(true);
    hideAllToastsImmediately(*window);
    hideAllToastsImmediately(*other);
}

TEST(Toast, ATapHidesWithTrueOnceAndHidingDuringTheFadeOutPullsOneQueuedToast) {
    auto window = std::make_shared<UIWindow>();
    window->makeKeyAndVisible();
    Completions tapped;
    makeToast(*window, "tap me", 3.0, ToastPosition::center, std::nullopt, nullptr, std::nullopt, tapped.record());
    makeToast(*window, "queued 1", 3.0);
    makeToast(*window, "queued 2", 3.0);
    ManualClock::advance(0.3);
    const auto toast = activeToasts(*window).front();
    EXPECT_TRUE(window->sendTap(toast->center()));
    ManualClock::advance(0.1);
    hideToast(*window, toast);  // already fading out: nothing more
    window->sendTap(toast->center());
    ManualClock::advance(0.2);
    EXPECT_EQ(tapped.calls, std::vector<bool>{true});
    EXPECT_EQ(activeToasts(*window).size(), 1u);
    EXPECT_EQ(queuedToasts(*window).size(), 1u);
    hideAllToastsImmediately(*window);
}

TEST(Toast, HidingDuringTheFadeInStartsNoTimerAndCompletesOnce) {
    auto window = std::make_shared<UIWindow>();
    Completions done;
    makeToast(*window, "short", 1.0, ToastPosition::bottom, std::nullopt, nullptr, std::nullopt, done.record());
    ManualClock::advance(0.05);
    hideToast(*window);
    ManualClock::advance(5);
    EXPECT_EQ(done.calls, std::vector<bool>{false});
    EXPECT_TRUE(activeToasts(*window).empty());
}

TEST(Toast, PanelLayoutLimitsTheMessageAndGivesATitleAloneItsHeight) {
    auto window = std::make_shared<UIWindow>();
    const ToastStyle style;
    const auto panel = toastViewForMessage(*window, std::string(200, 'x') + " words to wrap at the maximum width", std::nullopt,
                                           nullptr, style);
    const auto label = std::dynamic_pointer_cast<UILabel>(panel->viewWithTag(kToastMessageTag));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->frame().origin, (CGPoint{10, 10}));
    EXPECT_LE(label->frame().size.width, 0.8 * 375);
    EXPECT_LE(panel->frame().size.width, 0.8 * 375 + 20);

    const auto titled = toastViewForMessage(*window, std::nullopt, "Title only", nullptr, style);
    ASSERT_EQ(titled->subviews().size(), 1u);
    const CGRect title = titled->subviews().front()->frame();
    EXPECT_GT(title.size.height, 0);
    EXPECT_DOUBLE_EQ(titled->frame().size.height, 10 + title.size.height + 10);

    EXPECT_THROW(toastViewForMessage(*window, std::nullopt, std::nullopt, nullptr, style), ToastError);
}

TEST(Toast, NothingToShowLogsTheErrorLineAndStylesClampTheirFractions) {
    auto log = std::make_shared<LogLines>();
    QVToolboxLog::shared().setDelegate(log);
    auto window = std::make_shared<UIWindow>();
    makeToast(*window, std::nullopt);
    QVToolboxLog::shared().setDelegate(nullptr);
    EXPECT_EQ(log->lines, std::vector<std::string>{"[QVToolbox]Error: message, title, and image are all nil"});
    EXPECT_TRUE(activeToasts(*window).empty());

    ToastStyle style;
    style.setMaxWidthPercentage(1.5);
    style.setShadowOpacity(-1);
    style.setMaxHeightPercentage(0);
    EXPECT_EQ(style.maxWidthPercentage(), 1.0);
    EXPECT_EQ(style.shadowOpacity(), 0.0f);
    EXPECT_EQ(style.maxHeightPercentage(), 0.0);
}

TEST(Toast, ActivityShowsOnceFadesOutAndANewOneRightAfterAHideAppears) {
    auto window = std::make_shared<UIWindow>();
    makeToastActivity(*window, ToastPosition::center);
    const auto first = toastActivityView(*window);
    makeToastActivity(*window, ToastPosition::center, "again");
    EXPECT_EQ(toastActivityView(*window), first);
    hideAllToasts(*window, true, true);
    makeToastActivity(*window, ToastPosition::center, std::string(300, 'w'));
    const auto second = toastActivityView(*window);
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    EXPECT_LE(second->frame().size.width, 0.8 * 375 + 10);
    ManualClock::advance(0.25);
    EXPECT_EQ(first->superview(), nullptr);
    EXPECT_EQ(second->superview().get(), window.get());
    hideAllToastsImmediately(*window);
    EXPECT_EQ(second->superview(), nullptr);
}

TEST(ToastRender, PanelIsDarkWithRoundedCornersAndWhiteText) {
    auto window = std::make_shared<UIWindow>();
    window->setBackgroundColor(UIColor::whiteColor());
    window->makeKeyAndVisible();
    makeToast(*window, "Hello 你好", 3.0, ToastPosition::center);
    ManualClock::advance(0.5);
    const CGRect f = activeToasts(*window).front()->frame();
    const auto bitmap = window->renderBitmap(2);
    ASSERT_TRUE(bitmap);
    testing_support::savePicture(*bitmap, "toast-center");
    const auto at = [&](double x, double y) { return testing_support::pixelAt(*bitmap, int(x * 2), int(y * 2)); };
    EXPECT_EQ(at(f.origin.x + 3, f.origin.y + f.size.height / 2), (testing_support::RGBA{51, 51, 51, 255}));  // black 0.8 on white
    EXPECT_EQ(at(f.origin.x + 0.5, f.origin.y + 0.5), (testing_support::RGBA{255, 255, 255, 255}));            // rounded corner
    int bright = 0;
    for (double x = f.origin.x + 10; x < f.origin.x + f.size.width - 10; x += 0.5)
        if (at(x, f.origin.y + f.size.height / 2)[0] > 200) ++bright;
    EXPECT_GT(bright, 3);  // the white text crosses the middle line
}
