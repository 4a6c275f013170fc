#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/foundation/Host.h>

#include <gtest/gtest.h>

using namespace QVToolbox;
using platform::Any;

namespace {

class NumberTextTest : public ::testing::Test {
protected:
    void SetUp() override { platform::Host::configure({.localeIdentifier = "en_US"}); }
    void TearDown() override { platform::Host::configure({}); }
};

}  // namespace

TEST_F(NumberTextTest, TextToNumbers) {
    EXPECT_EQ(hx("12.7").toInt(), 12);
    EXPECT_EQ(hx("-3").toInt(), -3);
    EXPECT_EQ(hx("abc").toInt(), std::nullopt);
    EXPECT_EQ(hx("12abc").toDouble(), std::nullopt);
    EXPECT_FLOAT_EQ(*hx(platform::NSString("2.5")).toFloat(), 2.5f);
    EXPECT_EQ(hx("Yes").toBool(), true);
    EXPECT_EQ(hx("N").toBool(), false);
    EXPECT_EQ(hx("0").toBool(), false);
    EXPECT_EQ(hx("maybe").toBool(), std::nullopt);
    EXPECT_EQ(hx("ff").hexInt(), 255);
    EXPECT_EQ(hx("-1A").hexInt(), -26);
    EXPECT_EQ(hx("0x1A").hexInt(), 0);
    EXPECT_EQ(hx("fffffffffffffffff").hexInt(), 0);  // does not fit
    EXPECT_EQ(hx("0.1").accuraterDouble(), 0.1);
    EXPECT_EQ(hx("x").accuraterDouble(), std::nullopt);
    EXPECT_EQ(hx("1.500").cutLastZeroAfterDot(), "1.5");
    EXPECT_EQ(hx("2.000").cutLastZeroAfterDot(), "2");
    EXPECT_EQ(hx("100").cutLastZeroAfterDot(), "100");
}

TEST_F(NumberTextTest, DecimalArithmeticOnText) {
    EXPECT_EQ(hx("0.1").adding("0.2"), "0.3");
    EXPECT_EQ(hx("10").dividing("0"), "10");
    EXPECT_EQ(hx("10").dividing(std::nullopt), "10");
    EXPECT_EQ(hx("abc").multiplying("5"), "0");
    EXPECT_EQ(hx("5").subtracting("abc"), "5");
    EXPECT_EQ(hx("1").dividing("3"), "0.33333333333333333333333333333333333333");
    // Beyond the decimal range: "NaN" instead of an exception.
    EXPECT_EQ(hx("9" + std::string(37, '9') + "e127").multiplying("10"), "NaN");
    EXPECT_EQ(hx("1234567").toThousands(), "1,234,567");
    EXPECT_EQ(hx("1234.567").toThousands(), "1,234.56");
    EXPECT_EQ(hx("-1234.561").toThousands(), "-1,234.57");  // toward negative infinity
    EXPECT_EQ(hx("abc").toThousands(), "0");
    EXPECT_EQ(hx("0.5").toThousands(), "0.50");
    EXPECT_EQ(hx("2.345").saveNumberDecimal(2, platform::NSNumberFormatterRoundingMode::halfUp), "2.35");
    EXPECT_EQ(hx("1234567.8").saveNumberDecimal(0, platform::NSNumberFormatterRoundingMode::down), "1234567");
    EXPECT_EQ(hx("x").saveNumberDecimal(1, platform::NSNumberFormatterRoundingMode::halfEven), "0.0");
}

