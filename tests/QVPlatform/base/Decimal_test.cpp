#include <QVPlatform/base/Decimal.h>
#include <QVPlatform/runtime/NSObject.h>

#include <gtest/gtest.h>

using namespace platform;

namespace {

std::string text(std::string_view s) { return NSDecimalNumber(s).stringValue(); }

NSDecimalNumberHandler quiet(NSRoundingMode mode, std::int16_t scale) {
    return NSDecimalNumberHandler(mode, scale, false, false, false, false);
}

std::string rounded(std::string_view s, NSRoundingMode mode, std::int16_t scale = 0) {
    return NSDecimalNumber(s).rounding(quiet(mode, scale)).stringValue();
}

}  // namespace

TEST(NSDecimalNumber, ReadsTextAndWritesPlainForm) {
    EXPECT_EQ(text("1.50"), "1.5");
    EXPECT_EQ(text("2.000"), "2");
    EXPECT_EQ(text("  -0012.3400abc"), "-12.34");
    EXPECT_EQ(text("1.5e3"), "1500");
    EXPECT_EQ(text("1.5E-3"), "0.0015");
    EXPECT_EQ(text(".5"), "0.5");
    EXPECT_EQ(text("-0"), "0");
    EXPECT_EQ(text("1e"), "1");  // an exponent without digits is not read
    EXPECT_EQ(text("abc"), "NaN");
    EXPECT_EQ(text(""), "NaN");
    EXPECT_EQ(text("-"), "NaN");
    EXPECT_EQ(text("1e127"), "1" + std::string(127, '0'));
    EXPECT_EQ(text("1e200"), "NaN");  // beyond the exponent range
    EXPECT_EQ(text("1e-200"), "0");   // below it
    // 40 significant digits keep 38, rounded.
    EXPECT_EQ(text("1234567890123456789012345678901234567890"), "1234567890123456789012345678901234567900");
    EXPECT_DOUBLE_EQ(NSDecimalNumber("0.1").doubleValue(), 0.1);
    EXPECT_EQ(NSDecimalNumber("-12.9").int64Value(), -12);
    EXPECT_EQ(NSDecimalNumber("1e30").int64Value(), INT64_MAX);
    EXPECT_EQ(NSDecimalNumber::fromDouble(0.1).stringValue(), "0.1");
}

TEST(NSDecimalNumber, ArithmeticIsExactAndRoundsTo38Digits) {
    EXPECT_EQ(NSDecimalNumber("0.1").adding(NSDecimalNumber("0.2")).stringValue(), "0.3");
    EXPECT_EQ(NSDecimalNumber("1").subtracting(NSDecimalNumber("0.9")).stringValue(), "0.1");
    EXPECT_EQ(NSDecimalNumber("-1.5").subtracting(NSDecimalNumber("-1.5")).stringValue(), "0");
    EXPECT_EQ(NSDecimalNumber("1.1").multiplying(NSDecimalNumber("-1.1")).stringValue(), "-1.21");
    EXPECT_EQ(NSDecimalNumber("2").dividing(NSDecimalNumber("3")).stringValue(), "0.66666666666666666666666666666666666667");
    EXPECT_EQ(NSDecimalNumber("1").dividing(NSDecimalNumber("8")).stringValue(), "0.125");
    EXPECT_EQ(NSDecimalNumber("1e100").adding(NSDecimalNumber("1e-100")).stringValue(), "1" + std::string(100, '0'));
    EXPECT_EQ(NSDecimalNumber("abc").adding(NSDecimalNumber("1")).stringValue(), "NaN");
    // Rounding down at scale 30, as the text helpers' calculation does.
    EXPECT_EQ(NSDecimalNumber("1").dividing(NSDecimalNumber("3"), quiet(NSRoundingMode::down, 30)).stringValue(),
              "0." + std::string(30, '3'));
}

