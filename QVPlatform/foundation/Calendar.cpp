#include <QVPlatform/foundation/Calendar.h>

#include <QVPlatform/foundation/detail/IcuBridge.h>

#include <unicode/calendar.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

const char* detail::calendarKeyword(Calendar::Identifier id) {
    switch (id) {
        case Calendar::Identifier::gregorian: return "gregorian";
        case Calendar::Identifier::iso8601: return "iso8601";
        case Calendar::Identifier::buddhist: return "buddhist";
        case Calendar::Identifier::japanese: return "japanese";
        case Calendar::Identifier::republicOfChina: return "roc";
        case Calendar::Identifier::islamicCivil: return "islamic-civil";
        case Calendar::Identifier::hebrew: return "hebrew";
        case Calendar::Identifier::chinese: return "chinese";
    }
    return "gregorian";
}

namespace {

// The ICU field of a component; quarter and nanosecond have none.
std::optional<UCalendarDateFields> fieldOf(Calendar::Component c) {
    using C = Calendar::Component;
    switch (c) {
        case C::era: return UCAL_ERA;
        case C::year: return UCAL_YEAR;
        case C::month: return UCAL_MONTH;
        case C::day: return UCAL_DATE;
        case C::hour: return UCAL_HOUR_OF_DAY;
        case C::minute: return UCAL_MINUTE;
        case C::second: return UCAL_SECOND;
        case C::weekday: return UCAL_DAY_OF_WEEK;
        case C::weekdayOrdinal: return UCAL_DAY_OF_WEEK_IN_MONTH;
        case C::weekOfMonth: return UCAL_WEEK_OF_MONTH;
        case C::weekOfYear: return UCAL_WEEK_OF_YEAR;
        case C::yearForWeekOfYear: return UCAL_YEAR_WOY;
        case C::quarter:
        case C::nanosecond: return std::nullopt;
    }
    return std::nullopt;
}

// Components from the largest unit to the smallest: the order of adding and of differences.
constexpr Calendar::Component kBySize[] = {
    Calendar::Component::era,        Calendar::Component::year,    Calendar::Component::yearForWeekOfYear,
    Calendar::Component::quarter,    Calendar::Component::month,   Calendar::Component::weekOfYear,
    Calendar::Component::weekOfMonth, Calendar::Component::weekdayOrdinal, Calendar::Component::day,
    Calendar::Component::weekday,    Calendar::Component::hour,    Calendar::Component::minute,
    Calendar::Component::second,     Calendar::Component::nanosecond};

}  // namespace

// Builds the ICU calendar for a Calendar value.
struct CalendarAccess {
    static std::unique_ptr<icu::Calendar> make(const Calendar& cal) {
        icu::Locale locale = detail::makeIcuLocale(cal.locale_);
        UErrorCode status = U_ZERO_ERROR;
        locale.setKeywordValue("calendar", detail::calendarKeyword(cal.identifier_), status);
        status = U_ZERO_ERROR;
        std::unique_ptr<icu::Calendar> icuCal(icu::Calendar::createInstance(detail::makeIcuZone(cal.timeZone_).release(), locale, status));
        if (U_FAILURE(status) || !icuCal) return nullptr;
        if (cal.identifier_ == Calendar::Identifier::iso8601 && !cal.firstWeekday_) icuCal->setFirstDayOfWeek(UCAL_MONDAY);
        if (cal.identifier_ == Calendar::Identifier::iso8601 && !cal.minimumDays_) icuCal->setMinimalDaysInFirstWeek(4);
        if (cal.firstWeekday_) icuCal->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(*cal.firstWeekday_));
        if (cal.minimumDays_) icuCal->setMinimalDaysInFirstWeek(static_cast<uint8_t>(*cal.minimumDays_));
        return icuCal;
    }
};

std::optional<std::int64_t> Calendar::DateComponents::value(Component c) const {
    switch (c) {
        case Component::era: return era;
        case Component::year: return year;
        case Component::month: return month;
        case Component::day: return day;
        case Component::hour: return hour;
        case Component::minute: return minute;
        case Component::second: return second;
        case Component::nanosecond: return nanosecond;
        case Component::weekday: return weekday;
        case Component::weekdayOrdinal: return weekdayOrdinal;
        case Component::quarter: return quarter;
        case Component::weekOfMonth: return weekOfMonth;
        case Component::weekOfYear: return weekOfYear;
        case Component::yearForWeekOfYear: return yearForWeekOfYear;
    }
    return std::nullopt;
}