TEST_F(NumberTextTest, BaseConversionFollowsTheDigitRuleAndSaturates) {
    EXPECT_EQ(hx("1010").binaryTodecimal(), "10");
    EXPECT_EQ(hx("12").binaryTodecimal(), "4");
    EXPECT_EQ(hx("").binaryTodecimal(), "0");
    EXPECT_EQ(hx("1a0 1").binaryTodecimal(), "5");
    EXPECT_EQ(hx("777").octalTodecimal(), "511");
    EXPECT_EQ(hx("ff").hexadecimalToDecimal(), "255");
    EXPECT_EQ(hx(std::string(40, 'f')).hexadecimalToDecimal(), "9223372036854775807");
    EXPECT_EQ(hx(std::string(80, '1')).binaryTodecimal(), "9223372036854775807");
    EXPECT_EQ(hx("0").decimalToBinary(), "");
    EXPECT_EQ(hx("5").decimalToBinary(), "101");
    EXPECT_EQ(hx("x").decimalToBinary(), "");
    EXPECT_EQ(hx("8").decimalToOctal(), "10");
    EXPECT_EQ(hx("255").decimalToHexadecimal(), "FF");
    EXPECT_EQ(hx("x").decimalToHexadecimal(), "");
    EXPECT_EQ(hx("1111").binaryToOctal(), "17");
    EXPECT_EQ(hx("11111111").binaryToHexadecimal(), "FF");
    EXPECT_EQ(hx("17").octalTobinary(), "1111");
    EXPECT_EQ(hx("17").octalToHexadecimal(), "F");
    EXPECT_EQ(hx("F").hexadecimalToBinary(), "1111");
    EXPECT_EQ(hx("FF").hexadecimalToOctal(), "377");
}

TEST_F(NumberTextTest, ExactTypeMembers) {
    EXPECT_EQ(hx(9999L).toTenThousandString(1), "9999");
    EXPECT_EQ(hx(10000).toTenThousandString(1), "1万");
    EXPECT_EQ(hx(25000).toTenThousandString(1), "2.5万");
    EXPECT_EQ(hx(20000).toTenThousandString(1), "2万");
    EXPECT_EQ(hx(-5).toTenThousandString(1), "0");
    EXPECT_EQ(hx(100000).toTenThousandString(0), "10万");  // no digits lost at scale 0
    EXPECT_EQ(hx(25000).toTenThousandString(2), "2.5万");
    EXPECT_EQ(hx(42).intToString(), "42");
    EXPECT_EQ(hx(-1).intToUInt(), 0u);
    EXPECT_EQ(hx(0).intToCountableRange(), std::nullopt);
    EXPECT_EQ(hx(3).intToCountableRange(), (IntRange{0, 3}));
    EXPECT_TRUE(hx(4).isEven());
    EXPECT_FALSE(hx(-3L).isEven());
    for (int i = 0; i < 50; ++i) {
        const long r = HxPOP<long>::random({5, 8});
        EXPECT_TRUE(r >= 5 && r < 8);
    }
    EXPECT_EQ(HxPOP<long>::random({5, 5}), 5);
    EXPECT_EQ(hx(std::int64_t{7}).int64ToString(), "7");
    EXPECT_EQ(hx(std::int64_t{7}).int64ToNumber().intValue(), 7);
    EXPECT_EQ(hx(ULONG_MAX).uintToInt(), LONG_MAX);
    EXPECT_EQ(hx(true).boolToInt(), 1);
    EXPECT_EQ(hx(U'中').charToString(), "中");
    EXPECT_EQ(hx(U'7').charToInt(), 7);
    EXPECT_EQ(hx(U'x').charToInt(), std::nullopt);
    EXPECT_EQ(hx(1.005).roundTo(2), 1.0);  // the double lies below 1.005
    EXPECT_FLOAT_EQ(hx(2.345f).roundTo(1), 2.3f);
    EXPECT_EQ(hx(2.5).lroundToInt(), 3);
    EXPECT_EQ(hx(-2.5f).lroundfToInt(), -3);
    EXPECT_EQ(hx(std::nan("")).int_(), 0);
    EXPECT_EQ(hx(1e300).int_(), LONG_MAX);
    EXPECT_EQ(hx(0.1).string(), "0.1");
    EXPECT_EQ(hx(1.0).string(), "1");
    EXPECT_EQ(hx(1.25f).rounding(1), 1.3f);
    EXPECT_EQ(hx(1.25).rounding(1), 1.3);
    EXPECT_NEAR(hx(180.0).degreesToRadians(), 3.14159265, 1e-8);
    EXPECT_EQ(hx(platform::NSNumber(2.345)).numberFormatter(), "2.34");  // half to even on the double 2.345
    EXPECT_EQ(hx(platform::NSNumber(2.5)).numberFormatter(platform::NSNumberFormatterRoundingMode::halfUp, 2, 2), "2.50");
}

