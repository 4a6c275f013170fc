#include <QVToolbox/FoundationExtension/data/DateHelpers.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/base/Text.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace QVToolbox {

using platform::Calendar;
using platform::Date;
using platform::DateFormatter;
using Component = platform::Calendar::Component;

namespace {

std::mutex hxFormatterMutex;  // guards every use of hxFormatter()

// Created on first use; reached only with hxFormatterMutex held.
DateFormatter& hxFormatter() {
    static const auto formatter = [] {
        auto f = DateFormatter::make();
        f->setLocale(platform::Locale("zh_Hans_CN"));
        f->setCalendar(Calendar::Identifier::iso8601);
        f->setTimeZone(platform::TimeZone::system());
        return f;
    }();
    return *formatter;
}

std::string formatWithHx(Date date, std::string_view pattern) {
    std::string out;
    withHxFormatter([&](DateFormatter& f) {
        f.setDateFormat(pattern);
        out = f.string(date);
    });
    return out;
}

std::optional<Date> parseWithHx(std::string_view text, std::string_view pattern) {
    std::optional<Date> out;
    withHxFormatter([&](DateFormatter& f) {
        f.setDateFormat(pattern);
        out = f.date(text);
    });
    return out;
}

std::optional<Date> nowMovedByDays(int days) { return Calendar::current().date(Component::day, days, Date::now()); }

// A decimal number as a default number formatter reads it: optional sign, digits, optional
// fraction; the integer part (truncated toward zero) or absent.
std::optional<std::int64_t> readInteger(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::int64_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) value = value * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
    }
    if (digits == 0 || i != text.size()) return std::nullopt;
    return negative ? -value : value;  // at most 13 characters: no overflow
}

std::string decimal(std::int64_t v) { return std::to_string(v); }

constexpr std::array<const char*, 7> kLongWeekdays{"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
constexpr std::array<const char*, 7> kShortWeekdays{"周日", "周一", "周二", "周三", "周四", "周五", "周六"};

std::size_t shanghaiWeekdayIndex(Date date) {
    Calendar gregorian(Calendar::Identifier::gregorian);
    gregorian.setTimeZone(*platform::TimeZone::named("Asia/Shanghai"));
    const auto w = gregorian.component(Component::weekday, date);
    return static_cast<std::size_t>(w >= 1 && w <= 7 ? w - 1 : 0);
}

std::string formatLocal(Date date, const platform::Locale& locale, std::string_view pattern,
                        const platform::TimeZone& zone, std::optional<std::pair<DateFormatter::Style, DateFormatter::Style>> styles) {
    auto f = DateFormatter::make();
    f->setTimeZone(zone);
    if (styles) {
        f->setDateStyle(styles->first);
        f->setTimeStyle(styles->second);
    }
    f->setLocalizedDateFormatFromTemplate(pattern);
    f->setLocale(locale);
    return f->string(date);
}

std::optional<std::int64_t> difference(Date date, Date from, Component c) {
    return Calendar::current().dateComponents(std::vector<Component>{c}, from, date).value(c);
}

}  // namespace

std::optional<HxTimestampType> timestampTypeFromRawValue(int rawValue) {
    if (rawValue == 0) return HxTimestampType::second;
    if (rawValue == 1) return HxTimestampType::millisecond;
    return std::nullopt;
}

void withHxFormatter(const std::function<void(DateFormatter&)>& use) {
    std::lock_guard lock(hxFormatterMutex);
    use(hxFormatter());
}

Date currentDate() { return Date::now(); }

Date todayDate() {
    static const Date first = Date::now();
    return first;
}

std::optional<Date> yesterDayDate() { return nowMovedByDays(-1); }
std::optional<Date> tomorrowDate() { return nowMovedByDays(1); }
std::optional<Date> theDayBeforYesterDayDate() { return nowMovedByDays(-2); }
std::optional<Date> theDayAfterYesterDayDate() { return nowMovedByDays(2); }

