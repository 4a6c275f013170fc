#include <QVToolbox/QVToolbox.h>
#include <QVToolbox/core/Associated.h>
#include <QVToolbox/core/Unown.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/base/Debug.h>
#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UIScreen.h>

#include <gtest/gtest.h>

#include "support/DebugMessages.h"

#include <atomic>
#include <thread>

using namespace QVToolbox;
using platform::Clock;
using platform::ManualClock;

namespace {

struct Collect : QVToolboxLogDelegate {
    std::vector<std::string> lines;
    void send(const std::string& log) override { lines.push_back(log); }
};

}  // namespace

TEST(QVToolboxLog, PrefixesLinesAndIsSilentWithoutDelegate) {
    auto& log = QVToolboxLog::shared();
    log.setDelegate(nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    log.send("nobody hears this");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    auto collect = std::make_shared<Collect>();
    log.setDelegate(collect);
    log.send("x");
    log.send(std::nullopt);
    log.send("Error: message, title, and image are all nil");
    log.setDelegate(nullptr);
    EXPECT_EQ(collect->lines, (std::vector<std::string>{"[QVToolbox]x", "[QVToolbox]",
                                                        "[QVToolbox]Error: message, title, and image are all nil"}));
}

TEST(ToClock, TruncatesAndFormatsWithOrWithoutHours) {
    EXPECT_EQ(qv(3725.0).toClock(false), "01:02:05");
    EXPECT_EQ(qv(3725.0).toClock(true), "01:02:05");
    EXPECT_EQ(qv(125.0).toClock(true), "02:05");
    EXPECT_EQ(qv(125.0).toClock(false), "00:02:05");
    EXPECT_EQ(qv(0.0).toClock(true), "00:00");
    EXPECT_EQ(qv(3600.0).toClock(true), "01:00:00");
    EXPECT_EQ(qv(3600.0).toClock(false), "01:00:00");
    EXPECT_EQ(qv(59.9).toClock(true), "00:59");
    EXPECT_EQ(qv(360000.0).toClock(false), "100:00:00");
    // Outside the int64 range: clamped, never undefined.
    EXPECT_FALSE(qv(1e300).toClock(false).empty());
    EXPECT_EQ(qv(std::nan("")).toClock(true), "00:00");
}

TEST(CompareVersion, ComparesAllThreePartsAndNeedsExactlyThree) {
    EXPECT_FALSE(HxGlobalTools::compareVersion("2.0", "1.2.9"));
    EXPECT_TRUE(HxGlobalTools::compareVersion("1.3.0", "1.2.9"));
    EXPECT_TRUE(HxGlobalTools::compareVersion("2.0.0", "1.2.9"));
    EXPECT_FALSE(HxGlobalTools::compareVersion("1.1.9", "1.2.9"));
    // The third parts count when the first two are equal.
    EXPECT_TRUE(HxGlobalTools::compareVersion("1.2.99", "1.2.9"));
    EXPECT_FALSE(HxGlobalTools::compareVersion("1.2.9", "1.2.9"));
    EXPECT_FALSE(HxGlobalTools::compareVersion("1.2.8", "1.2.9"));
    // Not numbers, or an application version that does not read: false.
    EXPECT_FALSE(HxGlobalTools::compareVersion("1.a.0", "1.2.9"));
    EXPECT_FALSE(HxGlobalTools::compareVersion("1..0", "1.2.9"));
    EXPECT_FALSE(HxGlobalTools::compareVersion("9.9.9", ""));
    EXPECT_FALSE(HxGlobalTools::compareVersion("1.2.3.4", "1.2.2"));
}

TEST(HxAsyncs, RunsTaskInBackgroundThenMainCallbackAndCancelsBeforeStart) {
    std::atomic<bool> taskOnMain{true};
    bool doneOnMain = false;
    std::atomic<int> order{0};
    int taskOrder = 0, doneOrder = 0;
    HxAsyncs::asyncDelay(0, [&] { taskOnMain = platform::RunLoop::isMainThread(); taskOrder = ++order; },
                         [&] { doneOnMain = platform::RunLoop::isMainThread(); doneOrder = ++order; });
    ManualClock::drain();
    EXPECT_FALSE(taskOnMain.load());
    EXPECT_TRUE(doneOnMain);
    EXPECT_EQ(taskOrder, 1);
    EXPECT_EQ(doneOrder, 2);

    bool ran = false, done = false;
    auto item = HxPOP<platform::DispatchQueue>::asyncDelay(1.0, [&] { ran = true; }, [&] { done = true; });
    item->cancel();
    ManualClock::advance(2.0);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(done);

    // The delay is honoured on the clock.
    bool late = false;
    HxAsyncs::asyncDelay(0.5, [&] { late = true; });
    ManualClock::advance(0.4);
    EXPECT_FALSE(late);
    ManualClock::advance(0.1);
    EXPECT_TRUE(late);
}

TEST(Once, RunsEachTokenOnceAndAllowsNestedTokens) {
    int a = 0, b = 0;
    HxAsyncs::once("core-test-a", [&] {
        ++a;
        HxPOP<platform::DispatchQueue>::once("core-test-b", [&] { ++b; });  // re-entrant
    });
    HxAsyncs::once("core-test-a", [&] { ++a; });
    HxAsyncs::once("core-test-b", [&] { ++b; });
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
}

TEST(Unown, CallsWhileAliveAndDoesNothingOnceReleased) {
    struct Element {
        std::string fill;
        void setFill(std::string value) { fill = std::move(value); }
    };
    auto element = std::make_shared<Element>();
    auto setter = unown(element, &Element::setFill);
    setter("red");
    EXPECT_EQ(element->fill, "red");
    EXPECT_EQ(element.use_count(), 1) << "the binding does not own the element";
    element.reset();
    setter("blue");  // no effect, no crash
}

TEST(AssociatedObjects, StoreTypedValuesAndHoldAssignedObjectsWeakly) {
    static const char titleKey = 0, ownerKey = 0;
    auto view = std::make_shared<platform::NSObject>();
    hx_setRetainedAssociatedObject(*view, &titleKey, std::string("title"));
    EXPECT_EQ(hx_getAssociatedObject<std::string>(*view, &titleKey), "title");
    EXPECT_EQ(hx_getAssociatedObject<int>(*view, &titleKey), std::nullopt) << "another type reads as absent";
    EXPECT_EQ(hx_getAssociatedObject<std::string>(*view, &ownerKey), std::nullopt);

    auto owner = std::make_shared<platform::NSObject>();
    hx_setRetainedAssociatedObject(*view, &ownerKey, owner, AssociationPolicy::assign);
    EXPECT_EQ(hx_getAssociatedObject<std::shared_ptr<platform::NSObject>>(*view, &ownerKey), owner);
    owner.reset();
    EXPECT_EQ(hx_getAssociatedObject<std::shared_ptr<platform::NSObject>>(*view, &ownerKey), std::nullopt);

    int x = 1, y = 2;
    HxCommonTool::swapMe(x, y);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 1);
}

