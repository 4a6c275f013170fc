#include <QVPlatform/foundation/Calendar.h>
#include <QVPlatform/foundation/TimeZone.h>
#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>

#include <gtest/gtest.h>

using namespace platform;
using C = Calendar::Component;

namespace {

Calendar in(const char* zone) {
    Calendar cal(Calendar::Identifier::gregorian);
    cal.setTimeZone(*TimeZone::named(zone));
    return cal;
}

// 2024-03-10 06:30:00 UTC: 01:30 EST, half an hour before New York's clocks go forward.
constexpr double kBeforeSpringForward = 1710052200;

}  // namespace

TEST(TimeZone, NamedZonesOffsetsAndDaylightSaving) {
    EXPECT_FALSE(TimeZone::named("Mars/Olympus"));
    EXPECT_FALSE(TimeZone::named(""));
    auto ny = TimeZone::named("America/New_York");
    ASSERT_TRUE(ny);
    EXPECT_EQ(ny->identifier(), "America/New_York");
    EXPECT_EQ(ny->secondsFromGMT(Date(kBeforeSpringForward)), -5 * 3600);
    EXPECT_FALSE(ny->isDaylightSavingTime(Date(kBeforeSpringForward)));
    EXPECT_EQ(ny->secondsFromGMT(Date(kBeforeSpringForward + 3600)), -4 * 3600);
    EXPECT_EQ(ny->daylightSavingTimeOffset(Date(kBeforeSpringForward + 3600)), 3600.0);
    EXPECT_EQ(TimeZone::named("Asia/Shanghai")->secondsFromGMT(Date(0)), 8 * 3600);
    EXPECT_EQ(TimeZone::forSecondsFromGMT(5 * 3600 + 1800)->secondsFromGMT(Date(0)), 19800);
    EXPECT_FALSE(TimeZone::forSecondsFromGMT(20 * 3600));
}

TEST(TimeZone, DefaultAndAutoupdatingCurrent) {
    const auto updating = TimeZone::autoupdatingCurrent();
    TimeZone::setDefault(TimeZone::named("Europe/Paris"));
    EXPECT_EQ(TimeZone::current().identifier(), "Europe/Paris");
    EXPECT_EQ(updating.identifier(), "Europe/Paris");
    TimeZone::setDefault(TimeZone::named("Asia/Tokyo"));
    EXPECT_EQ(updating.identifier(), "Asia/Tokyo");  // follows the change
    EXPECT_EQ(Calendar::current().timeZone().identifier(), "Asia/Tokyo");
    TimeZone::setDefault(std::nullopt);
    EXPECT_EQ(TimeZone::current(), TimeZone::system());
}

TEST(Calendar, ComponentsInTheCalendarsZone) {
    const Date epoch(0);
    EXPECT_EQ(in("Asia/Shanghai").component(C::hour, epoch), 8);
    EXPECT_EQ(in("America/Los_Angeles").component(C::day, epoch), 31);  // still 1969-12-31 there
    EXPECT_EQ(in("America/Los_Angeles").component(C::year, epoch), 1969);
    const auto parts = in("UTC").dateComponents({C::year, C::month, C::day, C::weekday, C::quarter, C::nanosecond},
                                                Date(1700000000.25));
    EXPECT_EQ(parts.year, 2023);
    EXPECT_EQ(parts.month, 11);
    EXPECT_EQ(parts.day, 14);
    EXPECT_EQ(parts.weekday, 3);  // Tuesday
    EXPECT_EQ(parts.quarter, 4);
    EXPECT_EQ(parts.nanosecond, 250000000);
    EXPECT_FALSE(parts.hour);  // not asked for
    // ISO 8601: weeks start on Monday, week 1 holds the first Thursday.
    Calendar iso(Calendar::Identifier::iso8601);
    iso.setTimeZone(TimeZone::gmt());
    EXPECT_EQ(iso.firstWeekday(), 2);
    EXPECT_EQ(iso.component(C::weekOfYear, Date(1704067200)), 1);  // Monday 2024-01-01
    EXPECT_EQ(iso.component(C::weekOfYear, Date(1672531200)), 52);  // Sunday 2023-01-01
}

TEST(Calendar, AddingAcrossDaylightSavingKeepsTheWallClock) {
    const Calendar ny = in("America/New_York");
    // One day after 01:30 on the day clocks spring forward is 01:30 the next day: 23 hours.
    const auto next = ny.date(C::day, 1, Date(kBeforeSpringForward));
    ASSERT_TRUE(next);
    EXPECT_EQ(next->timeIntervalSince(Date(kBeforeSpringForward)), 23 * 3600);
    EXPECT_EQ(ny.component(C::hour, *next), 1);
    // 24 hours later is the same day in UTC.
    EXPECT_EQ(in("UTC").date(C::day, 1, Date(kBeforeSpringForward))->timeIntervalSince(Date(kBeforeSpringForward)), 86400);
    // Jan 31 + 1 month clamps to the end of February.
    const auto jan31 = in("UTC").date({.year = 2024, .month = 1, .day = 31});
    ASSERT_TRUE(jan31);
    const auto feb = in("UTC").date(C::month, 1, *jan31);
    EXPECT_EQ(in("UTC").component(C::day, *feb), 29);
    EXPECT_FALSE(in("UTC").date(C::day, std::int64_t{1} << 40, *jan31));
}

TEST(Calendar, SameDayAndDifferences) {
    const Calendar sh = in("Asia/Shanghai");
    // 15:59:59 UTC and 16:00:00 UTC are different days in Shanghai (23:59:59 and 00:00).
    EXPECT_FALSE(sh.isDate(Date(1700063999), Date(1700064000)));
    EXPECT_TRUE(in("UTC").isDate(Date(1700063999), Date(1700064000)));
    EXPECT_EQ(sh.startOfDay(Date(1700064000 + 3600)).timeIntervalSince1970(), 1700064000);
    const auto diff = sh.dateComponents({C::day, C::hour, C::minute}, Date(0), Date(2 * 86400 + 3 * 3600 + 60 + 5));
    EXPECT_EQ(diff.day, 2);
    EXPECT_EQ(diff.hour, 3);
    EXPECT_EQ(diff.minute, 1);
    EXPECT_EQ(sh.dateComponents({C::day}, Date(86400 * 3), Date(0)).day, -3);
    ManualClock::start(1700000000);
    EXPECT_TRUE(sh.isDateInToday(Date(1700000000 - 3600)));
    EXPECT_TRUE(sh.isDateInYesterday(Date(1700000000 - 86400)));
    EXPECT_TRUE(sh.isDateInTomorrow(Date(1700000000 + 86400)));
}
