#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>

#include <gtest/gtest.h>

#include <cstdio>

using namespace QVToolbox;
using platform::NSRange;

namespace {

// An 18-character number with the given first 17 digits and its correct check character.
std::string withCheck(const std::string& first17) {
    static constexpr int weights[] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3};
    int sum = 0;
    for (int i = 0; i < 17; ++i) sum += (first17[static_cast<std::size_t>(i)] - '0') * weights[i % 10];
    return first17 + "10X98765432"[sum % 11];
}

}  // namespace

TEST(Validation, EmailMobileAndPatterns) {
    EXPECT_TRUE(hx("qv.tool+x@mail-1.example.cn").isValidEmail());
    EXPECT_FALSE(hx(" a@b.cn").isValidEmail());
    EXPECT_TRUE(HxRegexHelper::validateEmail(" a@b.cn", "[a-z]+@[a-z]+\\.cn"));
    EXPECT_FALSE(HxRegexHelper::validateEmail("a@b.cn", "("));
    EXPECT_TRUE(hx("13912345678").isValidMobile());
    EXPECT_TRUE(hx(platform::NSString("16612345678")).isValidMobile());
    EXPECT_FALSE(hx("16012345678").isValidMobile());
    EXPECT_FALSE(hx("1391234567").isValidMobile());
    EXPECT_TRUE(HxRegexHelper::match("a1b2", "\\d"));
    EXPECT_EQ(HxRegexHelper::matchRange("😀1b22", "\\d+"), (std::vector<NSRange>{{2, 1}, {4, 2}}));
    EXPECT_TRUE(HxRegexHelper::matchRange("x", "(").empty());
    EXPECT_TRUE(HxRegexHelper::validateUserName("张三abc"));
    EXPECT_FALSE(HxRegexHelper::validateUserName("张三_"));
    EXPECT_TRUE(HxRegexHelper::validateUserIdCard("12345678901234567X"));
    EXPECT_EQ(rawValue(HxRegexDigitalType::type2), "^(0|[1-9][0-9]*)$");
    EXPECT_EQ(characterTypeFromRawValue("^[a-z]+$"), HxRegexCharacterType::type6);
    EXPECT_TRUE(hx("12.50").pregReplace("0+$", "").size() == 4);
    EXPECT_TRUE(platform::predicateMatches("abc", rawValue(HxRegexCharacterType::type11)));
    EXPECT_FALSE(platform::predicateMatches("a\"c", rawValue(HxRegexCharacterType::type11)));
}

TEST(Validation, StrictIdentityCard) {
    platform::ManualClock::start(1767225600.0);  // 2026-01-01
    const std::string born1949 = withCheck("11010519491231002");
    EXPECT_TRUE(hx(born1949).isValidIDCardNumStrict());
    // Born in 2001: valid since the century 20 is admitted.
    EXPECT_TRUE(hx(withCheck("11010520010101001")).isValidIDCardNumStrict());
    // Born after the current year: rejected.
    EXPECT_FALSE(hx(withCheck("11010520300101001")).isValidIDCardNumStrict());
    EXPECT_FALSE(hx(withCheck("11010518990101001")).isValidIDCardNumStrict());
    // Wrong check character; a lower-case x never passes.
    std::string wrong = born1949;
    wrong.back() = wrong.back() == '0' ? '1' : '0';
    EXPECT_FALSE(hx(wrong).isValidIDCardNumStrict());
    EXPECT_TRUE(hx("11010519900101103X").isValidIDCardNumStrict());
    EXPECT_FALSE(hx("11010519900101103x").isValidIDCardNumStrict());
    EXPECT_FALSE(hx(withCheck("99010519491231002")).isValidIDCardNumStrict());  // no such province
    EXPECT_FALSE(hx(withCheck("11010519490230002")).isValidIDCardNumStrict());  // 30 February
    EXPECT_TRUE(hx(withCheck("11010520000229002")).isValidIDCardNumStrict());   // 2000 is a leap year
    EXPECT_FALSE(hx(withCheck("11010519000229002")).isValidIDCardNumStrict());  // 1900 is not
    // Fifteen digits: the year is 19yy, so 00 is 1900 and 0229 fails.
    EXPECT_TRUE(hx("110105491231002").isValidIDCardNumStrict());
    EXPECT_FALSE(hx("110105000229002").isValidIDCardNumStrict());
    EXPECT_TRUE(hx("110105960229002").isValidIDCardNumStrict());
    EXPECT_FALSE(hx("11010549123100").isValidIDCardNumStrict());
    EXPECT_FALSE(hx("١١٠١٠٥٤٩١٢٣١٠٠٢").isValidIDCardNumStrict());  // Arabic-Indic digits
    EXPECT_TRUE(hx("١١٠١٠٥٤٩١٢٣١٠٠٢").isValidIDCardNumber());
}