TEST(ScreenValues, FollowTheDefaultPhoneProfile) {
    EXPECT_EQ(hx_kScreenW(), 375);
    EXPECT_EQ(hx_kScreenH(), 667);
    EXPECT_FALSE(isIPhoneX());
    EXPECT_EQ(hx_kStatusBarFrameH(), 20);
    EXPECT_EQ(hx_kNavFrameH(), 64);
    EXPECT_EQ(hx_kTabbarFrameH(), 49);
    EXPECT_EQ(hx_kTabbarBottom(), 0);
    EXPECT_EQ(hx_kPixel(), 0.5);
    EXPECT_EQ(hx_scaleIphone(), 1);
    EXPECT_EQ(hx_kScreenW16_9(), 375.0 * 9 / 16);
    EXPECT_TRUE(hx_isIphone());
    EXPECT_TRUE(hx_is678());
    EXPECT_FALSE(hx_isPadDevice());
    EXPECT_FALSE(qv_is678OrLess());
    EXPECT_TRUE(qv_is678pOrLess());
    EXPECT_FALSE(hx_isSimulator());
    EXPECT_FALSE(hx_deviceModel().empty());
}

TEST(ScreenProfile, ParsesHostProfiles) {
    const auto tall = platform::ScreenProfile::parse("414x896@3,status=44,idiom=phone");
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->width, 414);
    EXPECT_EQ(tall->height, 896);
    EXPECT_EQ(tall->scale, 3);
    EXPECT_EQ(tall->statusBarHeight, 44);
    const auto pad = platform::ScreenProfile::parse("idiom=pad");
    ASSERT_TRUE(pad);
    EXPECT_EQ(pad->idiom, platform::UIUserInterfaceIdiom::pad);
    EXPECT_EQ(pad->width, 375);
    EXPECT_FALSE(platform::ScreenProfile::parse("375by667"));
    EXPECT_FALSE(platform::ScreenProfile::parse("0x667"));
    EXPECT_FALSE(platform::ScreenProfile::parse("idiom=watch"));
}

TEST(GlobalTools, OpensOnlyThroughRegisteredHandlers) {
    auto app = platform::UIApplication::shared();
    qvtest::DebugMessages messages;
    const auto& debug = messages.seen;

    std::optional<bool> result;
    HxGlobalTools::callPhone("10086", [&](bool ok) { result = ok; });
    EXPECT_EQ(result, false) << "no handler: nothing opens";

    std::vector<std::string> opened;
    app->registerURLHandler("tel", [&](const platform::URL& url) {
        opened.push_back(url.absoluteString());
        return true;
    });
    result.reset();
    HxGlobalTools::callPhone("10086", [&](bool ok) { result = ok; });
    ManualClock::drain();
    EXPECT_EQ(result, true);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "tel://10086");
    EXPECT_EQ(debug, std::vector<std::string>{"10以后可以跳转url"});

    app->registerURLHandler("tel", [](const platform::URL&) { return false; });
    result.reset();
    HxGlobalTools::openUrl(*platform::URL::string("tel://1"), [&](bool ok) { result = ok; });
    ManualClock::drain();
    EXPECT_EQ(result, false);
    EXPECT_EQ(debug.back(), "10以后不能完成跳转");
    app->removeURLHandler("tel");

    HxGlobalTools::exitApp();
    ManualClock::drain();
    EXPECT_EQ(app->applicationState(), platform::UIApplication::State::background);
    app->setApplicationState(platform::UIApplication::State::active);
    EXPECT_EQ(HxGlobalTools::getViewController("id", "Main"), nullptr);
}
