// Dark mode: the stored choice, the dark period by time of day, the key window's style,
// dynamic colours and images, the settings writer and the theme observers. Drives the standard
// user defaults, the application's windows and the current time zone, hence its own executable.
#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/foundation/TimeZone.h>
#include <QVPlatform/foundation/UserDefaults.h>
#include <QVPlatform/ui/UIImageAsset.h>
#include <QVPlatform/ui/UIWindow.h>

#include "support/Pixels.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace QVToolbox;
using platform::Any;
using platform::NSUserDefaults;
using platform::UITraitCollection;
using platform::UIUserInterfaceStyle;
using testing_support::expectPixels;
using testing_support::kOpaqueBlue;
using testing_support::kOpaqueRed;

namespace {

constexpr auto kLight = UIUserInterfaceStyle::light;
constexpr auto kDark = UIUserInterfaceStyle::dark;
constexpr auto kUnspecified = UIUserInterfaceStyle::unspecified;
constexpr double kMidnightUTC = 1796688000.0;  // 2026-12-08 00:00:00 UTC

UITraitCollection traits(UIUserInterfaceStyle style) { return UITraitCollection::withUserInterfaceStyle(style); }

// Sets the clock to the time of day in UTC (the zone the fixture makes current).
void at(int hour, int minute, int second = 0) {
    platform::ManualClock::start(kMidnightUTC + hour * 3600 + minute * 60 + second);
}

Any stored(std::string_view key) { return NSUserDefaults::standardUserDefaults().objectForKey(key); }

std::shared_ptr<platform::UIWindow> keyWindow() {
    auto window = std::make_shared<platform::UIWindow>(platform::CGRect{{0, 0}, {100, 100}});
    window->makeKeyWindow();
    return window;
}

class DarkModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::TimeZone::setDefault(platform::TimeZone::gmt());
        UITraitCollection::setSystemUserInterfaceStyle(kLight);
        clearKeys();
    }
    void TearDown() override {
        clearKeys();
        NSUserDefaults::standardUserDefaults().synchronize();
        UITraitCollection::setSystemUserInterfaceStyle(kLight);
        platform::TimeZone::setDefault(std::nullopt);
    }
    static void clearKeys() {
        auto& defaults = NSUserDefaults::standardUserDefaults();
        for (auto key : {HxDarkModeUtil::darkToSystemKey, HxDarkModeUtil::lightDarkKey, HxDarkModeUtil::smartPeelingKey,
                         HxDarkModeUtil::smartPeelingTimeIntervalKey}) {
            defaults.removeObjectForKey(key);
        }
    }
    static void useSmartPeeling(const std::string& period) {
        userDefaultsSetValue(Any(false), HxDarkModeUtil::darkToSystemKey);
        userDefaultsSetValue(Any(true), HxDarkModeUtil::smartPeelingKey);
        HxDarkModeUtil::setSmartPeelingTimeIntervalValue(period);
    }
};

struct CountingObserver : HxThemeable {
    void apply() override { ++applied; }
    int applied = 0;
};

}  // namespace

TEST(DarkPeriod, ParsesTwoTimesOfDayAndRefusesAnythingElse) {
    EXPECT_EQ(parseDarkPeriod("21:00~8:00"), (DarkPeriod{21 * 60, 8 * 60}));
    EXPECT_EQ(parseDarkPeriod("08:05~18:30"), (DarkPeriod{8 * 60 + 5, 18 * 60 + 30}));
    EXPECT_EQ(parseDarkPeriod("0:00~23:59~ignored"), (DarkPeriod{0, 23 * 60 + 59}));
    for (const char* bad : {"", "8:00", "21:00~", "~8:00", "25:00~8:00", "21:60~8:00", "24:00~8:00", "2100~0800",
                            "21:00 ~ 8:00", "-1:00~8:00", "+1:00~8:00", "123:00~8:00", "21:000~8:00", "a:b~c:d"}) {
        EXPECT_EQ(parseDarkPeriod(bad), std::nullopt) << bad;
    }
}

TEST(DarkPeriod, RunsPastMidnightAndIncludesBothEnds) {
    const DarkPeriod night{21 * 60, 8 * 60};
    EXPECT_TRUE(night.contains(3 * 3600));           // 03:00
    EXPECT_TRUE(night.contains(0));                  // midnight
    EXPECT_TRUE(night.contains(21 * 3600));          // 21:00:00
    EXPECT_TRUE(night.contains(8 * 3600));           // 08:00:00
    EXPECT_FALSE(night.contains(8 * 3600 + 1));      // 08:00:01
    EXPECT_FALSE(night.contains(21 * 3600 - 1));     // 20:59:59
    const DarkPeriod day{8 * 60, 18 * 60};
    EXPECT_TRUE(day.contains(12 * 3600));
    EXPECT_FALSE(day.contains(19 * 3600));
    EXPECT_FALSE(day.contains(22 * 3600));
    EXPECT_FALSE(day.contains(3 * 3600));
    const DarkPeriod empty{9 * 60, 9 * 60};
    EXPECT_FALSE(empty.contains(9 * 3600));
    EXPECT_FALSE(empty.contains(0));
}