TEST(Validation, CharacterClassesAndScanners) {
    EXPECT_TRUE(hx("昵称_nick1").isValidNickName());
    EXPECT_FALSE(hx("nick!").isValidNickName());
    EXPECT_TRUE(hx("中文").isChinese());
    EXPECT_FALSE(hx("中a").isChinese());
    EXPECT_TRUE(hx("abc中").containsChinese());
    EXPECT_FALSE(hx("abc").containsChinese());
    EXPECT_TRUE(hx("").isValidNumber());
    EXPECT_FALSE(hx("").isValidNumberValue());
    EXPECT_TRUE(hx("0123").isValidNumberValue());
    EXPECT_TRUE(hx("1.2.3").isValidNumberAndDecimalPoint());
    EXPECT_FALSE(hx("").isDecimalDigits());
    EXPECT_TRUE(hx("١٢").isDecimalDigits());
    EXPECT_FALSE(hx("12a").isValidNumber());
    EXPECT_TRUE(hx("héllo").isLetters());
    EXPECT_FALSE(hx("a1").isLetters());
    EXPECT_TRUE(hx("").isBlank());
    EXPECT_TRUE(hx(" \t\n\u3000").isBlank());
    EXPECT_FALSE(hx(" a ").isBlank());
    EXPECT_TRUE(hx(" 42 ").isPureInt());
    EXPECT_TRUE(hx("-42").isPureInt());
    EXPECT_FALSE(hx("42a").isPureInt());
    EXPECT_FALSE(hx("4.2").isPureInt());
    EXPECT_FALSE(hx("").isPureInt());
    EXPECT_TRUE(hx("1.5e3").isPureFloat());
    EXPECT_TRUE(hx(" .5\n").isPureFloat());
    EXPECT_FALSE(hx("1.5e").isPureFloat());
    EXPECT_FALSE(hx(".").isPureFloat());
}

TEST(Validation, EmojiNineKeysVideoAndUrls) {
    EXPECT_FALSE(hx("1").containsEmoji());
    EXPECT_TRUE(hx("1\uFE0F\u20E3").containsEmoji());
    EXPECT_TRUE(hx("ok 😀").containsEmoji());
    EXPECT_TRUE(hx("🇨🇳").containsEmoji());
    EXPECT_FALSE(hx("©").containsEmoji());  // below U+238D and alone
    EXPECT_TRUE(hx(U'😀').isEmoji());
    EXPECT_FALSE(hx(U'#').isEmoji());
    EXPECT_TRUE(hx("➌➋").isNineKeyBoard());
    EXPECT_FALSE(hx("➋a").isNineKeyBoard());
    EXPECT_TRUE(hx("").isNineKeyBoard());
    EXPECT_TRUE(hx("movie.mp4").isVideoUrl());
    EXPECT_TRUE(hx("clipmov").isVideoUrl());
    EXPECT_FALSE(hx("a.MKV").isVideoUrl());
    EXPECT_TRUE(hx("file:///tmp/a.txt").isValidFileUrl());
    EXPECT_FALSE(hx("https://qv.cn").isValidFileUrl());
    EXPECT_TRUE(hx("https://qv.cn").verifyUrl());
    EXPECT_FALSE(hx("not a url").verifyUrl());
}

TEST(Validation, PatternTransformations) {
    EXPECT_EQ(hx("a1b22").pregReplace("(\\d+)", "<$1>"), "a<1>b<22>");
    EXPECT_EQ(hx("ABC").pregReplace("b", "-", platform::NSRegularExpressionOptions::caseInsensitive), "A-C");
    EXPECT_EQ(hx("abc").pregReplace("(", "x"), "abc");  // does not compile: unchanged
    EXPECT_EQ(hx("😀a😀b").pregReplace("[ab]", "_"), "😀_😀_");
    EXPECT_EQ(hx("你好😀, world👍🏽!\r\n").deleteEmoji(), "你好, world!\r\n");
    EXPECT_EQ(hx("a[1]b[22]c[").matchesMiddleContentOfCharacters("[", "]"), (std::vector<std::string>{"1", "22"}));
    EXPECT_EQ(hx("<x><y>").matchesMiddleContentOfCharacters("<", ">"), (std::vector<std::string>{"x", "y"}));
    // A marker that makes a bad pattern: a line on standard output and no matches.
    testing::internal::CaptureStdout();
    EXPECT_TRUE(hx("abc").matchesMiddleContentOfCharacters("", "").empty());
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("\"invalid regex: ", 0), 0u);
    EXPECT_EQ(hx("see https://qv.cn and www.qv.cn").getUrls(), (std::vector<std::string>{"https://qv.cn", "www.qv.cn"}));
}
