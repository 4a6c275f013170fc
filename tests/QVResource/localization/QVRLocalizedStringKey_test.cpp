#include <QVResource/localization/QVRLocalizedStringKey.h>

#include <QVPlatform/foundation/Host.h>

#include <gtest/gtest.h>

#include <limits>

using namespace QVResource;
using platform::Any;

namespace {

// A caller type that picks its own specifier.
struct Price {
    double amount;
    Any _arg() const { return amount; }
    std::string _specifier() const { return "%.2f"; }
};

struct Named {
    std::string description() const { return "<named>"; }
};

}  // namespace

TEST(QVRLocalizedStringKey, InterpolationsAppendOneSpecifierAndOneArgumentEach) {
    QVRLocalizedStringKey::StringInterpolation s(-5, -1);  // negative reserves count as zero
    s.appendLiteral("A ")
        .appendInterpolation(std::string("text"))
        .appendLiteral(" ")
        .appendInterpolation(42)
        .appendInterpolation(std::int64_t{-7})
        .appendInterpolation(1.5)
        .appendInterpolation(1.5f)
        .appendInterpolation(2.0f)
        .appendInterpolation(true)
        .appendInterpolation(*platform::URL::string("https://example.com/a?b=1"))
        .appendInterpolation(Price{3.14159})
        .appendInterpolation(Named{})
        .appendInterpolation(Any(255), "%x")
        .appendLiteral(" B");
    const QVRLocalizedStringKey key(s);
    EXPECT_EQ(key.key(), "A %@ %ld%ld%f%@%@%@%@%.2f%@%x B");
    ASSERT_EQ(key.args().size(), 11u);
    EXPECT_EQ(key.args()[4], Any("1.5"));   // a 32-bit float is its description
    EXPECT_EQ(key.args()[5], Any("2.0"));
    EXPECT_EQ(key.args()[6], Any("true"));  // so is a Boolean
    EXPECT_EQ(key.description(), "A text 42-71.5000001.52.0truehttps://example.com/a?b=13.14<named>ff B");
}

TEST(QVRLocalizedStringKey, PlainTextsHaveNoArgumentsAndAreNotFormatted) {
    const QVRLocalizedStringKey key("100% done");
    EXPECT_EQ(key.key(), "100% done");
    EXPECT_TRUE(key.args().empty());
    EXPECT_EQ(key.description(), "100% done");
    EXPECT_EQ(qvrFormat("%@ + %@", {"a", 2}), "a + 2");
    QVRLocalizedStringKey::StringInterpolation huge(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    huge.appendLiteral("fine");  // a huge reserve is only a hint
    EXPECT_EQ(QVRLocalizedStringKey(huge).key(), "fine");
}

TEST(QVRLocalizedStringKey, NumberAndDateInterpolationsUseThePlatformFormatters) {
    platform::Host::configure({.localeIdentifier = std::string("en_US")});
    QVRLocalizedStringKey::StringInterpolation s;
    s.appendInterpolationNumber(3.14159f, 1, 2).appendLiteral("|").appendInterpolationNumber(2.0f, 1, 3);
    s.appendLiteral("|").appendInterpolationDate(platform::Date(0), "yyyy");
    const QVRLocalizedStringKey key(s);
    EXPECT_EQ(key.key(), "%@|%@|%@");
    EXPECT_EQ(key.args()[0], Any("3.14"));
    EXPECT_EQ(key.args()[1], Any("2.0"));
    EXPECT_TRUE(key.args()[2].string() == "1970" || key.args()[2].string() == "1969");  // the current time zone
    platform::Host::configure({});
}
