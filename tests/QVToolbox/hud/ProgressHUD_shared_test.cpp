// The progress HUD and the façade share process-wide instances: they have their own suite.
#include <QVToolbox/hud/ProgressHUD.h>
#include <QVToolbox/hud/QVToast.h>
#include <QVToolbox/hud/Toast.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UIWindow.h>

#include "support/Pixels.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace QVToolbox;
using namespace platform;

namespace {

// A window for the HUD to find, and the HUD removed afterwards.
struct HudTest : ::testing::Test {
    std::shared_ptr<UIWindow> window = std::make_shared<UIWindow>();
    void SetUp() override { window->makeKeyAndVisible(); }
    void TearDown() override {
        ProgressHUD::remove();
        ProgressHUD::bannerHide();
        ManualClock::advance(1);
    }
    static ProgressHUD& hud() { return *ProgressHUD::shared(); }
};

}  // namespace

TEST_F(HudTest, ASecondShowKeepsThePanelAndDoesNotFadeAgain) {
    ProgressHUD::animate("one", AnimationType::circleStrokeSpin);
    ManualClock::advance(0.05);
    const auto panel = hud().toolbarHUD();
    ASSERT_TRUE(panel);
    EXPECT_LT(panel->layer()->presentationState().opacity, 1.0);
    ManualClock::advance(0.2);
    ProgressHUD::progress("two", 0.5);
    ManualClock::advance(0.01);
    EXPECT_EQ(hud().toolbarHUD(), panel);
    EXPECT_DOUBLE_EQ(panel->layer()->presentationState().opacity, 1.0);
    EXPECT_EQ(hud().labelStatus()->text(), "two");
    EXPECT_FALSE(hud().viewAnimation());
    EXPECT_TRUE(hud().viewProgress());
}

TEST_F(HudTest, LiveIconsDismissAfterTheirCharacterDelayAnimateAndProgressNever) {
    EXPECT_DOUBLE_EQ(autoDismissDelay(std::string("0123456789"), std::nullopt), 1.55);
    EXPECT_DOUBLE_EQ(autoDismissDelay(std::string("完成了👍🏽"), std::nullopt), 1.25 + 4 * 0.03);
    EXPECT_DOUBLE_EQ(autoDismissDelay(std::nullopt, std::nullopt), 1.25);
    EXPECT_DOUBLE_EQ(autoDismissDelay(std::string("x"), 4.0), 4.0);

    ProgressHUD::succeed("0123456789");
    ManualClock::advance(1.54);
    EXPECT_TRUE(hud().isShowing());
    ManualClock::advance(0.02 + 0.15);
    EXPECT_FALSE(hud().isShowing());
    EXPECT_FALSE(hud().toolbarHUD());

    ProgressHUD::animate("busy");
    ManualClock::advance(100);
    EXPECT_TRUE(hud().isShowing());
    ProgressHUD::progress(0.3);
    ManualClock::advance(100);
    EXPECT_TRUE(hud().isShowing());
}

TEST_F(HudTest, AShowDuringTheDismissalKeepsTheHudAndDismissThenShowWorks) {
    ProgressHUD::animate("a");
    ManualClock::advance(0.3);
    ProgressHUD::dismiss();
    ManualClock::advance(0.05);
    ProgressHUD::animate("b");
    ManualClock::advance(0.5);
    ASSERT_TRUE(hud().toolbarHUD());
    EXPECT_TRUE(hud().isShowing());
    EXPECT_DOUBLE_EQ(hud().toolbarHUD()->alpha(), 1.0);
    EXPECT_TRUE(hud().toolbarHUD()->transform().isIdentity());

    ProgressHUD::dismiss();
    ManualClock::advance(0.2);
    EXPECT_FALSE(hud().isShowing());
    ProgressHUD::dismiss();  // hidden: nothing
    ProgressHUD::succeed("c");
    ManualClock::advance(0.01);
    EXPECT_TRUE(hud().isShowing());
}

