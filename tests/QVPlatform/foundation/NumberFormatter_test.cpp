#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/foundation/NumberFormatter.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

class NumberFormatterTest : public ::testing::Test {
protected:
    void SetUp() override { Host::configure({.localeIdentifier = "en_US"}); }
    void TearDown() override { Host::configure({}); }
};

}  // namespace

TEST_F(NumberFormatterTest, StylesAndDefaultsOfTheCurrentLocale) {
    NSNumberFormatter plain;
    EXPECT_EQ(plain.stringFromNumber(1234.5), "1234");  // no style: no fraction, half-even
    EXPECT_EQ(plain.stringFromNumber(1235.5), "1236");
    plain.setMaximumFractionDigits(2);
    EXPECT_EQ(plain.stringFromNumber(0.5), "0.5");
    EXPECT_EQ(plain.stringFromNumber(0), "0");
    NSNumberFormatter decimal;
    decimal.setNumberStyle(NSNumberFormatterStyle::decimal);
    EXPECT_EQ(decimal.stringFromNumber(1234567.891), "1,234,567.891");
    EXPECT_EQ(decimal.stringFromNumber(NSNumber::decimal("12345678901234567890.25")), "12,345,678,901,234,567,890.25");
    decimal.setLocaleIdentifier("de_DE");
    EXPECT_EQ(decimal.stringFromNumber(1234.5), "1.234,5");
    decimal.setLocaleIdentifier("xx_NOWHERE");  // no data: the fixed "," and "."
    EXPECT_EQ(decimal.stringFromNumber(1234.5), "1,234.5");
    NSNumberFormatter percent;
    percent.setNumberStyle(NSNumberFormatterStyle::percent);
    EXPECT_EQ(percent.stringFromNumber(0.25), "25%");
}

TEST_F(NumberFormatterTest, LayoutSettingsApplyOnTopOfTheStyle) {
    NSNumberFormatter f;
    f.setNumberStyle(NSNumberFormatterStyle::decimal);
    f.setRoundingMode(NSNumberFormatterRoundingMode::floor);
    f.setMaximumFractionDigits(2);
    f.setMinimumFractionDigits(2);
    f.setMinimumIntegerDigits(1);
    EXPECT_EQ(f.stringFromNumber(NSNumber::decimal("1234.567")), "1,234.56");
    EXPECT_EQ(f.stringFromNumber(NSNumber::decimal("-0.001")), "-0.01");
    f.setGroupingSeparator(" ");
    f.setGroupingSize(4);
    EXPECT_EQ(f.stringFromNumber(12345678), "1234 5678.00");

    NSNumberFormatter pad;
    pad.setNumberStyle(NSNumberFormatterStyle::none);
    pad.setFormatWidth(6);
    pad.setPaddingCharacter("0");
    pad.setPaddingPosition(NSNumberFormatterPadPosition::afterPrefix);
    EXPECT_EQ(pad.stringFromNumber(42), "000042");

    NSNumberFormatter prefixed;
    prefixed.setNumberStyle(NSNumberFormatterStyle::decimal);
    prefixed.setPositivePrefix("+");
    prefixed.setPositiveSuffix(" 元");
    EXPECT_EQ(prefixed.stringFromNumber(12), "+12 元");

    NSNumberFormatter pattern;
    pattern.setPositiveFormat("#,##0.00");
    EXPECT_EQ(pattern.stringFromNumber(1234.5), "1,234.50");
    pattern.setPositiveFormat("#,##0.00'");  // unbalanced quote
    EXPECT_EQ(pattern.stringFromNumber(1), std::nullopt);

    NSNumberFormatter digits;
    digits.setMaximumIntegerDigits(2);
    digits.setMinimumIntegerDigits(2);
    EXPECT_EQ(digits.stringFromNumber(1234), "34");
    EXPECT_EQ(digits.stringFromNumber(5), "05");
}

TEST_F(NumberFormatterTest, ReadsOnlyWholeNumbers) {
    NSNumberFormatter f;
    EXPECT_EQ(f.numberFromString("12")->kind(), NSNumber::Kind::integer);
    EXPECT_EQ(f.numberFromString("12")->int64Value(), 12);
    EXPECT_DOUBLE_EQ(f.numberFromString("12.5")->doubleValue(), 12.5);
    EXPECT_EQ(f.numberFromString("-3")->int64Value(), -3);
    EXPECT_FALSE(f.numberFromString("12abc"));
    EXPECT_FALSE(f.numberFromString("abc"));
    EXPECT_FALSE(f.numberFromString(""));
    NSNumberFormatter de;
    de.setLocaleIdentifier("de_DE");
    EXPECT_DOUBLE_EQ(de.numberFromString("12,5")->doubleValue(), 12.5);
}

TEST(NSNumber, ConversionsAndText) {
    EXPECT_EQ(NSNumber(42).stringValue(), "42");
    EXPECT_EQ(NSNumber(0.1).stringValue(), "0.1");
    EXPECT_EQ(NSNumber(1.0 / 3).stringValue(), "0.3333333333333333");
    EXPECT_EQ(NSNumber(true).stringValue(), "1");
    EXPECT_EQ(NSNumber(-12.9).intValue(), -12);
    EXPECT_EQ(NSNumber(1e30).int64Value(), INT64_MAX);
    EXPECT_EQ(NSNumber(std::nan("")).int64Value(), 0);
    EXPECT_EQ(NSNumber::decimal("12.75").int64Value(), 12);
    EXPECT_TRUE(NSNumber(0.5).boolValue());
    EXPECT_EQ(NSNumber(2), NSNumber(2.0));
}
