// Calendar: dates broken into components (year, month, day, hour ...) in a calendar system
// and time zone, on ICU.
//
//   Calendar cal(Calendar::Identifier::gregorian);
//   cal.setTimeZone(*TimeZone::named("Asia/Shanghai"));
//   cal.component(Calendar::Component::hour, Date(0));   // 8 (1970-01-01 08:00 in Shanghai)
//
// `current()` is the Gregorian calendar in the current time zone and locale at the time of the
// call. Adding components goes from the largest unit to the smallest, clamping the day to the
// month's length (Jan 31 + 1 month = Feb 28/29), as the platform's calendars do.
// Thread rule: a value type; copies may be used on different threads.
#pragma once

#include <QVPlatform/base/Date.h>
#include <QVPlatform/foundation/Locale.h>
#include <QVPlatform/foundation/TimeZone.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class Calendar {
public:
    enum class Identifier { gregorian, iso8601, buddhist, japanese, republicOfChina, islamicCivil, hebrew, chinese };
    enum class Component {
        era, year, month, day, hour, minute, second, nanosecond,
        weekday, weekdayOrdinal, quarter, weekOfMonth, weekOfYear, yearForWeekOfYear
    };

    // A set of components; each field absent unless asked for or set.
    struct DateComponents {
        std::optional<std::int64_t> era, year, month, day, hour, minute, second, nanosecond, weekday,
            weekdayOrdinal, quarter, weekOfMonth, weekOfYear, yearForWeekOfYear;
        std::optional<std::int64_t> value(Component c) const;
        void setValue(Component c, std::optional<std::int64_t> v);
    };

    explicit Calendar(Identifier identifier);
    static Calendar current();

    Identifier identifier() const { return identifier_; }
    const TimeZone& timeZone() const { return timeZone_; }
    void setTimeZone(TimeZone zone) { timeZone_ = std::move(zone); }
    const Locale& locale() const { return locale_; }
    void setLocale(Locale locale) { locale_ = std::move(locale); }
    // 1 = Sunday ... 7 = Saturday; absent means the calendar's / locale's own rule.
    int firstWeekday() const;
    void setFirstWeekday(int weekday) { firstWeekday_ = weekday; }
    int minimumDaysInFirstWeek() const;
    void setMinimumDaysInFirstWeek(int days) { minimumDays_ = days; }

    // One component of the date (weekday: 1 = Sunday; month: 1 = January).
    std::int64_t component(Component c, Date date) const;
    DateComponents dateComponents(std::initializer_list<Component> components, Date date) const;
    DateComponents dateComponents(const std::vector<Component>& components, Date date) const;
    // The difference from `from` to `to`, each asked component in turn from the largest; the
    // parts are negative when `to` is earlier.
    DateComponents dateComponents(const std::vector<Component>& components, Date from, Date to) const;

    // The date the components name (missing fields take their smallest value); absent when
    // they name no date.
    std::optional<Date> date(const DateComponents& components) const;
    // The date moved by the components; absent when the result is out of the calendar's range.
    std::optional<Date> date(const DateComponents& byAdding, Date to) const;
    std::optional<Date> date(Component byAdding, std::int64_t value, Date to) const;

    Date startOfDay(Date date) const;
    bool isDate(Date a, Date inSameDayAs) const;
    bool isDateInToday(Date date) const;
    bool isDateInYesterday(Date date) const;
    bool isDateInTomorrow(Date date) const;

private:
    friend struct CalendarAccess;
    Identifier identifier_;
    TimeZone timeZone_;
    Locale locale_;
    std::optional<int> firstWeekday_;
    std::optional<int> minimumDays_;
};

}  // namespace platform
