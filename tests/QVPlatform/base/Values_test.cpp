#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Debug.h>
#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/base/NSString.h>
#include <QVPlatform/base/Text.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

TEST(Text, ConvertsUtf16AndCountsUserPerceivedCharacters) {
    EXPECT_EQ(utf16Length("a😀b"), 4u);
    EXPECT_EQ(utf8ToUtf16("é"), std::u16string(u"é"));
    EXPECT_EQ(utf16ToUtf8(u"😀"), "😀");
    EXPECT_EQ(characterCount("e\u0301👍🏽🇨🇳"), 3u);
    EXPECT_EQ(characters("a中😀"), (std::vector<std::string>{"a", "中", "😀"}));
    EXPECT_EQ(characterBoundaries(""), std::vector<std::size_t>{0});
    // Invalid bytes never fail: each becomes U+FFFD.
    EXPECT_EQ(utf8ToUtf16("a\xff"), std::u16string(u"a\uFFFD"));
    EXPECT_FALSE(isValidUtf8("a\xff"));
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, u'\xD800')), "\uFFFD") << "a lone surrogate";
    EXPECT_EQ(utf8OffsetOfUtf16Index("a😀b", 2), 1u) << "inside a pair: the pair's start";
    EXPECT_EQ(utf8OffsetOfUtf16Index("a😀b", 3), 5u);
    EXPECT_EQ(utf8OffsetOfUtf16Index("ab", 99), 2u);
}

TEST(NSString, RangesCountUtf16UnitsAndClamp) {
    const NSString s("a😀b");
    EXPECT_EQ(s.length(), 4u);
    EXPECT_EQ(s.substringWithRange({1, 2}).string(), "😀");
    EXPECT_EQ(s.substringWithRange({3, 100}).string(), "b");
    EXPECT_EQ(s.substringWithRange({100, 1}).string(), "");
    EXPECT_EQ(s.rangeOfString("b"), (NSRange{3, 1}));
    EXPECT_EQ(s.rangeOfString("z").location, NSNotFound);
    EXPECT_EQ(s.stringByReplacingCharactersInRange({1, 2}, "-").string(), "a-b");
    EXPECT_EQ(s.characterAtIndex(99), u'\0');
}

TEST(Any, LooksUpWithoutThrowingAndComparesNumbersByValue) {
    const Any v = Any::Dictionary{{"name", "QV"}, {"tags", Any::List{1, 2.5, true}}};
    EXPECT_EQ(v["name"].string(), "QV");
    EXPECT_EQ(v["tags"][1].doubleValue(), 2.5);
    EXPECT_TRUE(v["missing"].isNull());
    EXPECT_TRUE(v["tags"][9].isNull());
    EXPECT_TRUE(v["name"]["deeper"].isNull());
    EXPECT_EQ(v.count(), 2u);
    EXPECT_EQ(Any(2), Any(2.0));
    EXPECT_NE(Any("2"), Any(2));
    EXPECT_EQ(Any(1e300).integerValue(), INT64_MAX);
    EXPECT_EQ(Any(std::nan("")).integerValue(), 0);
    EXPECT_TRUE(Any(std::shared_ptr<NSObject>()).isNull());
}

TEST(Debug, QuotesTextsAndRoutesMessagesToTheSink) {
    EXPECT_EQ(quoted("a\"b\\c\n\t"), "\"a\\\"b\\\\c\\n\\t\"");
    EXPECT_EQ(quoted(std::string_view("\x01", 1)), "\"\\u{1}\"");
    std::vector<std::string> seen;
    auto previous = setDebugSink([&](std::string_view m, std::string_view file) {
        seen.push_back(std::string(file) + ":" + std::string(m));
    });
    debugPrint("获取缩略图失败");
    setDebugSink(previous);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "Values_test.cpp:获取缩略图失败");
}

TEST(Host, ReadsLanguagesAndLocaleFromConfigurationOrEnvironment) {
    EXPECT_EQ(languageTagFromPosixLocale("zh_CN.UTF-8"), "zh-CN");
    EXPECT_EQ(languageTagFromPosixLocale("C"), std::nullopt);
    EXPECT_EQ(languageTagFromPosixLocale("en_US@euro"), "en-US");
    Host::configure({.preferredLanguages = std::vector<std::string>{"zh-Hans-CN", "en"}, .localeIdentifier = "zh_CN"});
    EXPECT_EQ(Host::preferredLanguages(), (std::vector<std::string>{"zh-Hans-CN", "en"}));
    EXPECT_EQ(Host::localeIdentifier(), "zh_CN");
    const auto home = Host::homeDirectory();
    EXPECT_TRUE(std::filesystem::is_directory(Host::preferencesDirectory()));
    EXPECT_EQ(Host::cachesDirectory(), home / "Library/Caches");
    Host::configure({});
}

TEST(Host, RecognisesItsHomeFolderTextFromConfigurationOrEnvironment) {
    Host::configure({.homePath = std::filesystem::path("/configured/home")});
    EXPECT_TRUE(Host::isHomeDirectoryText("/configured/home"));
    EXPECT_FALSE(Host::isHomeDirectoryText("/configured/hom"));
    EXPECT_FALSE(Host::isHomeDirectoryText(""));
    Host::configure({});
    // Unconfigured, the folder comes from the environment (QV_HOME in tests).
    const std::string fromEnvironment = Host::homeDirectoryText();
    EXPECT_FALSE(fromEnvironment.empty());
    EXPECT_TRUE(Host::isHomeDirectoryText(fromEnvironment));
    EXPECT_FALSE(Host::isHomeDirectoryText("/configured/home"));
}