std::string secondStamp() { return dateToTimeStamp(Date::now(), HxTimestampType::second); }
std::string milliStamp() { return dateToTimeStamp(Date::now(), HxTimestampType::millisecond); }

bool isTwelve() {
    const auto pattern = DateFormatter::dateFormatFromTemplate("j", platform::Locale::current());
    return pattern && pattern->find('a') != std::string::npos;
}

Date timestampToFormatterDate(std::string_view timestamp) {
    const std::size_t length = platform::characterCount(timestamp);
    if (length != 10 && length != 13) return Date::now();
    const auto v = readInteger(timestamp);
    if (!v) return Date::now();
    const std::int64_t seconds = length == 10 ? *v : *v / 1000;
    return Date(static_cast<double>(seconds));
}

std::string timestampToFormatterTimeString(std::string_view timestamp, std::string_view format) {
    return formatWithHx(timestampToFormatterDate(timestamp), format);
}

Date formatterTimeStringToDate(std::string_view timesString, std::string_view formatter) {
    return parseWithHx(timesString, formatter).value_or(Date::now());
}

std::string formatterTimeStringToTimestamp(std::string_view timesString, std::string_view formatter,
                                           HxTimestampType timestampType) {
    const auto date = parseWithHx(timesString, formatter);
    if (!date) return "";
    double t = date->timeIntervalSince1970();
    if (timestampType == HxTimestampType::millisecond) t *= 1000;
    return decimal(static_cast<std::int64_t>(std::trunc(t)));
}

std::string getFormatPlayTime(std::int64_t s, HxTimeBarType type) {
    if (s < 1) return "00:00";
    char text[96];
    const auto hms = [&] {
        const std::int64_t h = s / 3600;
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(h),
                      static_cast<long long>(s / 60 - 60 * h), static_cast<long long>(s % 60));
    };
    const auto ms = [&] {
        std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(s / 60), static_cast<long long>(s % 60));
    };
    const auto secs = [&] { std::snprintf(text, sizeof text, "%02lld", static_cast<long long>(s)); };
    switch (type) {
        case HxTimeBarType::second: secs(); break;
        case HxTimeBarType::minute: ms(); break;
        case HxTimeBarType::hour: hms(); break;
        case HxTimeBarType::normal:
            if (s < 60) secs();
            else if (s < 3600) ms();
            else hms();
            break;
    }
    return text;
}

std::optional<int> daysCount(std::int64_t year, std::int64_t month) {
    switch (month) {
        case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
        case 4: case 6: case 9: case 11: return 30;
        case 2: return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
        default:
            platform::debugPrint("非法的月份:" + std::to_string(month));
            return std::nullopt;
    }
}

int currentMonthDays() {
    const auto now = Calendar::current().dateComponents({Component::year, Component::month}, Date::now());
    return daysCount(now.year.value_or(1970), now.month.value_or(1)).value_or(30);
}

std::int64_t component(Date date, Component c) { return Calendar::current().component(c, date); }

std::string weekday(Date date) { return formatWithHx(date, "EEEE"); }
std::string monthAsString(Date date) { return formatWithHx(date, "MMMM"); }

std::string weekdayStringFromDate(Date date) { return kLongWeekdays[shanghaiWeekdayIndex(date)]; }
std::string weekdayString2FromDate(Date date) { return kShortWeekdays[shanghaiWeekdayIndex(date)]; }

bool isToday(Date date) { return Calendar::current().isDate(date, Date::now()); }

bool isYesterday(Date date) {
    const auto day = nowMovedByDays(-1);
    return day && Calendar::current().isDate(date, *day);
}

bool isTheDayBeforeYesterday(Date date) {
    const auto day = nowMovedByDays(-2);
    return day && Calendar::current().isDate(date, *day);
}

bool isThisYear(Date date) {
    const Calendar cal = Calendar::current();
    return cal.component(Component::year, date) == cal.component(Component::year, Date::now());
}

bool isLeapYear(Date date) {
    const std::int64_t y = component(date, Component::year);
    return y % 400 == 0 || (y % 4 == 0 && y % 100 != 0);
}