TEST_F(DarkModeTest, FreshInstallFollowsTheSystemAndForeignValuesReadAsDefaults) {
    EXPECT_TRUE(HxDarkModeUtil::isFollowSystem());
    EXPECT_FALSE(HxDarkModeUtil::isSmartPeeling());
    EXPECT_TRUE(HxDarkModeUtil::isLight());
    EXPECT_EQ(HxDarkModeUtil::SmartPeelingTimeIntervalValue(), "21:00~8:00");

    auto& defaults = NSUserDefaults::standardUserDefaults();
    defaults.setObject(Any("NO"), HxDarkModeUtil::darkToSystemKey);
    defaults.setObject(Any(7), HxDarkModeUtil::smartPeelingKey);
    defaults.setObject(Any(0), HxDarkModeUtil::lightDarkKey);
    defaults.setObject(Any(42), HxDarkModeUtil::smartPeelingTimeIntervalKey);
    EXPECT_TRUE(HxDarkModeUtil::isFollowSystem());
    EXPECT_FALSE(HxDarkModeUtil::isSmartPeeling());
    EXPECT_FALSE(HxDarkModeUtil::isLight());  // 0 is a stored false
    EXPECT_EQ(HxDarkModeUtil::SmartPeelingTimeIntervalValue(), "21:00~8:00");
}

TEST_F(DarkModeTest, SmartPeelingIsDarkThroughThePeriodIncludingTheHoursAfterMidnight) {
    useSmartPeeling("21:00~8:00");
    at(22, 30);
    EXPECT_FALSE(HxDarkModeUtil::isLight());
    at(20, 0);
    EXPECT_TRUE(HxDarkModeUtil::isLight());
    at(3, 0);
    EXPECT_FALSE(HxDarkModeUtil::isLight());
    at(8, 0, 1);
    EXPECT_TRUE(HxDarkModeUtil::isLight());

    HxDarkModeUtil::setSmartPeelingTimeIntervalValue("08:00~18:00");
    at(12, 0);
    EXPECT_FALSE(HxDarkModeUtil::isLight());
    at(19, 0);
    EXPECT_TRUE(HxDarkModeUtil::isLight());
    at(22, 0);
    EXPECT_TRUE(HxDarkModeUtil::isLight());

    // Given times take the place of the stored period.
    EXPECT_TRUE(HxDarkModeUtil::isSmartPeelingTime("21:00", "23:00"));
    EXPECT_FALSE(HxDarkModeUtil::isSmartPeelingTime("21:00", "21:59"));
    EXPECT_FALSE(HxDarkModeUtil::isSmartPeelingTime("21:00", "late"));

    // The time of day is the current zone's: 14:30 UTC is 22:30 in Shanghai.
    HxDarkModeUtil::setSmartPeelingTimeIntervalValue("21:00~8:00");
    platform::TimeZone::setDefault(platform::TimeZone::named("Asia/Shanghai"));
    at(14, 30);
    EXPECT_FALSE(HxDarkModeUtil::isLight());
}

TEST_F(DarkModeTest, AStoredPeriodThatDoesNotParseOrIsEmptyIsNeverDark) {
    for (const char* period : {"8:00", "25:00~8:00", "21:00~8:61", "", "~", "9:00~9:00"}) {
        useSmartPeeling(period);
        for (int hour : {0, 3, 9, 12, 22}) {
            at(hour, 0);
            EXPECT_TRUE(HxDarkModeUtil::isLight()) << period << " at " << hour;
        }
    }
}

