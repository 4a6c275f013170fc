#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/base/Debug.h>

#include <gtest/gtest.h>

using namespace QVToolbox;
using platform::Clock;
using platform::ManualClock;
using platform::Date;
using platform::TimeZone;
using Dates = HxPOP<Date>;

namespace {

// Every test here runs with the current zone, and hx_formatter's, set explicitly.
class DateHelpers : public ::testing::Test {
protected:
    void SetUp() override { useZone("Asia/Shanghai"); }
    void TearDown() override { TimeZone::setDefault(std::nullopt); }
    static void useZone(const char* zone) {
        TimeZone::setDefault(TimeZone::named(zone));
        withHxFormatter([&](platform::DateFormatter& f) { f.setTimeZone(*TimeZone::named(zone)); });
    }
};

// The manual clock starts at 1700000000: 2023-11-15 06:13:20 in Shanghai, a Wednesday,
// and 2023-11-14 17:13:20 in New York.
constexpr double kNow = 1700000000;

}  // namespace

TEST_F(DateHelpers, TimestampTextsOfTenAndThirteenCharacters) {
    EXPECT_EQ(Dates::timestampToFormatterDate("1700000000"), Date(1700000000));
    EXPECT_EQ(Dates::timestampToFormatterDate("1700000000999"), Date(1700000000));  // milliseconds dropped
    EXPECT_EQ(Dates::timestampToFormatterDate("17000000009"), Date(kNow));           // 11 characters: now
    EXPECT_EQ(Dates::timestampToFormatterDate("17000000a0"), Date(kNow));
    EXPECT_EQ(Dates::timestampToFormatterDate("-170000000"), Date(-170000000));
    EXPECT_EQ(Dates::timestampToFormatterTimeString("1700000000", "yyyy-MM-dd HH:mm:ss"), "2023-11-15 06:13:20");
    EXPECT_EQ(Dates::formatterTimeStringToTimestamp("2023-11-15 06:13:20", "yyyy-MM-dd HH:mm:ss", HxTimestampType::second),
              "1700000000");
    EXPECT_EQ(Dates::formatterTimeStringToTimestamp("2023-11-15 06:13:20", "yyyy-MM-dd HH:mm:ss",
                                                    HxTimestampType::millisecond),
              "1700000000000");
    EXPECT_EQ(Dates::formatterTimeStringToTimestamp("15/11/2023", "yyyy-MM-dd", HxTimestampType::second), "");
    EXPECT_EQ(Dates::formatterTimeStringToDate("nonsense", "yyyy"), Date(kNow));
    EXPECT_EQ(Dates::formatterTimeStringToDate("1970-01-01", "yyyy-MM-dd"), Date(-8 * 3600));
    EXPECT_EQ(hx(Date(1.0006)).dateToTimeStamp(HxTimestampType::millisecond), "1001");  // rounds
    EXPECT_EQ(hx(Date(1.9)).dateToTimeStamp(HxTimestampType::second), "1");             // truncates
    EXPECT_EQ(timestampTypeFromRawValue(1), HxTimestampType::millisecond);
    EXPECT_FALSE(timestampTypeFromRawValue(2));
    ManualClock::start(1700000000.4996);
    EXPECT_EQ(Dates::secondStamp(), "1700000000");
    EXPECT_EQ(Dates::milliStamp(), "1700000000500");
}

TEST_F(DateHelpers, ZonesAndDaylightSaving) {
    const Date sevenHoursAgo(kNow - 7 * 3600);  // 23:13 the day before in Shanghai
    EXPECT_TRUE(hx(sevenHoursAgo).isYesterday());
    EXPECT_FALSE(hx(sevenHoursAgo).isToday());
    EXPECT_TRUE(hx(Date(kNow - 31 * 3600)).isTheDayBeforeYesterday());
    EXPECT_EQ(hx(Date(kNow)).dateFromGMT(), Date(kNow + 8 * 3600));
    useZone("America/New_York");
    EXPECT_TRUE(hx(sevenHoursAgo).isToday());
    EXPECT_EQ(hx(Date(kNow)).day(), 14);
    EXPECT_EQ(hx(Date(kNow)).hour(), 17);
    EXPECT_EQ(hx(Date(kNow)).dateFromGMT(), Date(kNow - 5 * 3600));
    // Across the spring change (2024-03-10 02:00 EST -> 03:00 EDT): the formatter shows the
    // wall clock of each side, and a local text parses back to the right instant.
    EXPECT_EQ(hx(Date(1710052200)).toformatterTimeString("HH:mm"), "01:30");
    EXPECT_EQ(hx(Date(1710052200 + 3600)).toformatterTimeString("HH:mm"), "03:30");
    EXPECT_EQ(Dates::formatterTimeStringToTimestamp("2024-03-10 03:30", "yyyy-MM-dd HH:mm", HxTimestampType::second),
              "1710055800");
    EXPECT_EQ(hx(Date(1710052200 + 3600)).dateFromGMT(), Date(1710052200 + 3600 - 4 * 3600));
    EXPECT_EQ(hx(Date(1710052200)).numberOfHours(Date(1710052200 - 86400)), 24);
    // The weekday tables always use Shanghai: Tuesday evening in New York is Wednesday there.
    EXPECT_EQ(hx(Date(kNow)).weekdayStringFromDate(), "星期三");
    EXPECT_EQ(hx(Date(kNow)).weekdayString2FromDate(), "周三");
    EXPECT_EQ(hx(Date(kNow)).weekday(), "星期二");
}