bool isThisWeek(Date date) {
    const Calendar cal = Calendar::current();
    const std::vector<Component> parts{Component::year, Component::month, Component::weekday};
    const auto a = cal.dateComponents(parts, date);
    const auto b = cal.dateComponents(parts, Date::now());
    return a.year == b.year && a.month == b.month && a.weekday == b.weekday;
}

bool isSameDay(Date date, Date other) { return Calendar::current().isDate(date, other); }

std::string toformatterTimeString(Date date, std::string_view formatter) {
    std::string out;
    withHxFormatter([&](DateFormatter& f) {
        f.setTimeZone(platform::TimeZone::autoupdatingCurrent());
        f.setDateFormat(formatter);
        out = f.string(date);
    });
    return out;
}

std::string dateToTimeStamp(Date date, HxTimestampType timestampType) {
    const double s = date.timeIntervalSince1970();
    if (!std::isfinite(s)) return "0";
    if (timestampType == HxTimestampType::millisecond) return decimal(std::llround(s * 1000));
    return decimal(static_cast<std::int64_t>(std::trunc(s)));
}

Date dateFromGMT(Date date) {
    return date.addingTimeInterval(platform::TimeZone::current().secondsFromGMT(date));
}

std::string toFormatterLocalTimeString(Date date, std::string_view localIdentifier, std::string_view formatter,
                                       const platform::TimeZone& timeZone) {
    return formatLocal(date, platform::Locale(localIdentifier), formatter, timeZone, std::nullopt);
}

std::string toformatterLocalTimeString(Date date, const platform::Locale& locale, std::string_view formatter,
                                       const platform::TimeZone& timeZone) {
    return formatLocal(date, locale, formatter, timeZone, std::nullopt);
}

std::string toLocalDateFormatterStyleString(Date date, std::string_view localIdentifier, std::string_view formatter,
                                            DateFormatter::Style dateStyle, DateFormatter::Style timeStyle,
                                            const platform::TimeZone& timeZone) {
    return formatLocal(date, platform::Locale(localIdentifier), formatter, timeZone, std::pair{dateStyle, timeStyle});
}

std::string toLocalDateFormatterStyleString(Date date, const platform::Locale& locale, std::string_view formatter,
                                            DateFormatter::Style dateStyle, DateFormatter::Style timeStyle,
                                            const platform::TimeZone& timeZone) {
    return formatLocal(date, locale, formatter, timeZone, std::pair{dateStyle, timeStyle});
}

std::string callTimeAfterNow(Date date) {
    const double d = Date::now().timeIntervalSince(date);
    if (d < 0 || !std::isfinite(d)) return "刚刚";
    const double a = std::fabs(d);
    const auto whole = [](double v) { return std::to_string(static_cast<std::int64_t>(v)); };
    if (a < 3600) {
        const auto minutes = static_cast<std::int64_t>(a / 60);
        return minutes == 0 ? "刚刚" : std::to_string(minutes) + "分钟前";
    }
    if (a < 86400) return whole(a / 3600) + "小时前";
    if (a < 2592000) return whole(a / 86400) + "天前";
    if (a < 31104000) return whole(a / 2592000) + "个月前";
    // Past the range of a 64-bit count the years saturate.
    const double years = a / 31104000;
    return (years >= 9.2e18 ? std::string("9223372036854775807") : whole(years)) + "年前";
}

Calendar::DateComponents componentCompare(Date date, Date from, const std::vector<Component>& unit) {
    return Calendar::current().dateComponents(unit, from, date);
}

std::optional<std::int64_t> numberOfDays(Date date, Date from) { return difference(date, from, Component::day); }
std::optional<std::int64_t> numberOfHours(Date date, Date from) { return difference(date, from, Component::hour); }
std::optional<std::int64_t> numberOfMinutes(Date date, Date from) { return difference(date, from, Component::minute); }
std::optional<std::int64_t> numberOfSeconds(Date date, Date from) { return difference(date, from, Component::second); }

}  // namespace QVToolbox