TEST_F(DarkModeTest, ModesSetTheKeyWindowsStyleAndTheirSettings) {
    auto other = std::make_shared<platform::UIWindow>(platform::CGRect{{0, 0}, {10, 10}});
    auto window = keyWindow();

    HxDarkModeUtil::setDarkModeCustom(false);
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kDark);
    EXPECT_EQ(other->overrideUserInterfaceStyle(), kUnspecified);
    EXPECT_EQ(stored(HxDarkModeUtil::darkToSystemKey), Any(false));
    EXPECT_EQ(stored(HxDarkModeUtil::smartPeelingKey), Any(false));
    EXPECT_EQ(stored(HxDarkModeUtil::lightDarkKey), Any(false));
    EXPECT_FALSE(HxDarkModeUtil::isLight());

    HxDarkModeUtil::setDarkModeFollowSystem(true);
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kUnspecified);
    EXPECT_TRUE(HxDarkModeUtil::isFollowSystem());
    EXPECT_EQ(stored(HxDarkModeUtil::lightDarkKey), Any(true));  // the system is light

    // Leaving the system keeps its current appearance as the manual choice.
    UITraitCollection::setSystemUserInterfaceStyle(kDark);
    HxDarkModeUtil::setDarkModeFollowSystem(false);
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kDark);
    EXPECT_EQ(stored(HxDarkModeUtil::lightDarkKey), Any(false));

    at(22, 30);
    HxDarkModeUtil::setSmartPeelingDarkMode(true);
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kDark);
    EXPECT_TRUE(HxDarkModeUtil::isSmartPeeling());
    EXPECT_EQ(stored(HxDarkModeUtil::darkToSystemKey), Any(false));
    at(12, 0);
    HxDarkModeUtil::defaultDark();  // start-up re-applies the time of day
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kLight);

    HxDarkModeUtil::setDarkModeCustom(true);
    window->setOverrideUserInterfaceStyle(kUnspecified);
    HxDarkModeUtil::defaultDark();
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kLight);
    EXPECT_EQ(other->overrideUserInterfaceStyle(), kUnspecified);

    // Without a key window the settings still change.
    window.reset();
    other.reset();
    HxDarkModeUtil::setDarkModeCustom(false);
    EXPECT_EQ(stored(HxDarkModeUtil::lightDarkKey), Any(false));
    HxDarkModeUtil::defaultDark();
}

TEST_F(DarkModeTest, ChangingThePeriodMakesItDarkExactlyInsideItOnlyUnderSmartPeeling) {
    auto window = keyWindow();
    useSmartPeeling("08:00~18:00");
    at(3, 0);
    HxDarkModeUtil::defaultDark();
    ASSERT_EQ(window->overrideUserInterfaceStyle(), kLight);

    EXPECT_TRUE(HxDarkModeUtil::setSmartPeelingTimeChange("21:00", "8:00"));  // 03:00 lies in it
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kDark);
    EXPECT_EQ(stored(HxDarkModeUtil::lightDarkKey), Any(false));
    EXPECT_EQ(HxDarkModeUtil::SmartPeelingTimeIntervalValue(), "21:00~8:00");

    // Already dark, and now lies in the new period too: stays dark.
    EXPECT_TRUE(HxDarkModeUtil::setSmartPeelingTimeChange("2:00", "4:00"));
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kDark);
    EXPECT_FALSE(HxDarkModeUtil::isLight());

    EXPECT_TRUE(HxDarkModeUtil::setSmartPeelingTimeChange("08:00", "18:00"));
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kLight);
    EXPECT_EQ(stored(HxDarkModeUtil::lightDarkKey), Any(true));

    // A period that does not parse is refused and nothing changes.
    EXPECT_FALSE(HxDarkModeUtil::setSmartPeelingTimeChange("21:00", "8"));
    EXPECT_FALSE(HxDarkModeUtil::setSmartPeelingTimeChange("", "8:00"));
    EXPECT_EQ(HxDarkModeUtil::SmartPeelingTimeIntervalValue(), "08:00~18:00");

    // Under a manual choice or the system, only the period is stored.
    HxDarkModeUtil::setDarkModeCustom(true);
    EXPECT_TRUE(HxDarkModeUtil::setSmartPeelingTimeChange("2:00", "4:00"));
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kLight);
    EXPECT_TRUE(HxDarkModeUtil::isLight());
    HxDarkModeUtil::setDarkModeFollowSystem(true);
    EXPECT_TRUE(HxDarkModeUtil::setSmartPeelingTimeChange("1:00", "5:00"));
    EXPECT_EQ(window->overrideUserInterfaceStyle(), kUnspecified);
    EXPECT_EQ(HxDarkModeUtil::SmartPeelingTimeIntervalValue(), "1:00~5:00");
}

