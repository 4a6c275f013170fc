// The date helpers as members: static ones on HxPOP<platform::Date>, instance ones on
// hx(date) (DateHelpers.h holds the contracts):
//
//   HxPOP<platform::Date>::daysCount(2024, 2);   // 29
//   hx(platform::Date::now()).isToday();         // true
//
// Thread rule: the wrappers are values; members read the clock, calendar and time zone.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/data/DateHelpers.h>

#include <QVPlatform/base/Date.h>
#include <QVPlatform/foundation/Calendar.h>
#include <QVPlatform/foundation/DateFormatter.h>
#include <QVPlatform/foundation/Locale.h>
#include <QVPlatform/foundation/TimeZone.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

// The date helpers of DateHelpers.h as members of the date wrapper.
template <class W, class Base>
struct DateMembers {};

// Date helpers: static members of HxPOP<Date> and instance members of hx(date).
template <class W>
struct DateMembers<W, platform::Date> {
    using HxTimestampType = QVToolbox::HxTimestampType;
    using HxTimeBarType = QVToolbox::HxTimeBarType;
    using Component = platform::Calendar::Component;
    using Style = platform::DateFormatter::Style;

    static platform::Date currentDate() { return QVToolbox::currentDate(); }
    static platform::Date todayDate() { return QVToolbox::todayDate(); }
    static std::optional<platform::Date> yesterDayDate() { return QVToolbox::yesterDayDate(); }
    static std::optional<platform::Date> tomorrowDate() { return QVToolbox::tomorrowDate(); }
    static std::optional<platform::Date> theDayBeforYesterDayDate() { return QVToolbox::theDayBeforYesterDayDate(); }
    static std::optional<platform::Date> theDayAfterYesterDayDate() { return QVToolbox::theDayAfterYesterDayDate(); }
    static std::string secondStamp() { return QVToolbox::secondStamp(); }
    static std::string milliStamp() { return QVToolbox::milliStamp(); }
    static bool isTwelve() { return QVToolbox::isTwelve(); }
    static platform::Date timestampToFormatterDate(std::string_view timestamp) {
        return QVToolbox::timestampToFormatterDate(timestamp);
    }
    static std::string timestampToFormatterTimeString(std::string_view timestamp, std::string_view format) {
        return QVToolbox::timestampToFormatterTimeString(timestamp, format);
    }
    static platform::Date formatterTimeStringToDate(std::string_view timesString, std::string_view formatter) {
        return QVToolbox::formatterTimeStringToDate(timesString, formatter);
    }
    static std::string formatterTimeStringToTimestamp(std::string_view timesString, std::string_view formatter,
                                                      HxTimestampType timestampType) {
        return QVToolbox::formatterTimeStringToTimestamp(timesString, formatter, timestampType);
    }
    static std::string getFormatPlayTime(std::int64_t seconds, HxTimeBarType type) {
        return QVToolbox::getFormatPlayTime(seconds, type);
    }
    static std::optional<int> daysCount(std::int64_t year, std::int64_t month) { return QVToolbox::daysCount(year, month); }
    static int currentMonthDays() { return QVToolbox::currentMonthDays(); }

    std::int64_t year() const { return component(date(), Component::year); }
    std::int64_t month() const { return component(date(), Component::month); }
    std::int64_t day() const { return component(date(), Component::day); }
    std::int64_t hour() const { return component(date(), Component::hour); }
    std::int64_t minute() const { return component(date(), Component::minute); }
    std::int64_t second() const { return component(date(), Component::second); }
    std::int64_t nanosecond() const { return component(date(), Component::nanosecond); }
    std::string weekday() const { return QVToolbox::weekday(date()); }
    std::string monthAsString() const { return QVToolbox::monthAsString(date()); }
    std::string weekdayStringFromDate() const { return QVToolbox::weekdayStringFromDate(date()); }
    std::string weekdayString2FromDate() const { return QVToolbox::weekdayString2FromDate(date()); }
    bool isToday() const { return QVToolbox::isToday(date()); }
    bool isYesterday() const { return QVToolbox::isYesterday(date()); }
    bool isTheDayBeforeYesterday() const { return QVToolbox::isTheDayBeforeYesterday(date()); }
    bool isThisYear() const { return QVToolbox::isThisYear(date()); }
    bool isLeapYear() const { return QVToolbox::isLeapYear(date()); }
    bool isThisWeek() const { return QVToolbox::isThisWeek(date()); }
    bool isSameDay(platform::Date other) const { return QVToolbox::isSameDay(date(), other); }
    std::string toformatterTimeString(std::string_view formatter) const {
        return QVToolbox::toformatterTimeString(date(), formatter);
    }
    std::string dateToTimeStamp(HxTimestampType timestampType) const {
        return QVToolbox::dateToTimeStamp(date(), timestampType);
    }
    platform::Date dateFromGMT() const { return QVToolbox::dateFromGMT(date()); }
    std::string toFormatterLocalTimeString(std::string_view localIdentifier, std::string_view formatter,
                                           const platform::TimeZone& timeZone = platform::TimeZone::current()) const {
        return QVToolbox::toFormatterLocalTimeString(date(), localIdentifier, formatter, timeZone);
    }
    std::string toformatterLocalTimeString(const platform::Locale& locale, std::string_view formatter,
                                           const platform::TimeZone& timeZone = platform::TimeZone::current()) const {
        return QVToolbox::toformatterLocalTimeString(date(), locale, formatter, timeZone);
    }
    std::string toLocalDateFormatterStyleString(std::string_view localIdentifier, std::string_view formatter,
                                                Style dateStyle, Style timeStyle,
                                                const platform::TimeZone& timeZone = platform::TimeZone::current()) const {
        return QVToolbox::toLocalDateFormatterStyleString(date(), localIdentifier, formatter, dateStyle, timeStyle, timeZone);
    }
    std::string toLocalDateFormatterStyleString(const platform::Locale& locale, std::string_view formatter,
                                                Style dateStyle, Style timeStyle,
                                                const platform::TimeZone& timeZone = platform::TimeZone::current()) const {
        return QVToolbox::toLocalDateFormatterStyleString(date(), locale, formatter, dateStyle, timeStyle, timeZone);
    }
    std::string callTimeAfterNow() const { return QVToolbox::callTimeAfterNow(date()); }
    platform::Calendar::DateComponents componentCompare(platform::Date from, const std::vector<Component>& unit) const {
        return QVToolbox::componentCompare(date(), from, unit);
    }
    std::optional<std::int64_t> numberOfDays(platform::Date from) const { return QVToolbox::numberOfDays(date(), from); }
    std::optional<std::int64_t> numberOfHours(platform::Date from) const { return QVToolbox::numberOfHours(date(), from); }
    std::optional<std::int64_t> numberOfMinutes(platform::Date from) const {
        return QVToolbox::numberOfMinutes(date(), from);
    }
    std::optional<std::int64_t> numberOfSeconds(platform::Date from) const {
        return QVToolbox::numberOfSeconds(date(), from);
    }

private:
    platform::Date date() const { return static_cast<const W&>(*this).base; }
};

}  // namespace QVToolbox
