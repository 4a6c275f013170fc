#include <QVPlatform/foundation/HTMLImporter.h>
#include <QVPlatform/foundation/LinkDetector.h>
#include <QVPlatform/foundation/NSUUID.h>
#include <QVPlatform/foundation/OldStylePropertyList.h>
#include <QVPlatform/foundation/Transliterator.h>
#include <QVPlatform/foundation/UnicodeProperties.h>
#include <QVPlatform/ui/UIPasteboard.h>

#include <gtest/gtest.h>

using namespace platform;

TEST(Transliterator, ChineseToPinyinAndDiacriticsStripped) {
    EXPECT_EQ(applyingTransform("中文", kStringTransformToLatin), "zhōng wén");
    EXPECT_EQ(applyingTransform("zhōng wén", kStringTransformStripDiacritics), "zhong wen");
    EXPECT_EQ(applyingTransform("abc", kStringTransformToLatin), "abc");
    EXPECT_FALSE(applyingTransform("abc", "No-Such-Transform"));
}

TEST(HTMLImporter, ResolvesReferencesAndDropsMarkup) {
    EXPECT_EQ(plainTextOfHTML("a &amp; b"), "a & b");
    EXPECT_EQ(plainTextOfHTML("&#x4e2d;&#20013;&lt;div&gt;"), "中中<div>");
    EXPECT_EQ(plainTextOfHTML("<html><head><title>t</title><style>p{}</style></head><body><p>one <b>two</b></p><p>three</p></body></html>"),
              "one two\nthree");
    EXPECT_EQ(plainTextOfHTML("a<br>b"), "a\nb");
    EXPECT_EQ(plainTextOfHTML(""), "");
    EXPECT_EQ(plainTextOfHTML("<p>unclosed <i>tags"), "unclosed tags");
}

TEST(OldStylePropertyList, QuotedStringEscapes) {
    EXPECT_EQ(parseOldStyleQuotedString(R"("a\n\t\"\\b")"), "a\n\t\"\\b");
    EXPECT_EQ(parseOldStyleQuotedString(R"("\U4e2d\U6587")"), "中文");
    EXPECT_EQ(parseOldStyleQuotedString(R"("\Ud83d\Ude00")"), "😀");  // surrogates pair up
    EXPECT_EQ(parseOldStyleQuotedString(R"("\Ud83d")"), "\xEF\xBF\xBD");  // lone half
    EXPECT_EQ(parseOldStyleQuotedString(R"("\101\60")"), "A0");           // octal byte values
    EXPECT_EQ(parseOldStyleQuotedString(R"("\q")"), "q");
    EXPECT_EQ(parseOldStyleQuotedString("\"中\""), "中");
    std::string error;
    EXPECT_FALSE(parseOldStyleQuotedString(R"("a\")", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(parseOldStyleQuotedString(R"("a" b)"));
    EXPECT_FALSE(parseOldStyleQuotedString("abc"));
}

TEST(LinkDetector, FindsSchemeUrlsHostsAndAddresses) {
    const auto links = detectLinks("看 https://qv.cn/a?b=1, www.example.com. 或 mail me@qv.cn!");
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].text, "https://qv.cn/a?b=1");
    EXPECT_EQ(links[0].range.location, 2u);
    EXPECT_EQ(links[1].text, "www.example.com");
    EXPECT_EQ(links[1].url, "http://www.example.com");
    EXPECT_EQ(links[2].text, "me@qv.cn");
    EXPECT_EQ(links[2].url, "mailto:me@qv.cn");
    EXPECT_TRUE(detectLinks("no links here").empty());
}

TEST(UnicodeProperties, CategoriesAndCase) {
    EXPECT_TRUE(hasEmojiProperty(U'😀'));
    EXPECT_TRUE(hasEmojiProperty(U'1'));
    EXPECT_FALSE(hasEmojiProperty(U'a'));
    EXPECT_TRUE(isDecimalDigit(U'٣'));
    EXPECT_FALSE(isDecimalDigit(U'Ⅳ'));
    EXPECT_TRUE(isLetterOrMark(U'\u0301'));
    EXPECT_TRUE(isWhitespace(U'\u3000'));
    EXPECT_FALSE(isWhitespace(U'\n'));
    EXPECT_TRUE(isNewline(U'\u2028'));
    EXPECT_EQ(lowercased("ÄB"), "äb");
    EXPECT_EQ(uppercased("straße"), "STRASSE");
    EXPECT_EQ(caseFolded("ABC"), caseFolded("abc"));
}

TEST(NSUUIDAndPasteboard, UuidTextAndPasteboardContent) {
    const auto a = NSUUID::make(), b = NSUUID::make();
    ASSERT_TRUE(a && b);
    const std::string s = a->UUIDString();
    ASSERT_EQ(s.size(), 36u);
    EXPECT_EQ(s[8], '-');
    EXPECT_EQ(s[14], '4');
    EXPECT_EQ(s.find_first_not_of("0123456789ABCDEF-"), std::string::npos);
    EXPECT_NE(s, b->UUIDString());

    auto& board = UIPasteboard::general();
    const auto before = board.changeCount();
    board.setStrings({"x", "y"});
    board.setString("copied");
    EXPECT_EQ(board.string(), "copied");
    EXPECT_EQ(board.strings().size(), 1u);
    EXPECT_EQ(board.changeCount(), before + 2);
}
