#include <QVPlatform/foundation/RegularExpression.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace platform;

TEST(NSRegularExpression, MatchesReportUtf16RangesAndGroups) {
    const auto re = NSRegularExpression::make("([a-z])(\\d)?");
    ASSERT_TRUE(re);
    const auto found = re->matches("😀a1中b");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].range, (NSRange{2, 2}));
    EXPECT_EQ(found[0].rangeAtIndex(2), (NSRange{3, 1}));
    EXPECT_EQ(found[1].range, (NSRange{5, 1}));
    EXPECT_EQ(found[1].rangeAtIndex(2).location, NSNotFound);
    EXPECT_EQ(re->matchedTexts("😀a1中b"), (std::vector<std::string>{"a1", "b"}));
    EXPECT_EQ(re->numberOfMatches("123"), 0u);
    EXPECT_EQ(re->stringByReplacingMatches("X a1 b", "<$1>"), "X <a> <b>");
    EXPECT_EQ(re->stringByReplacingMatches("a1", "$9"), "a1");  // no such group: unchanged
    EXPECT_EQ(NSRegularExpression::make("ABC", NSRegularExpressionOptions::caseInsensitive)->numberOfMatches("xabcx"), 1u);
}

TEST(NSRegularExpression, BadPatternsFailAndGoodOnesAreCompiledOnce) {
    std::string error;
    EXPECT_FALSE(NSRegularExpression::make("(", NSRegularExpressionOptions::none, &error));
    EXPECT_NE(error.find("("), std::string::npos);
    const auto first = NSRegularExpression::make("^\\d+$");
    EXPECT_EQ(NSRegularExpression::make("^\\d+$"), first);
    EXPECT_NE(NSRegularExpression::make("^\\d+$", NSRegularExpressionOptions::caseInsensitive), first);
    // Several threads share one compiled pattern.
    std::vector<std::thread> threads;
    std::atomic<int> hits{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) hits += NSRegularExpression::make("^\\d+$")->matchesEntireText("123") ? 1 : 0;
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(hits, 800);
}

TEST(NSRegularExpression, PredicateMatchesTheWholeText) {
    EXPECT_TRUE(predicateMatches("13912345678", "1[3-9]\\d{9}"));
    EXPECT_FALSE(predicateMatches(" 13912345678", "1[3-9]\\d{9}"));
    // Alternation with anchors inside: the whole text must still match.
    EXPECT_FALSE(predicateMatches("123456789012345x", "^(\\d{15})|((\\d{17})(\\d|[X]))$"));
    EXPECT_TRUE(predicateMatches("123456789012345", "^(\\d{15})|((\\d{17})(\\d|[X]))$"));
    EXPECT_FALSE(predicateMatches("abc", "("));
    EXPECT_EQ(escapedPatternForString("a.c"), "a\\.c");
}
