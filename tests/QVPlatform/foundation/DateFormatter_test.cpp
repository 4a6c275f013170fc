#include <QVPlatform/foundation/DateFormatter.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using namespace platform;
using Style = DateFormatter::Style;

namespace {

std::shared_ptr<DateFormatter> formatter(std::string_view pattern, const char* zone = "Asia/Shanghai",
                                         const char* locale = "en_US_POSIX") {
    auto f = DateFormatter::make(pattern);
    f->setTimeZone(*TimeZone::named(zone));
    f->setLocale(Locale(locale));
    return f;
}

}  // namespace

TEST(DateFormatter, FormatsPatternsInItsZoneAndLocale) {
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm:ss")->string(Date(0)), "1970-01-01 08:00:00");
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm zzz", "America/New_York")->string(Date(1710052200)), "2024-03-10 01:30 EST");
    EXPECT_EQ(formatter("yyyy-MM-dd HH:mm zzz", "America/New_York")->string(Date(1710052200 + 3600)), "2024-03-10 03:30 EDT");
    EXPECT_EQ(formatter("EEEE MMMM", "UTC", "zh_Hans_CN")->string(Date(1700000000)), "星期二 十一月");
    EXPECT_EQ(formatter("'quoted' a", "UTC")->string(Date(0)), "quoted AM");
    auto empty = DateFormatter::make();
    EXPECT_EQ(empty->string(Date(0)), "");
    EXPECT_EQ(formatter("yyyy")->string(Date(std::nan(""))), "");
}

TEST(DateFormatter, ParsesWholeTextsStrictly) {
    auto f = formatter("yyyy-MM-dd HH:mm:ss");
    EXPECT_EQ(f->date("1970-01-01 08:00:00"), Date(0));
    EXPECT_FALSE(f->date("1970-01-01 08:00:00 trailing"));
    EXPECT_FALSE(f->date("2024-02-30 00:00:00"));  // no such day
    EXPECT_FALSE(f->date("not a date"));
    EXPECT_FALSE(f->date(""));
    // Fields the pattern lacks come from 2000-01-01 00:00:00.
    EXPECT_EQ(formatter("HH:mm", "UTC")->date("10:30"), Date(946722600));
    // Two-digit years fall in 1950-2049.
    EXPECT_EQ(formatter("yy-MM-dd", "UTC")->string(*formatter("yy-MM-dd", "UTC")->date("49-01-01")), "49-01-01");
    EXPECT_EQ(formatter("yyyy", "UTC")->string(*formatter("yy", "UTC")->date("49")), "2049");
    EXPECT_EQ(formatter("yyyy", "UTC")->string(*formatter("yy", "UTC")->date("50")), "1950");
}

TEST(DateFormatter, StylesTemplatesAndWhichWins) {
    auto f = DateFormatter::make();
    f->setLocale(Locale("en_US"));
    f->setTimeZone(TimeZone::gmt());
    f->setDateStyle(Style::short_);
    EXPECT_EQ(f->string(Date(1700000000)), "11/14/23");
    f->setTimeStyle(Style::short_);
    EXPECT_EQ(f->dateFormat(), "M/d/yy, h:mm\u202fa");
    f->setLocalizedDateFormatFromTemplate("yMMMd");
    EXPECT_EQ(f->dateFormat(), "MMM d, y");  // the template replaces the styles' pattern
    EXPECT_EQ(f->string(Date(1700000000)), "Nov 14, 2023");
    f->setLocale(Locale("de_DE"));  // the pattern stays; names follow the locale
    EXPECT_EQ(f->string(Date(1700000000)), "Nov. 14, 2023");
    EXPECT_EQ(DateFormatter::dateFormatFromTemplate("yMd", Locale("zh_Hans_CN")), "y/M/d");
    EXPECT_EQ(DateFormatter::dateFormatFromTemplate("j", Locale("en_US")).value().find('a') != std::string::npos, true);
    EXPECT_EQ(DateFormatter::dateFormatFromTemplate("j", Locale("en_GB")), "HH");
}

TEST(DateFormatter, CalendarAndBcp47Locales) {
    auto f = formatter("G y", "UTC", "en-US");
    EXPECT_EQ(f->locale().identifier(), "en_US");
    f->setCalendar(Calendar::Identifier::buddhist);
    EXPECT_EQ(f->string(Date(1700000000)), "BE 2566");
    f->setCalendar(Calendar::Identifier::iso8601);
    EXPECT_EQ(f->string(Date(1700000000)), "AD 2023");
}

TEST(DateFormatter, SharedBetweenThreadsWithoutRaces) {
    auto f = formatter("yyyy-MM-dd");
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&] {
            for (int n = 0; n < 200; ++n) {
                if (f->string(Date(0)) != "1970-01-01") ++wrong;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
}
