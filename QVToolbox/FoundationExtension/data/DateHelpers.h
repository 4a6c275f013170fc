// Date helpers: components, weekday and month names, Unix timestamps in seconds or
// milliseconds, formatted texts, relative texts ("3分钟前"), playback times and month lengths.
// Reached through the date wrapper: hx(date).isToday(), HxPOP<platform::Date>::secondStamp().
//
//   getFormatPlayTime(3725, HxTimeBarType::normal);             // "01:02:05"
//   callTimeAfterNow(Date::now().addingTimeInterval(-61));       // "1分钟前"
//   timestampToFormatterTimeString("1700000000", "yyyy-MM-dd");  // "2023-11-15" in Shanghai
//
// Calendar questions use the current calendar and time zone. `hx_formatter` is one shared
// formatter (locale "zh_Hans_CN", ISO 8601 calendar, the system time zone); the members that
// use it set its pattern first, under a lock, so they may be called from any thread. Every
// other function is safe on any thread.
#pragma once

#include <QVPlatform/foundation/Calendar.h>
#include <QVPlatform/base/Date.h>
#include <QVPlatform/foundation/DateFormatter.h>
#include <QVPlatform/foundation/Locale.h>
#include <QVPlatform/foundation/TimeZone.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

enum class HxTimestampType : int { second = 0, millisecond = 1 };
// The case with this raw value, or absent.
std::optional<HxTimestampType> timestampTypeFromRawValue(int rawValue);

enum class HxTimeBarType { normal, second, minute, hour };

// Runs `use` with the shared formatter `hx_formatter` while holding its lock. Settings made
// inside stay for later users (members set the pattern they need each time).
void withHxFormatter(const std::function<void(platform::DateFormatter&)>& use);

// Static members -------------------------------------------------------------------------

platform::Date currentDate();
// The instant of the first call in the process; every later call returns it again.
platform::Date todayDate();
std::optional<platform::Date> yesterDayDate();             // now − 1 day
std::optional<platform::Date> tomorrowDate();              // now + 1 day
std::optional<platform::Date> theDayBeforYesterDayDate();  // now − 2 days
std::optional<platform::Date> theDayAfterYesterDayDate();  // now + 2 days
// Now as whole seconds since 1970 (truncated) / milliseconds (rounded), as decimal text.
std::string secondStamp();
std::string milliStamp();
// True when the current locale's hour pattern (template "j") uses a day period ("a").
bool isTwelve();

// A 10-character text counts seconds, a 13-character one milliseconds (dropped); any other
// length or a text that is not a number gives now.
platform::Date timestampToFormatterDate(std::string_view timestamp);
std::string timestampToFormatterTimeString(std::string_view timestamp, std::string_view format);
// Parses with hx_formatter; now when the text does not match the pattern.
platform::Date formatterTimeStringToDate(std::string_view timesString, std::string_view formatter);
// Seconds (or milliseconds, not rounded) since 1970 of the parsed text, truncated, as decimal
// text; empty when the text does not match.
std::string formatterTimeStringToTimestamp(std::string_view timesString, std::string_view formatter,
                                           HxTimestampType timestampType);
// "00:00" under one second; otherwise the layout of `type` ("45", "02:05", "01:02:05").
std::string getFormatPlayTime(std::int64_t seconds, HxTimeBarType type);

// Days in the month. A month outside 1–12 answers absent and hands "非法的月份:" followed by
// the month (e.g. "非法的月份:13") to the debug channel.
std::optional<int> daysCount(std::int64_t year, std::int64_t month);
int currentMonthDays();

// Instance members ------------------------------------------------------------------------

std::int64_t component(platform::Date date, platform::Calendar::Component c);  // current calendar
std::string weekday(platform::Date date);       // hx_formatter "EEEE": "星期三"
std::string monthAsString(platform::Date date); // hx_formatter "MMMM": "十一月"
// "星期日" … "星期六" / "周日" … "周六", Gregorian calendar in Asia/Shanghai.
std::string weekdayStringFromDate(platform::Date date);
std::string weekdayString2FromDate(platform::Date date);
bool isToday(platform::Date date);
bool isYesterday(platform::Date date);
bool isTheDayBeforeYesterday(platform::Date date);
bool isThisYear(platform::Date date);
bool isLeapYear(platform::Date date);
// True when the date's year, month and weekday number all equal now's.
bool isThisWeek(platform::Date date);
bool isSameDay(platform::Date date, platform::Date other);
// hx_formatter, switched to the automatically updating current time zone (and left so).
std::string toformatterTimeString(platform::Date date, std::string_view formatter);
std::string dateToTimeStamp(platform::Date date, HxTimestampType timestampType);
// The date moved by the current zone's offset from GMT at that date.
platform::Date dateFromGMT(platform::Date date);
// A new formatter: zone, pattern from the template (resolved in the current locale), then
// the locale.
std::string toFormatterLocalTimeString(platform::Date date, std::string_view localIdentifier,
                                       std::string_view formatter, const platform::TimeZone& timeZone);
std::string toformatterLocalTimeString(platform::Date date, const platform::Locale& locale,
                                       std::string_view formatter, const platform::TimeZone& timeZone);
// As above, with the date and time styles set before the template (the template decides).
std::string toLocalDateFormatterStyleString(platform::Date date, std::string_view localIdentifier,
                                            std::string_view formatter, platform::DateFormatter::Style dateStyle,
                                            platform::DateFormatter::Style timeStyle,
                                            const platform::TimeZone& timeZone);
std::string toLocalDateFormatterStyleString(platform::Date date, const platform::Locale& locale,
                                            std::string_view formatter, platform::DateFormatter::Style dateStyle,
                                            platform::DateFormatter::Style timeStyle,
                                            const platform::TimeZone& timeZone);
// "刚刚" for the future and under a minute, then 分钟前 / 小时前 / 天前 / 个月前 (30 days) /
// 年前 (360 days).
std::string callTimeAfterNow(platform::Date date);
platform::Calendar::DateComponents componentCompare(platform::Date date, platform::Date from,
                                                    const std::vector<platform::Calendar::Component>& unit);
std::optional<std::int64_t> numberOfDays(platform::Date date, platform::Date from);
std::optional<std::int64_t> numberOfHours(platform::Date date, platform::Date from);
std::optional<std::int64_t> numberOfMinutes(platform::Date date, platform::Date from);
std::optional<std::int64_t> numberOfSeconds(platform::Date date, platform::Date from);

}  // namespace QVToolbox