void Calendar::DateComponents::setValue(Component c, std::optional<std::int64_t> v) {
    switch (c) {
        case Component::era: era = v; break;
        case Component::year: year = v; break;
        case Component::month: month = v; break;
        case Component::day: day = v; break;
        case Component::hour: hour = v; break;
        case Component::minute: minute = v; break;
        case Component::second: second = v; break;
        case Component::nanosecond: nanosecond = v; break;
        case Component::weekday: weekday = v; break;
        case Component::weekdayOrdinal: weekdayOrdinal = v; break;
        case Component::quarter: quarter = v; break;
        case Component::weekOfMonth: weekOfMonth = v; break;
        case Component::weekOfYear: weekOfYear = v; break;
        case Component::yearForWeekOfYear: yearForWeekOfYear = v; break;
    }
}

Calendar::Calendar(Identifier identifier)
    : identifier_(identifier), timeZone_(TimeZone::current()), locale_(Locale::current()) {}

Calendar Calendar::current() { return Calendar(Identifier::gregorian); }

int Calendar::firstWeekday() const {
    if (firstWeekday_) return *firstWeekday_;
    auto cal = CalendarAccess::make(*this);
    return cal ? static_cast<int>(cal->getFirstDayOfWeek()) : 1;
}

int Calendar::minimumDaysInFirstWeek() const {
    if (minimumDays_) return *minimumDays_;
    auto cal = CalendarAccess::make(*this);
    return cal ? cal->getMinimalDaysInFirstWeek() : 1;
}

std::int64_t Calendar::component(Component c, Date date) const {
    return dateComponents({c}, date).value(c).value_or(0);
}

Calendar::DateComponents Calendar::dateComponents(std::initializer_list<Component> components, Date date) const {
    return dateComponents(std::vector<Component>(components), date);
}

Calendar::DateComponents Calendar::dateComponents(const std::vector<Component>& components, Date date) const {
    DateComponents result;
    auto cal = CalendarAccess::make(*this);
    if (!cal || !std::isfinite(date.timeIntervalSince1970())) return result;
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(detail::toUDate(date), status);
    if (U_FAILURE(status)) return result;
    for (Component c : components) {
        std::optional<std::int64_t> v;
        if (c == Component::nanosecond) {
            const double s = date.timeIntervalSince1970();
            v = std::min<std::int64_t>(999'999'999, std::llround((s - std::floor(s)) * 1e9));
        } else if (c == Component::quarter) {
            status = U_ZERO_ERROR;
            const int32_t month = cal->get(UCAL_MONTH, status);
            if (U_SUCCESS(status)) v = month / 3 + 1;
        } else {
            status = U_ZERO_ERROR;
            const int32_t raw = cal->get(*fieldOf(c), status);
            if (U_SUCCESS(status)) v = c == Component::month ? raw + 1 : raw;
        }
        result.setValue(c, v);
    }
    return result;
}

Calendar::DateComponents Calendar::dateComponents(const std::vector<Component>& components, Date from, Date to) const {
    DateComponents result;
    auto cal = CalendarAccess::make(*this);
    if (!cal) return result;
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(detail::toUDate(from), status);
    const UDate target = detail::toUDate(to);
    for (Component c : kBySize) {
        if (std::find(components.begin(), components.end(), c) == components.end()) continue;
        if (c == Component::nanosecond) {
            status = U_ZERO_ERROR;
            const double reached = cal->getTime(status) / 1000.0;
            result.nanosecond = std::llround((to.timeIntervalSince1970() - reached) * 1e9);
            continue;
        }
        if (c == Component::quarter) {
            status = U_ZERO_ERROR;
            const int32_t months = cal->fieldDifference(target, UCAL_MONTH, status);
            // Only whole quarters are consumed; step back the months beyond them.
            const int32_t quarters = months / 3;
            status = U_ZERO_ERROR;
            cal->add(UCAL_MONTH, -(months - quarters * 3), status);
            result.quarter = quarters;
            continue;
        }
        const auto field = c == Component::weekday ? UCAL_DATE : *fieldOf(c);
        status = U_ZERO_ERROR;
        const int32_t n = cal->fieldDifference(target, field, status);
        if (U_SUCCESS(status)) result.setValue(c, n);
    }
    return result;
}

