#include <QVToolbox/QVToolbox.h>

#include <gtest/gtest.h>

using namespace QVToolbox;
using platform::NSRange;

TEST(TextSearch, PositionsAndRanges) {
    const auto t = hx("abcb");
    EXPECT_EQ(t.positionFirst("b"), 1);
    EXPECT_EQ(t.positionLast("b"), 3);
    EXPECT_EQ(t.positionFirst("x"), -1);
    EXPECT_EQ(hx("中文b").positionFirst("b"), 2);
    EXPECT_FALSE(t.contains(""));
    EXPECT_FALSE(t.containsIgnoringCase(""));
    EXPECT_EQ(t.positionFirst(""), -1);
    EXPECT_EQ(t.positionLast(""), -1);
    EXPECT_EQ(t.range(""), std::nullopt);
    EXPECT_TRUE(t.nsRange("").empty());
    EXPECT_TRUE(t.contains("cb"));
    EXPECT_TRUE(hx("Straße").containsIgnoringCase("STRASSE"));
    EXPECT_TRUE(t.isHasPrefix("ab"));
    EXPECT_TRUE(t.isHasSuffix("cb"));
    EXPECT_FALSE(hx("e\u0301").isHasPrefix("e"));
    EXPECT_EQ(t.range("cb"), (TextRange{2, 4}));
    EXPECT_EQ(hx("a.c abc").nsRange("a.c"), (std::vector<NSRange>{{0, 3}, {4, 3}}));
    EXPECT_TRUE(hx("abc").nsRange("a.c").empty());
    EXPECT_EQ(hx(NSRange{1, 2}).toRange("a😀b"), (TextRange{1, 5}));
    EXPECT_EQ(hx(NSRange{1, 1}).toRange("a😀b"), std::nullopt);   // inside the pair
    EXPECT_EQ(hx(NSRange{0, 1}).toRange("e\u0301"), std::nullopt);  // inside a character
    EXPECT_EQ(hx(NSRange{2, 5}).toRange("abc"), std::nullopt);
}