TEST(NSDecimalNumber, RoundingModesFollowThePlatformTable) {
    EXPECT_EQ(rounded("1.2", NSRoundingMode::plain), "1");
    EXPECT_EQ(rounded("1.2", NSRoundingMode::down), "1");
    EXPECT_EQ(rounded("1.2", NSRoundingMode::up), "2");
    EXPECT_EQ(rounded("1.2", NSRoundingMode::bankers), "1");
    EXPECT_EQ(rounded("1.21", NSRoundingMode::up, 1), "1.3");
    EXPECT_EQ(rounded("-1.2", NSRoundingMode::plain), "-1");
    EXPECT_EQ(rounded("-1.2", NSRoundingMode::down), "-2");
    EXPECT_EQ(rounded("-1.2", NSRoundingMode::up), "-1");
    EXPECT_EQ(rounded("1.5", NSRoundingMode::plain), "2");
    EXPECT_EQ(rounded("1.5", NSRoundingMode::down), "1");
    EXPECT_EQ(rounded("1.5", NSRoundingMode::bankers), "2");
    EXPECT_EQ(rounded("2.5", NSRoundingMode::bankers), "2");
    EXPECT_EQ(rounded("-1.5", NSRoundingMode::plain), "-2");
    EXPECT_EQ(rounded("-1.5", NSRoundingMode::up), "-1");
    EXPECT_EQ(rounded("9.99", NSRoundingMode::plain, 1), "10");
    EXPECT_EQ(rounded("0.004", NSRoundingMode::up, 2), "0.01");
    EXPECT_EQ(rounded("0.004", NSRoundingMode::plain, 2), "0");
    EXPECT_EQ(rounded("1250", NSRoundingMode::bankers, -2), "1200");
}

TEST(NSDecimalNumber, ErrorsRaiseOnlyWhenAsked) {
    EXPECT_THROW(NSDecimalNumber("1").dividing(NSDecimalNumber("0")), NSException);  // default behaviour
    EXPECT_EQ(NSDecimalNumber("1").dividing(NSDecimalNumber("0"), quiet(NSRoundingMode::plain, NSDecimalNoScale)).stringValue(), "NaN");
    const NSDecimalNumber big("9" + std::string(37, '9') + "e127");
    EXPECT_THROW(big.multiplying(NSDecimalNumber("10")), NSException);
    EXPECT_TRUE(big.multiplying(NSDecimalNumber("10"), quiet(NSRoundingMode::plain, NSDecimalNoScale)).isNaN());
    const NSDecimalNumberHandler exact(NSRoundingMode::plain, 2, true, false, false, false);
    EXPECT_THROW(NSDecimalNumber("1.234").rounding(exact), NSException);
    EXPECT_EQ(NSDecimalNumber("1.23").rounding(exact).stringValue(), "1.23");
    try {
        NSDecimalNumber("1").dividing(NSDecimalNumber("0"));
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), "NSDecimalNumberDivideByZeroException");
    }
}

TEST(NSDecimalNumber, WholeMultiplesAndOrder) {
    EXPECT_TRUE(NSDecimalNumber("10").isWholeMultipleOf(NSDecimalNumber("5")));
    EXPECT_FALSE(NSDecimalNumber("10").isWholeMultipleOf(NSDecimalNumber("4")));
    EXPECT_FALSE(NSDecimalNumber("1").isWholeMultipleOf(NSDecimalNumber("10000")));
    EXPECT_TRUE(NSDecimalNumber("0.3").isWholeMultipleOf(NSDecimalNumber("0.1")));
    EXPECT_TRUE(NSDecimalNumber("1e20").isWholeMultipleOf(NSDecimalNumber("0.0025")));
    EXPECT_FALSE(NSDecimalNumber("1").isWholeMultipleOf(NSDecimalNumber("0")));
    EXPECT_TRUE(NSDecimalNumber("0").isWholeMultipleOf(NSDecimalNumber("7")));
    EXPECT_TRUE(NSDecimalNumber("-1.5") < NSDecimalNumber("1"));
    EXPECT_TRUE(NSDecimalNumber("0.15") < NSDecimalNumber("0.151"));
    EXPECT_TRUE(NSDecimalNumber("-2") < NSDecimalNumber("-1.99"));
    EXPECT_EQ(NSDecimalNumber("1.0"), NSDecimalNumber("1"));
}
