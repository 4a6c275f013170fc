#include <QVPlatform/graphics/TextLayout.h>

#include <gtest/gtest.h>

#include <string>

using namespace platform;

namespace {

TextStyle style17(double maxWidth = 0, int maxLines = 0, NSLineBreakMode mode = NSLineBreakMode::byWordWrapping) {
    return {.font = {17, false}, .maxWidth = maxWidth, .maxLines = maxLines, .lineBreakMode = mode};
}

}  // namespace

TEST(TextLayout, FontMetricsComeFromNotoSansCJKAtAnySize) {
    const FontMetrics m = fontMetrics({17, false});
    // Noto Sans CJK: ascender 1.16 em, descender 0.288 em, no line gap.
    EXPECT_NEAR(m.ascender, 17 * 1.16, 0.05);
    EXPECT_NEAR(m.descender, -17 * 0.288, 0.05);
    EXPECT_NEAR(m.lineHeight, m.ascender - m.descender + m.leading, 1e-9);
    EXPECT_NEAR(fontMetrics({34, false}).lineHeight, 2 * m.lineHeight, 0.05);
    EXPECT_NEAR(fontMetrics({17, true}).lineHeight, m.lineHeight, 0.05);
}

TEST(TextLayout, ChineseIsOneEmPerCharacterAndOneLineHigh) {
    const TextMeasure m = measureText("你好世界", style17());
    EXPECT_NEAR(m.size.width, 68, 0.01);
    EXPECT_NEAR(m.size.height, fontMetrics({17, false}).lineHeight, 0.05);
    EXPECT_EQ(m.lineCount, 1);
    EXPECT_FALSE(m.truncated);
    // Bold Latin is wider than regular; an empty text takes no room.
    EXPECT_GT(measureText("Hello", {.font = {17, true}}).size.width, measureText("Hello", style17()).size.width);
    EXPECT_EQ(measureText("", style17()).size, (CGSize{0, 0}));
    EXPECT_EQ(measureText("", style17()).lineCount, 0);
}

TEST(TextLayout, WordWrappingBreaksBetweenWordsAndInsideOverlongOnes) {
    const double aaa = measureText("aaa", style17()).size.width;
    const double aaaB = measureText("aaa b", style17()).size.width;
    // Room for "aaa b" but not for "aaa bb": "bb" moves whole to the second line, and the
    // space the line breaks at is not counted.
    const TextMeasure words = measureText("aaa bb", style17(aaaB + 1));
    EXPECT_EQ(words.lineCount, 2);
    EXPECT_NEAR(words.size.width, aaa, 0.01);
    // A word longer than the width is broken rather than overflowing.
    const TextMeasure longWord = measureText("abcdefghijklmnopqrstuvwxyz", style17(50));
    EXPECT_GT(longWord.lineCount, 3);
    EXPECT_LE(longWord.size.width, 50);
    // Chinese wraps between characters: 10 characters of 17 points in 40 points are 5 lines of 2.
    const TextMeasure chinese = measureText("一二三四五六七八九十", style17(40));
    EXPECT_EQ(chinese.lineCount, 5);
    EXPECT_NEAR(chinese.size.width, 34, 0.01);
}

TEST(TextLayout, LineLimitTruncatesTheTailOrCutsTheRest) {
    const std::string text = "The quick brown fox jumps over the lazy dog again and again";
    const double line = fontMetrics({17, false}).lineHeight;
    const TextMeasure all = measureText(text, style17(100));
    ASSERT_GT(all.lineCount, 2);
    const TextMeasure tail = measureText(text, style17(100, 2, NSLineBreakMode::byTruncatingTail));
    EXPECT_EQ(tail.lineCount, 2);
    EXPECT_TRUE(tail.truncated);
    EXPECT_NEAR(tail.size.height, 2 * line, 0.1);
    EXPECT_LE(tail.size.width, 100);
    const TextMeasure clip = measureText(text, style17(100, 2, NSLineBreakMode::byClipping));
    EXPECT_EQ(clip.lineCount, 2);
    EXPECT_TRUE(clip.truncated);
    EXPECT_NEAR(clip.size.height, 2 * line, 0.1);
    // One line with tail truncation: the width is the limit at most.
    const TextMeasure one = measureText(text, style17(120, 1, NSLineBreakMode::byTruncatingTail));
    EXPECT_EQ(one.lineCount, 1);
    EXPECT_TRUE(one.truncated);
    EXPECT_LE(one.size.width, 120);
    // A text that fits is not truncated.
    EXPECT_FALSE(measureText("fox", style17(100, 1, NSLineBreakMode::byTruncatingTail)).truncated);
    // Line breaks in the text start new lines.
    EXPECT_EQ(measureText("a\nb\nc", style17()).lineCount, 3);
}

TEST(TextLayout, RepeatedMeasuresComeFromTheBoundedCache) {
    clearTextLayoutCache();
    measureText("cached once", style17(200));
    measureText("cached once", style17(200));
    EXPECT_EQ(textLayoutCacheCount(), 1u);
    measureText("cached once", style17(100));
    EXPECT_EQ(textLayoutCacheCount(), 2u);
    for (int i = 0; i < 1100; ++i) measureText(std::to_string(i), style17());
    EXPECT_EQ(textLayoutCacheCount(), 1024u);
}

TEST(TextLayout, DamagedInputMeasuresWithoutHarm) {
    const std::string broken = std::string("ab\xff\xfe") + '\0' + "cd\xe4\xbd";
    EXPECT_GT(measureText(broken, style17()).size.width, 0);
    EXPECT_EQ(measureText("x", {.font = {-5, false}}).lineCount, 1);
    EXPECT_EQ(measureText("x", {.font = {1e300, false}, .maxWidth = 1e300}).lineCount, 1);
    EXPECT_GT(measureText(std::string(10000, 'w'), style17(300)).lineCount, 10);
}