TEST_F(HudTest, TheKeyboardMovesThePanelUpByHalfItsHeightAndBack) {
    ProgressHUD::animate(std::nullopt);
    ManualClock::advance(0.2);
    EXPECT_EQ(hud().toolbarHUD()->center(), (CGPoint{375.0 / 2, 667.0 / 2}));
    Any::Dictionary frame{{"x", 0}, {"y", 451}, {"width", 375}, {"height", 216}};
    NSNotificationCenter::defaultCenter().post(platform::UIKeyboardWillShowNotification, {},
                                               Any::Dictionary{{platform::UIKeyboardFrameEndUserInfoKey, frame},
                                                               {platform::UIKeyboardAnimationDurationUserInfoKey, 0.25}});
    ManualClock::advance(0.1);
    const double midway = hud().toolbarHUD()->layer()->presentationState().position.y;
    EXPECT_LT(midway, 667.0 / 2);
    EXPECT_GT(midway, (667.0 - 216) / 2);
    ManualClock::advance(0.2);
    EXPECT_EQ(hud().toolbarHUD()->center(), (CGPoint{375.0 / 2, (667.0 - 216) / 2}));
    NSNotificationCenter::defaultCenter().post(platform::UIKeyboardDidHideNotification);
    ManualClock::advance(0.01);
    EXPECT_EQ(hud().toolbarHUD()->center(), (CGPoint{375.0 / 2, 667.0 / 2}));
}

TEST_F(HudTest, TheBackdropTakesTapsOnlyWhenInteractionIsOffAndSizesFollowTheText) {
    ProgressHUD::animate(std::nullopt, false);
    ManualClock::advance(0.2);
    EXPECT_TRUE(hud().viewBackground()->isUserInteractionEnabled());
    EXPECT_EQ(hud().toolbarHUD()->bounds().size, (CGSize{110, 110}));
    EXPECT_EQ(hud().viewAnimation()->center(), (CGPoint{55, 55}));
    ProgressHUD::animate("A longer status text", true);
    ManualClock::advance(0.01);
    EXPECT_FALSE(hud().viewBackground()->isUserInteractionEnabled());
    const CGSize panel = hud().toolbarHUD()->bounds().size;
    EXPECT_GT(panel.width, 110);
    EXPECT_GT(panel.height, 110);
    EXPECT_DOUBLE_EQ(hud().viewAnimation()->center().y, 25 + 30);
}

TEST_F(HudTest, TheGaugeShowsTheWholePercentAndClampsItsRing) {
    EXPECT_EQ(percentageText(0.29), "29%");
    EXPECT_EQ(percentageText(0.456), "45%");
    EXPECT_EQ(percentageText(0.57), "57%");
    EXPECT_EQ(percentageText(std::nan("")), "0%");
    EXPECT_EQ(percentageText(1), "100%");
    ProgressHUD::progress(0.456);
    ManualClock::advance(0.3);
    EXPECT_EQ(hud().viewProgress()->labelPercentage()->text(), "45%");
    EXPECT_DOUBLE_EQ(hud().viewProgress()->layerProgress()->presentationState().shape->strokeEnd, 0.456);
    ProgressHUD::progress(7.0);
    ManualClock::advance(0.3);
    EXPECT_DOUBLE_EQ(hud().viewProgress()->layerProgress()->strokeEnd(), 1.0);
    ProgressHUD::progress(INFINITY);
    ManualClock::advance(0.3);
    EXPECT_EQ(hud().viewProgress()->labelPercentage()->text(), "0%");
}

TEST_F(HudTest, SuccessAndErrorFallBackToTheImagesSetBeforeThem) {
    auto check = UIImage::imageWithBitmap(Bitmap::make(4, 4));
    ProgressHUD::setImageSuccess(check);
    ProgressHUD::success("saved");
    ManualClock::advance(0.01);
    ASSERT_TRUE(hud().viewStaticImage());
    EXPECT_EQ(hud().viewStaticImage()->image(), check);
    ProgressHUD::error(std::nullopt);  // no error image set: an empty one, and nothing breaks
    ManualClock::advance(0.01);
    ASSERT_TRUE(hud().viewStaticImage());
    EXPECT_NE(hud().viewStaticImage()->image(), check);
    EXPECT_FALSE(hud().viewLiveIcon());
    ManualClock::advance(1.25 + 0.15 + 0.01);  // the delay without text, then the dismissal
    EXPECT_FALSE(hud().isShowing());
    ProgressHUD::setImageSuccess(nullptr);
}