TEST_F(DarkModeTest, ADynamicColourRendersLightOrDarkByItsWindowAndTheMode) {
    const auto color = HxDarkModeUtil::colorLightDark(platform::UIColor::redColor(), platform::UIColor::blueColor());
    auto render = [&](UIUserInterfaceStyle style) {
        auto window = std::make_shared<platform::UIWindow>(platform::CGRect{{0, 0}, {40, 40}});
        window->setOverrideUserInterfaceStyle(style);
        window->setHidden(false);
        auto panel = std::make_shared<platform::UIView>(platform::CGRect{{10, 10}, {20, 20}});
        panel->setBackgroundColor(color);
        window->addSubview(panel);
        return window->renderBitmap(1);
    };
    const auto light = render(kLight);
    const auto dark = render(kDark);
    ASSERT_TRUE(light && dark);
    expectPixels(*light, {{20, 20, kOpaqueRed}});
    expectPixels(*dark, {{20, 20, kOpaqueBlue}});

    EXPECT_TRUE(HxDarkModeUtil::usesDarkColor(traits(kUnspecified)));  // following the system
    EXPECT_FALSE(HxDarkModeUtil::usesDarkColor(traits(kLight)));

    // A manual choice or the time of day wins over the traits.
    HxDarkModeUtil::setDarkModeCustom(false);
    EXPECT_EQ(color->resolvedColorWithTraitCollection(traits(kLight))->rgba(), platform::UIColor::blueColor()->rgba());
    useSmartPeeling("21:00~8:00");
    at(12, 0);
    EXPECT_EQ(color->resolvedColorWithTraitCollection(traits(kDark))->rgba(), platform::UIColor::redColor()->rgba());
    at(23, 0);
    expectPixels(*render(kLight), {{20, 20, kOpaqueBlue}});
}

TEST_F(DarkModeTest, ImagesPickTheVariantForTheCurrentTraitsThroughTheLightImagesAsset) {
    const auto light = platform::UIImage::imageWithBitmap(platform::Bitmap::make(2, 1));
    const auto dark = platform::UIImage::imageWithBitmap(platform::Bitmap::make(3, 1));
    EXPECT_EQ(HxDarkModeUtil::image(light, nullptr), light);
    EXPECT_EQ(HxDarkModeUtil::image(nullptr, dark), nullptr);
    EXPECT_EQ(HxDarkModeUtil::image(light, dark), light);  // in no asset

    const auto asset = std::make_shared<platform::UIImageAsset>();
    asset->registerImage(light, traits(kLight));
    EXPECT_EQ(HxDarkModeUtil::image(light, dark), light);
    traits(kDark).performAsCurrent([&] { EXPECT_EQ(HxDarkModeUtil::image(light, dark), dark); });
    EXPECT_EQ(light->withTraitCollection(traits(kDark)), dark);
}

TEST_F(DarkModeTest, TheSettingsWriterStoresOnlyAValueUnderAKey) {
    EXPECT_TRUE(userDefaultsSetValue(Any("x"), "HxWriterKey"));
    EXPECT_EQ(stored("HxWriterKey"), Any("x"));
    EXPECT_FALSE(userDefaultsSetValue(Any(), "HxWriterKey"));
    EXPECT_EQ(stored("HxWriterKey"), Any("x"));
    EXPECT_FALSE(HxPOP<NSUserDefaults>::userDefaultsSetValue(Any(1), std::nullopt));
    EXPECT_FALSE(userDefaultsSetValue(Any(platform::UIColor::redColor()), "HxWriterKey"));  // no property list value
    EXPECT_TRUE(HxPOP<NSUserDefaults>::userDefaultsSetValue(Any(2), "HxWriterKey"));
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().integerForKey("HxWriterKey"), 2);
    NSUserDefaults::standardUserDefaults().removeObjectForKey("HxWriterKey");
}

TEST(LegacyThemeProvider, NotifiesLiveObserversOnTheMainQueueAndDropsReleasedOnes) {
    LegacyThemeProvider provider;
    auto a = std::make_shared<CountingObserver>();
    auto b = std::make_shared<CountingObserver>();
    auto c = std::make_shared<CountingObserver>();
    provider.register_(a);
    provider.register_(b);
    provider.register_(a);  // once only
    provider.register_(nullptr);
    provider.register_(c);
    EXPECT_EQ(provider.observers(), (std::vector<std::shared_ptr<HxThemeable>>{a, b, c}));

    std::weak_ptr<CountingObserver> released = b;
    b.reset();
    EXPECT_TRUE(released.expired());  // the registry does not keep it
    EXPECT_EQ(provider.observers(), (std::vector<std::shared_ptr<HxThemeable>>{a, c}));

    provider.updateTheme();
    EXPECT_EQ(a->applied, 0);  // not before the main queue runs
    c.reset();                 // released before the block runs: not called
    platform::RunLoop::main().runUntilIdle();
    EXPECT_EQ(a->applied, 1);

    LegacyThemeProvider::shared().register_(a);
    LegacyThemeProvider::shared().updateTheme();
    platform::RunLoop::main().runUntilIdle();
    EXPECT_EQ(a->applied, 2);
}
