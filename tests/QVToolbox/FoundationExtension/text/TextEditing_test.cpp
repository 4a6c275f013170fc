#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/ui/UIPasteboard.h>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>

using namespace QVToolbox;
using platform::NSRange;

TEST(TextEditing, SlicesClampAtBothEnds) {
    const auto t = hx("abcdef");
    EXPECT_EQ(t.sub({.to = 3}), "abc");
    EXPECT_EQ(t.sub({.to = 10}), "abcdef");
    EXPECT_EQ(t.sub({.to = -1}), "");
    EXPECT_EQ(t.sub({.from = 4}), "ef");
    EXPECT_EQ(t.sub({.from = 10}), "");
    EXPECT_EQ(t.sub({.start = 2, .length = -1}), "cdef");
    EXPECT_EQ(t.sub({.start = 1, .length = 2}), "bc");
    // Outside the text: clamped, never read past it.
    EXPECT_EQ(t.sub({.start = 4, .length = 10}), "ef");
    EXPECT_EQ(t.sub({.start = 10, .length = 2}), "");
    EXPECT_EQ(t.sub({.start = -3, .length = 2}), "ab");
    EXPECT_EQ(t.sub({.start = LONG_MAX, .length = LONG_MAX}), "");
    const auto abc = hx("abc");
    EXPECT_EQ(abc.slice({2, 2}), "");
    EXPECT_EQ(abc.slice({5, 9}), "");
    EXPECT_EQ(abc.slice({-3, 2}), "ab");
    EXPECT_EQ(abc.indexString(1), "b");
    EXPECT_EQ(abc.indexString(3), "");
    EXPECT_EQ(abc.indexString(LONG_MAX), "");
    // Characters, not bytes: a flag and an accented letter are one character each.
    const auto mixed = hx("🇨🇳e\u0301x");
    EXPECT_EQ(mixed.length(), 3);
    EXPECT_EQ(mixed.indexString(1), "e\u0301");
    EXPECT_EQ(mixed.validIndex(2), std::string("🇨🇳e\u0301").size());
    EXPECT_EQ(mixed.validIndex(4), std::string("🇨🇳e\u0301x").size());  // past the count, below the UTF-16 length
    EXPECT_EQ(t.truncateString(3), "abc...");
    EXPECT_EQ(abc.truncateString(3), "abc");
    EXPECT_EQ(abc.truncateString(-1), "...");
    EXPECT_EQ(hx("abcd").insertString("X", 2), "abXcd");
    EXPECT_EQ(hx("abcd").insertString("X", 0), "Xabcd");
    EXPECT_EQ(hx("abcd").insertString("X", 4), "abcdX");
    EXPECT_EQ(hx("a,,b").separatedByString(","), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(hx("ab").separatedByString(""), (std::vector<std::string>{"ab"}));
    EXPECT_EQ(hx("a😀").toArray(), (std::vector<std::string>{"a", "😀"}));
    EXPECT_EQ(hx("中文ab").countOfChars(), 6);
    EXPECT_EQ(hx("").countOfChars(), 0);
    EXPECT_EQ(hx("😀a").countOfChars(), 2);  // units 0 and 1 are the emoji's two halves
}

TEST(TextEditing, TrimmingAndRemoval) {
    EXPECT_EQ(hx(" \n a \n ").removeBeginEndAllSapceAndLinefeed(), " a ");
    EXPECT_EQ(hx("\t\u3000a b ").removeBeginEndAllSapcefeed(), "a b");
    EXPECT_EQ(hx("\r\n a\n").removeBeginEndAllLinefeed(), " a");
    EXPECT_EQ(hx(" \t").removeAllSapce(), "\t");
    EXPECT_EQ(hx("a\r\nb\n").removeAllLinefeed(), "a\rb");
    EXPECT_EQ(hx(" a\n b").removeAllLineAndSapcefeed(), "ab");
    EXPECT_EQ(hx("--a-b--").removeCharacter("-"), "a-b");
    EXPECT_EQ(hx("中a中").removeCharacter("中文"), "a");
    EXPECT_EQ(hx("aXbXc").removeSomeStringUseSomeString("X", "--"), "a--b--c");
    EXPECT_EQ(hx("aaa").removeSomeStringUseSomeString("aa", "b"), "ba");
    EXPECT_EQ(hx("abc").removeSomeStringUseSomeString("", "b"), "abc");
    EXPECT_EQ(hx("a😀c").replacingCharacters({1, 2}, "b"), "abc");
    EXPECT_EQ(hx("abc").replacingCharacters({2, 100}, "Z"), "abZ");
    EXPECT_EQ(hx("abc").replacingCharacters({100, 1}, "Z"), "abcZ");
}

TEST(TextEditing, Masking) {
    EXPECT_EQ(hx("13800138000").hide12BitsPhone("****"), "138****8000");
    EXPECT_EQ(hx("13800138000").hide12BitsPhone("*"), "138*8000");
    EXPECT_EQ(hx("1380013800099").hide12BitsPhone("*"), "138*8000");
    EXPECT_EQ(hx("1380013800").hide12BitsPhone("*"), "1380013800");
    EXPECT_EQ(hx("13800138000").hidePhone("*", 3, 4), "138****8000");
    EXPECT_EQ(hx("1380013").hidePhone("*", 3, 4), "1380013");
    EXPECT_EQ(hx("13800138000").hidePhone("ab", 3, 4), "138abababab8000");
    EXPECT_EQ(hx("13800138000").hidePhone("*", -5, 4), "*******8000");
    EXPECT_EQ(hx("13800138000").hidePhone("*", LONG_MAX, LONG_MAX), "13800138000");
    EXPECT_EQ(hx("abcdef@qq.com").hideEmail(), "a****f@qq.com");
    EXPECT_EQ(hx("ab@qq.com").hideEmail(), "ab@qq.com");
    EXPECT_EQ(hx("a@b@c").hideEmail(), "a@b@c");
    EXPECT_EQ(hx("abc").hideEmail(), "abc");
}

TEST(TextEditing, PinyinUuidAndPasteboard) {
    EXPECT_EQ(hx("中文").toPinyin(true), "zhōng wén");
    EXPECT_EQ(hx("中文").toPinyin(false), "zhong wen");
    EXPECT_EQ(hx("中华人").pinyinInitials(false), "zhr");
    EXPECT_EQ(hx(platform::NSString("中华人")).pinyinInitials(true), "ZHR");
    EXPECT_EQ(hx("").pinyinInitials(true), "");
    const auto uuid = HxPOP<std::string>::stringWithUUID();
    ASSERT_TRUE(uuid);
    EXPECT_EQ(uuid->size(), 36u);
    hx("复制").copy();
    EXPECT_EQ(platform::UIPasteboard::general().string(), "复制");
}