TEST_F(DateHelpers, NamesComponentsAndComparisons) {
    const Date now(kNow);
    EXPECT_EQ(hx(now).weekday(), "星期三");
    EXPECT_EQ(hx(now).monthAsString(), "十一月");
    EXPECT_EQ(hx(now).year(), 2023);
    EXPECT_EQ(hx(now).month(), 11);
    EXPECT_EQ(hx(now).minute(), 13);
    EXPECT_EQ(hx(Date(kNow + 0.25)).nanosecond(), 250000000);
    EXPECT_TRUE(hx(now).isThisYear());
    EXPECT_FALSE(hx(now).isLeapYear());
    EXPECT_TRUE(hx(Date(1709251200)).isLeapYear());  // 2024-03-01
    EXPECT_TRUE(hx(now).isThisWeek());
    EXPECT_TRUE(hx(Date(kNow - 7 * 86400)).isThisWeek());  // same month and weekday: the rule's answer
    EXPECT_FALSE(hx(Date(kNow - 86400)).isThisWeek());
    EXPECT_TRUE(hx(now).isSameDay(Date(kNow + 3600)));
    EXPECT_FALSE(hx(now).isSameDay(Date(kNow + 18 * 3600)));
    EXPECT_EQ(hx(now).numberOfDays(Date(kNow - 3 * 86400 - 5)), 3);
    EXPECT_EQ(hx(now).numberOfMinutes(Date(kNow + 120)), -2);
    EXPECT_EQ(hx(now).numberOfSeconds(Date(kNow - 61)), 61);
    const auto parts = hx(now).componentCompare(Date(kNow - 90061), {Dates::Component::day, Dates::Component::hour,
                                                                      Dates::Component::minute, Dates::Component::second});
    EXPECT_EQ(parts.day, 1);
    EXPECT_EQ(parts.hour, 1);
    EXPECT_EQ(parts.minute, 1);
    EXPECT_EQ(parts.second, 1);
    EXPECT_EQ(Dates::yesterDayDate(), Date(kNow - 86400));
    EXPECT_EQ(Dates::theDayAfterYesterDayDate(), Date(kNow + 2 * 86400));
    EXPECT_EQ(hx(now).toFormatterLocalTimeString("zh_Hans_CN", "MMMM", *TimeZone::named("UTC")), "十一月");
    EXPECT_EQ(hx(now).toformatterLocalTimeString(platform::Locale("en_US"), "HH", *TimeZone::named("UTC")), "22");
    EXPECT_EQ(hx(now).toLocalDateFormatterStyleString("en_US", "HH", platform::DateFormatter::Style::short_,
                                                      platform::DateFormatter::Style::full, *TimeZone::named("UTC")),
              "22");
}

TEST_F(DateHelpers, TodayIsFixedAtItsFirstRead) {
    const Date first = Dates::todayDate();
    ManualClock::advance(3600);
    EXPECT_EQ(Dates::todayDate(), first);
    EXPECT_EQ(Dates::currentDate().timeIntervalSince(Date::now()), 0);
}

TEST_F(DateHelpers, RelativeTimeBoundaries) {
    const auto ago = [](double seconds) { return hx(Date(kNow - seconds)).callTimeAfterNow(); };
    EXPECT_EQ(ago(-60), "刚刚");
    EXPECT_EQ(ago(0), "刚刚");
    EXPECT_EQ(ago(59), "刚刚");
    EXPECT_EQ(ago(61), "1分钟前");
    EXPECT_EQ(ago(3599), "59分钟前");
    EXPECT_EQ(ago(3600), "1小时前");
    EXPECT_EQ(ago(86399), "23小时前");
    EXPECT_EQ(ago(86400), "1天前");
    EXPECT_EQ(ago(2591999), "29天前");
    EXPECT_EQ(ago(2592000), "1个月前");
    EXPECT_EQ(ago(45 * 86400), "1个月前");
    EXPECT_EQ(ago(31103999), "11个月前");
    EXPECT_EQ(ago(31104000), "1年前");
    EXPECT_EQ(ago(1e300), "9223372036854775807年前");
}

TEST_F(DateHelpers, PlayTimesAndMonthLengths) {
    using T = HxTimeBarType;
    EXPECT_EQ(Dates::getFormatPlayTime(0, T::hour), "00:00");
    EXPECT_EQ(Dates::getFormatPlayTime(-5, T::second), "00:00");
    EXPECT_EQ(Dates::getFormatPlayTime(45, T::normal), "45");
    EXPECT_EQ(Dates::getFormatPlayTime(125, T::normal), "02:05");
    EXPECT_EQ(Dates::getFormatPlayTime(3725, T::normal), "01:02:05");
    EXPECT_EQ(Dates::getFormatPlayTime(3725, T::minute), "62:05");
    EXPECT_EQ(Dates::getFormatPlayTime(125, T::hour), "00:02:05");
    EXPECT_EQ(Dates::getFormatPlayTime(7, T::second), "07");
    EXPECT_EQ(Dates::daysCount(1900, 2), 28);
    EXPECT_EQ(Dates::daysCount(2000, 2), 29);
    EXPECT_EQ(Dates::daysCount(2024, 2), 29);
    EXPECT_EQ(Dates::daysCount(2023, 4), 30);
    EXPECT_EQ(Dates::daysCount(2023, 12), 31);
    std::vector<std::string> messages;
    auto previous = platform::setDebugSink([&](std::string_view m, std::string_view) { messages.emplace_back(m); });
    EXPECT_FALSE(Dates::daysCount(2023, 13));
    EXPECT_FALSE(Dates::daysCount(2023, 0));
    platform::setDebugSink(previous);
    EXPECT_EQ(messages, (std::vector<std::string>{"非法的月份:13", "非法的月份:0"}));
    EXPECT_EQ(Dates::currentMonthDays(), 30);  // November
}
