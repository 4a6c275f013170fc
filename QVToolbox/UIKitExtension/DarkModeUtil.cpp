#include <QVToolbox/UIKitExtension/DarkModeUtil.h>

#include <QVToolbox/UIKitExtension/UserDefaultsWriter.h>

#include <QVPlatform/base/Date.h>
#include <QVPlatform/foundation/TimeZone.h>
#include <QVPlatform/foundation/UserDefaults.h>
#include <QVPlatform/ui/UIApplication.h>
#include <QVPlatform/ui/UIImageAsset.h>
#include <QVPlatform/ui/UIWindow.h>

#include <cmath>
#include <cstdint>

namespace QVToolbox {
namespace {

using platform::UIUserInterfaceStyle;

constexpr int kSecondsPerDay = 86400;

// One or two decimal digits as a number; absent otherwise.
std::optional<int> smallNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 2) return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool readFlag(std::string_view key, bool fallback) {
    const platform::Any value = platform::NSUserDefaults::standardUserDefaults().objectForKey(key);
    if (value.isBool()) return value.boolValue();
    if (value.isInteger() && (value.integerValue() == 0 || value.integerValue() == 1)) return value.integerValue() == 1;
    return fallback;
}

void writeFlag(std::string_view key, bool value) { userDefaultsSetValue(platform::Any(value), key); }

UIUserInterfaceStyle styleFor(bool light) { return light ? UIUserInterfaceStyle::light : UIUserInterfaceStyle::dark; }

// The first of the application's windows that is key; null when none is.
std::shared_ptr<platform::UIWindow> keyWindow() {
    for (const auto& window : platform::UIApplication::shared()->windows()) {
        if (window->isKeyWindow()) return window;
    }
    return nullptr;
}

void setKeyWindowStyle(UIUserInterfaceStyle style) {
    if (const auto window = keyWindow()) window->setOverrideUserInterfaceStyle(style);
}

UIUserInterfaceStyle currentStyle() { return platform::UITraitCollection::current().userInterfaceStyle(); }

}  // namespace

bool DarkPeriod::contains(int secondOfDay) const {
    const int start = startMinute * 60;
    const int end = endMinute * 60;
    if (start < end) return start <= secondOfDay && secondOfDay <= end;
    if (start > end) return secondOfDay >= start || secondOfDay <= end;  // runs past midnight
    return false;
}

std::optional<int> minuteOfDay(std::string_view time) {
    const auto colon = time.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const auto hour = smallNumber(time.substr(0, colon));
    const auto minute = smallNumber(time.substr(colon + 1));
    if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    return *hour * 60 + *minute;
}

std::optional<DarkPeriod> parseDarkPeriod(std::string_view interval) {
    const auto first = interval.find('~');
    if (first == std::string_view::npos) return std::nullopt;
    const std::string_view rest = interval.substr(first + 1);
    const auto start = minuteOfDay(interval.substr(0, first));
    const auto end = minuteOfDay(rest.substr(0, rest.find('~')));
    if (!start || !end) return std::nullopt;
    return DarkPeriod{*start, *end};
}

int currentSecondOfDay() {
    const double now = std::floor(platform::Date::now().timeIntervalSince1970());
    const int offset = platform::TimeZone::current().secondsFromGMT(platform::Date(now));
    const double local = std::fmod(now + offset, kSecondsPerDay);
    return static_cast<int>(local < 0 ? local + kSecondsPerDay : local);
}

bool HxDarkModeUtil::isFollowSystem() { return readFlag(darkToSystemKey, true); }

bool HxDarkModeUtil::isSmartPeeling() { return readFlag(smartPeelingKey, false); }

std::string HxDarkModeUtil::SmartPeelingTimeIntervalValue() {
    const platform::Any value =
        platform::NSUserDefaults::standardUserDefaults().objectForKey(smartPeelingTimeIntervalKey);
    if (const std::string* text = value.asString()) return *text;
    return std::string(defaultSmartPeelingTimeInterval);
}

void HxDarkModeUtil::setSmartPeelingTimeIntervalValue(const std::string& interval) {
    userDefaultsSetValue(platform::Any(interval), smartPeelingTimeIntervalKey);
}