TEST_F(HudTest, TheBannerIsTwoLinesTallOnlyForALongMessageAndAnOldTimerLeavesANewBanner) {
    ProgressHUD::banner("Title", "Short", 1);
    ManualClock::advance(0.3);
    ASSERT_TRUE(hud().viewBanner());
    EXPECT_EQ(hud().viewBanner()->frame(), (CGRect{{16, 20}, {375 - 32, 64}}));
    EXPECT_EQ(hud().labelBannerMessage()->frame().size.height, 20);
    EXPECT_EQ(hud().labelBannerMessage()->numberOfLines(), 1);
    ManualClock::advance(0.5);
    ProgressHUD::banner("Title", "A message that is far too long to fit on a single line of the banner", 10);
    ManualClock::advance(0.3);
    const auto banner = hud().viewBanner();
    EXPECT_EQ(banner->frame().size.height, 80);
    EXPECT_GE(hud().labelBannerMessage()->frame().size.height, 40);
    EXPECT_EQ(hud().labelBannerMessage()->numberOfLines(), 2);
    ManualClock::advance(1);  // the first banner's timer is due: it does not hide the second
    EXPECT_EQ(hud().viewBanner(), banner);
    ProgressHUD::bannerHide();
    ManualClock::advance(0.3);
    EXPECT_FALSE(hud().viewBanner());
}

TEST_F(HudTest, PanelIsDrawnInTheHudColourAtTheWindowCentre) {
    window->setBackgroundColor(UIColor::whiteColor());
    ProgressHUD::setColorBackground(UIColor::clearColor());
    ProgressHUD::setColorHUD(UIColor::blueColor());
    ProgressHUD::animate(std::nullopt, AnimationType::none);
    ManualClock::advance(0.3);
    const auto bitmap = window->renderBitmap(2);
    ASSERT_TRUE(bitmap);
    // The 110-point panel's top left corner is at pixel (265, 557).
    testing_support::expectPixels(*bitmap, {{375, 667, testing_support::kOpaqueBlue},  // centre
                                            {285, 559, testing_support::kOpaqueBlue},  // along the top edge
                                            {266, 558, {255, 255, 255, 255}},          // the corner, rounded away
                                            {20, 20, {255, 255, 255, 255}}});
    ProgressHUD::setColorHUD(UIColor::grayColor());
    ProgressHUD::setColorBackground(UIColor::colorWithWhite(0, 0.2));
}

TEST_F(HudTest, FacadeSkipsARepeatedToastAndKeepsOnlyTheLastActivityHide) {
    auto delegate = std::make_shared<UIApplicationDelegate>();
    delegate->setWindow(window);
    UIApplication::shared()->setDelegate(delegate);
    QVToast::toastIfNeed("same");
    QVToast::toastIfNeed("same");
    QVToast::toast("other");
    EXPECT_EQ(activeToasts(*window).size(), 1u);
    EXPECT_EQ(queuedToasts(*window).size(), 1u);
    hideAllToastsImmediately(*window);

    QVToast::showingActivity(false, 5);
    ManualClock::advance(1);
    QVToast::showingActivity(false, 2);
    EXPECT_FALSE(window->isUserInteractionEnabled());
    ManualClock::advance(1.9);
    EXPECT_TRUE(toastActivityView(*window));
    ManualClock::advance(0.2);
    EXPECT_FALSE(toastActivityView(*window));
    EXPECT_TRUE(window->isUserInteractionEnabled());

    QVHUD::showingActivity(3);
    ManualClock::advance(2.9);
    EXPECT_TRUE(hud().isShowing());
    EXPECT_TRUE(hud().viewBackground()->isUserInteractionEnabled());
    ManualClock::advance(0.2);
    EXPECT_FALSE(hud().isShowing());
    EXPECT_FALSE(hud().toolbarHUD());
    UIApplication::shared()->setDelegate(nullptr);
}
