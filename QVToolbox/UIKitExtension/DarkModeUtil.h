// Dark mode: the application's light or dark appearance, chosen one of three ways and kept
// in the user defaults: follow the system, force light or dark, or switch by time of day
// ("smart peeling": dark during a daily period such as 21:00~8:00).
//
//   HxDarkModeUtil::defaultDark();                       // at start-up: apply the stored choice
//   HxDarkModeUtil::setDarkModeCustom(false);            // force dark
//   HxDarkModeUtil::setSmartPeelingDarkMode(true);       // dark from 21:00 to 8:00
//   auto text = HxDarkModeUtil::colorLightDark(black, white);   // follows the same rules
//
// Settings (NSUserDefaults::standardUserDefaults()), each read afresh on every use:
//   "HxDarkToSystemKey"             flag, follow the system              default true
//   "HxLightDarkKey"                flag, the manual choice (true light) default true
//   "HxSmartPeelingKey"             flag, switch by time of day          default false
//   "HxSmartPeelingTimeIntervalKey" text, the dark period "HH:mm~HH:mm"  default "21:00~8:00"
// A flag stored as something other than a boolean (or the numbers 0 and 1) reads as its default.
// Following the system takes precedence; otherwise smart peeling when its flag is set;
// otherwise the manual choice.
//
// The dark period holds from its start to its end time of day, both included, in the current
// time zone (platform::TimeZone::current()), at whole seconds of the platform clock. A period
// whose end is earlier than its start runs past midnight (21:00~8:00 is dark at 03:00). A
// start equal to its end is an empty period; a period that does not parse (not two times
// joined by "~", an hour beyond 23 or a minute beyond 59) counts as no dark period at all.
// Times are one or two digit hours and minutes ("8:00", "08:00").
//
// Styles go to the application's key window (the first of UIApplication's windows that is
// key) by overriding its interface style; without a key window only the settings change.
//
// Thread rule: main thread (they touch the key window), except the readers (`isFollowSystem`,
// `isSmartPeeling`, `isLight`, `isSmartPeelingTime`, `SmartPeelingTimeIntervalValue`) and
// dynamic colour resolution, which any thread may use.
#pragma once

#include <QVToolbox/UIKitExtension/ThemeProvider.h>

#include <QVPlatform/ui/UIColor.h>
#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UITraitCollection.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

// A daily period, in minutes after midnight.
struct DarkPeriod {
    int startMinute = 0;
    int endMinute = 0;

    // Whether the period holds `secondOfDay` (0 ..< 86400), its ends included.
    bool contains(int secondOfDay) const;
    friend bool operator==(const DarkPeriod&, const DarkPeriod&) = default;
};

// "H:mm" or "HH:mm" as minutes after midnight; absent for anything else.
std::optional<int> minuteOfDay(std::string_view time);
// The first two pieces of `interval` split at every "~"; absent when either is missing or
// does not parse.
std::optional<DarkPeriod> parseDarkPeriod(std::string_view interval);
// Seconds since local midnight (current time zone) of the platform clock's whole second.
int currentSecondOfDay();

class HxDarkModeUtil : public HxThemeable {
public:
    static constexpr std::string_view darkToSystemKey = "HxDarkToSystemKey";
    static constexpr std::string_view lightDarkKey = "HxLightDarkKey";
    static constexpr std::string_view smartPeelingKey = "HxSmartPeelingKey";
    static constexpr std::string_view smartPeelingTimeIntervalKey = "HxSmartPeelingTimeIntervalKey";
    static constexpr std::string_view defaultSmartPeelingTimeInterval = "21:00~8:00";

    // Does nothing: the utility has no appearance of its own.
    void apply() override {}

    static bool isFollowSystem();
    static bool isSmartPeeling();
    static std::string SmartPeelingTimeIntervalValue();
    // Stores the text as it is and writes the defaults to disk.
    static void setSmartPeelingTimeIntervalValue(const std::string& interval);
    // Under smart peeling: not in the dark period now; otherwise the manual choice.
    static bool isLight();
    // Whether now lies in the period [startTime, endTime] when both are given, else in the
    // stored period.
    static bool isSmartPeelingTime(const std::optional<std::string>& startTime = std::nullopt,
                                   const std::optional<std::string>& endTime = std::nullopt);

    // Applies the stored choice to the key window (at start-up).
    static void defaultDark();
    // Follows the system (the key window's style unspecified), or, with false, keeps the
    // current appearance as the manual choice. Smart peeling goes off either way.
    static void setDarkModeFollowSystem(bool isFollowSystem);
    // Forces light or dark; system following and smart peeling go off.
    static void setDarkModeCustom(bool isLight);
    // Turns smart peeling on or off and applies the resulting appearance.
    static void setSmartPeelingDarkMode(bool isSmartPeeling);
    // Stores the dark period startTime~endTime. While smart peeling is the active mode, the
    // appearance becomes dark exactly when now lies in the new period, on the key window and
    // in "HxLightDarkKey"; in the other modes nothing else changes. False, storing nothing,
    // when either time does not parse.
    static bool setSmartPeelingTimeChange(const std::string& startTime, const std::string& endTime);

    // A dynamic colour that resolves to `lightColor` or `darkColor` by `usesDarkColor`.
    static std::shared_ptr<platform::UIColor> colorLightDark(std::shared_ptr<platform::UIColor> lightColor,
                                                             std::shared_ptr<platform::UIColor> darkColor);
    // The choice a dynamic colour makes for `traits`: following the system, dark unless the
    // style is light; under smart peeling, dark in the period; else the manual choice.
    static bool usesDarkColor(const platform::UITraitCollection& traits);
    // `light` itself when either image is missing or `light` belongs to no UIImageAsset (the
    // caller keeps assets alive: an image refers to its asset weakly). Otherwise `dark` is
    // registered in that asset for the dark style and the asset's image for the current
    // trait collection is returned (`light` when it has none).
    static std::shared_ptr<platform::UIImage> image(const std::shared_ptr<platform::UIImage>& light,
                                                    const std::shared_ptr<platform::UIImage>& dark);
};

}  // namespace QVToolbox