std::optional<Date> Calendar::date(const DateComponents& components) const {
    auto cal = CalendarAccess::make(*this);
    if (!cal) return std::nullopt;
    cal->clear();
    if (!components.year && !components.yearForWeekOfYear) cal->set(UCAL_YEAR, 1);
    for (Component c : kBySize) {
        const auto v = components.value(c);
        if (!v || c == Component::nanosecond || c == Component::quarter) continue;
        if (*v < std::numeric_limits<int32_t>::min() + 1 || *v > std::numeric_limits<int32_t>::max()) return std::nullopt;
        const auto value = static_cast<int32_t>(c == Component::month ? *v - 1 : *v);
        cal->set(*fieldOf(c), value);
    }
    UErrorCode status = U_ZERO_ERROR;
    const UDate millis = cal->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    Date result = detail::fromUDate(millis);
    if (components.nanosecond) result = result.addingTimeInterval(static_cast<double>(*components.nanosecond) / 1e9);
    return result;
}

std::optional<Date> Calendar::date(const DateComponents& byAdding, Date to) const {
    auto cal = CalendarAccess::make(*this);
    if (!cal || !std::isfinite(to.timeIntervalSince1970())) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    // Whole milliseconds through ICU; the sub-millisecond rest is carried over unchanged.
    const double millis = detail::toUDate(to);
    const double whole = std::floor(millis);
    cal->setTime(whole, status);
    for (Component c : kBySize) {
        const auto v = byAdding.value(c);
        if (!v || *v == 0 || c == Component::nanosecond) continue;
        std::int64_t amount = *v;
        UCalendarDateFields field = UCAL_MONTH;
        if (c == Component::quarter) {
            amount *= 3;
        } else {
            field = c == Component::weekday ? UCAL_DATE : *fieldOf(c);
        }
        if (amount < std::numeric_limits<int32_t>::min() || amount > std::numeric_limits<int32_t>::max()) return std::nullopt;
        cal->add(field, static_cast<int32_t>(amount), status);
        if (U_FAILURE(status)) return std::nullopt;
    }
    const UDate moved = cal->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    Date result((moved + (millis - whole)) / 1000.0);
    if (byAdding.nanosecond) result = result.addingTimeInterval(static_cast<double>(*byAdding.nanosecond) / 1e9);
    return result;
}

std::optional<Date> Calendar::date(Component byAdding, std::int64_t value, Date to) const {
    DateComponents components;
    components.setValue(byAdding, value);
    return date(components, to);
}

Date Calendar::startOfDay(Date date) const {
    auto cal = CalendarAccess::make(*this);
    if (!cal) return date;
    UErrorCode status = U_ZERO_ERROR;
    cal->setTime(detail::toUDate(date), status);
    cal->set(UCAL_HOUR_OF_DAY, 0);
    cal->set(UCAL_MINUTE, 0);
    cal->set(UCAL_SECOND, 0);
    cal->set(UCAL_MILLISECOND, 0);
    const UDate start = cal->getTime(status);
    return U_FAILURE(status) ? date : detail::fromUDate(start);
}

bool Calendar::isDate(Date a, Date inSameDayAs) const {
    const std::vector<Component> day{Component::era, Component::year, Component::month, Component::day};
    const auto x = dateComponents(day, a);
    const auto y = dateComponents(day, inSameDayAs);
    return x.year && y.year && x.era == y.era && x.year == y.year && x.month == y.month && x.day == y.day;
}

bool Calendar::isDateInToday(Date date) const { return isDate(date, Date::now()); }

bool Calendar::isDateInYesterday(Date date) const {
    const auto yesterday = this->date(Component::day, -1, Date::now());
    return yesterday && isDate(date, *yesterday);
}

bool Calendar::isDateInTomorrow(Date date) const {
    const auto tomorrow = this->date(Component::day, 1, Date::now());
    return tomorrow && isDate(date, *tomorrow);
}

}  // namespace platform