bool HxDarkModeUtil::isLight() {
    if (isSmartPeeling()) return !isSmartPeelingTime();
    return readFlag(lightDarkKey, true);
}

bool HxDarkModeUtil::isSmartPeelingTime(const std::optional<std::string>& startTime,
                                        const std::optional<std::string>& endTime) {
    std::optional<DarkPeriod> period;
    if (startTime && endTime) {
        const auto start = minuteOfDay(*startTime);
        const auto end = minuteOfDay(*endTime);
        if (start && end) period = DarkPeriod{*start, *end};
    } else {
        period = parseDarkPeriod(SmartPeelingTimeIntervalValue());
    }
    return period && period->contains(currentSecondOfDay());
}

void HxDarkModeUtil::defaultDark() {
    if (isFollowSystem()) {
        setDarkModeFollowSystem(true);
        return;
    }
    setKeyWindowStyle(styleFor(isLight()));
}

void HxDarkModeUtil::setDarkModeFollowSystem(bool isFollowSystem) {
    const UIUserInterfaceStyle style = currentStyle();
    writeFlag(darkToSystemKey, isFollowSystem);
    writeFlag(lightDarkKey, style == UIUserInterfaceStyle::light);
    writeFlag(smartPeelingKey, false);
    setKeyWindowStyle(isFollowSystem ? UIUserInterfaceStyle::unspecified : style);
}

void HxDarkModeUtil::setDarkModeCustom(bool isLight) {
    setKeyWindowStyle(styleFor(isLight));
    writeFlag(darkToSystemKey, false);
    writeFlag(smartPeelingKey, false);
    writeFlag(lightDarkKey, isLight);
}

void HxDarkModeUtil::setSmartPeelingDarkMode(bool isSmartPeeling) {
    writeFlag(smartPeelingKey, isSmartPeeling);
    const bool light = isLight();
    setKeyWindowStyle(styleFor(light));
    writeFlag(darkToSystemKey, false);
    writeFlag(lightDarkKey, light);
}

bool HxDarkModeUtil::setSmartPeelingTimeChange(const std::string& startTime, const std::string& endTime) {
    const auto start = minuteOfDay(startTime);
    const auto end = minuteOfDay(endTime);
    if (!start || !end) return false;
    const bool smartPeelingActive = !isFollowSystem() && isSmartPeeling();
    setSmartPeelingTimeIntervalValue(startTime + "~" + endTime);
    if (smartPeelingActive) {
        const bool light = !DarkPeriod{*start, *end}.contains(currentSecondOfDay());
        setKeyWindowStyle(styleFor(light));
        writeFlag(lightDarkKey, light);
    }
    return true;
}

bool HxDarkModeUtil::usesDarkColor(const platform::UITraitCollection& traits) {
    if (isFollowSystem()) return traits.userInterfaceStyle() != UIUserInterfaceStyle::light;
    if (isSmartPeeling()) return isSmartPeelingTime();
    return !isLight();
}

std::shared_ptr<platform::UIColor> HxDarkModeUtil::colorLightDark(std::shared_ptr<platform::UIColor> lightColor,
                                                                  std::shared_ptr<platform::UIColor> darkColor) {
    return platform::UIColor::colorWithDynamicProvider(
        [light = std::move(lightColor), dark = std::move(darkColor)](const platform::UITraitCollection& traits) {
            return usesDarkColor(traits) ? dark : light;
        });
}

std::shared_ptr<platform::UIImage> HxDarkModeUtil::image(const std::shared_ptr<platform::UIImage>& light,
                                                         const std::shared_ptr<platform::UIImage>& dark) {
    if (!light || !dark) return light;
    const auto asset = light->imageAsset();
    if (!asset) return light;
    asset->registerImage(dark, platform::UITraitCollection::withUserInterfaceStyle(UIUserInterfaceStyle::dark));
    auto resolved = asset->imageWithTraitCollection(platform::UITraitCollection::current());
    return resolved ? resolved : light;
}

}  // namespace QVToolbox