TEST_F(NumberTextTest, HandlerAndFormatterStatics) {
    using H = HxPOP<platform::NSDecimalNumberHandler>;
    EXPECT_FALSE(H::isDivisible(10, 4));
    EXPECT_TRUE(H::isDivisible(10, 5));
    EXPECT_FALSE(H::isDivisible(1, 10000));  // the remainder is not zero
    EXPECT_TRUE(H::isDivisible("0.9", "0.3"));
    EXPECT_FALSE(H::isDivisible(5, 0));
    EXPECT_FALSE(H::isDivisible("x", 5));
    EXPECT_EQ(H::calculation(DecimalNumberHandlerType::dividing, 2, 3).stringValue(), "0." + std::string(30, '6'));
    EXPECT_EQ(H::calculation(DecimalNumberHandlerType::add, 0.1, "0.2").stringValue(), "0.3");
    EXPECT_EQ(H::rounding(2.345, 2).stringValue(), "2.35");
    EXPECT_EQ(H::getFloorIntValue(7, 2), 3);
    EXPECT_EQ(H::getFloorIntValue(-7, 2), -4);
    EXPECT_EQ(H::getFloorIntValue(7, 0), 0);
    EXPECT_EQ(H::decimalNumberHandlerValue(DecimalNumberHandlerType::subtracting, 1, "0.25", platform::NSRoundingMode::up, 1,
                                           false, false, false, false)
                  .stringValue(),
              "0.8");
    EXPECT_THROW(H::decimalNumberHandlerValue(DecimalNumberHandlerType::dividing, 1, 0, platform::NSRoundingMode::plain, 2,
                                              false, false, false, true),
                 platform::NSException);
    EXPECT_EQ(rawValue(DecimalNumberHandlerType::multiplying), "multiplying");
    EXPECT_EQ(decimalNumberHandlerTypeFromRawValue("dividing"), DecimalNumberHandlerType::dividing);

    using F = HxPOP<platform::NSNumberFormatter>;
    using platform::NSNumberFormatterStyle;
    EXPECT_EQ(F::numberFormatting(1234.5, NSNumberFormatterStyle::decimal), "1,234.5");
    EXPECT_EQ(F::stringFormattingNumber("1234567", NSNumberFormatterStyle::decimal), "1,234,567");
    EXPECT_EQ(F::stringFormattingNumber("abc", NSNumberFormatterStyle::decimal), std::nullopt);
    EXPECT_EQ(F::setGroupingSeparatorAndSize("12345678", "'", 4, NSNumberFormatterStyle::decimal), "1234'5678");
    EXPECT_EQ(F::setFormatWidthPaddingCharacterAndPosition("42", 5, "*", platform::NSNumberFormatterPadPosition::beforePrefix,
                                                           NSNumberFormatterStyle::decimal),
              "***42");
    EXPECT_EQ(F::setMaximumIntegerDigitsAndMinimum("7", 3, 3, NSNumberFormatterStyle::decimal), "007");
    EXPECT_EQ(F::setMaximumIntegerDigitsAndMinimum("7", "¥", "元", NSNumberFormatterStyle::decimal), "¥7元");
    EXPECT_EQ(F::setmMximumFractionDigitsAndMinimum("3.14159", 3, 1), "3.142");
    EXPECT_EQ(F::setPositiveFormat("1234.5", "#,##0.00", NSNumberFormatterStyle::decimal), "1,234.50");
}
