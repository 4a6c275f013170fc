#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIScreen.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

TEST(UIFont, SystemFontsHaveTheirSizeAndNotoMetrics) {
    const auto font = UIFont::systemFontOfSize(17);
    EXPECT_EQ(font->pointSize(), 17);
    EXPECT_FALSE(font->isBold());
    EXPECT_TRUE(UIFont::boldSystemFontOfSize(17)->isBold());
    // Noto Sans CJK: 1.16 em above the baseline, 0.288 em below, no line gap.
    EXPECT_NEAR(font->lineHeight(), 17 * 1.448, 0.02);
    EXPECT_NEAR(font->ascender(), 17 * 1.16, 0.02);
    EXPECT_NEAR(font->descender(), -17 * 0.288, 0.02);
    EXPECT_EQ(font->leading(), 0);
    EXPECT_NEAR(font->withSize(34)->lineHeight(), 2 * font->lineHeight(), 0.02);
    EXPECT_EQ(UIFont::systemFontOfSize(-3)->pointSize(), 1);
    EXPECT_EQ(UIFont::systemFontOfSize(NAN)->pointSize(), 1);
}

TEST(UIFont, BoundingRectWrapsInTheBoxOrLaysOutOneLineOnTheBaseline) {
    const auto font = UIFont::systemFontOfSize(16);
    const auto fragment = NSStringDrawingOptions::usesLineFragmentOrigin | NSStringDrawingOptions::usesFontLeading;
    // Eight Chinese characters are 128 points: within 70 points they take two lines.
    const CGRect wrapped = boundingRect("一二三四五六七八", {70, 1000}, fragment, {font});
    EXPECT_EQ(wrapped.origin, (CGPoint{0, 0}));
    EXPECT_NEAR(wrapped.size.width, 64, 0.01);
    EXPECT_NEAR(wrapped.size.height, 2 * font->lineHeight(), 0.01);
    // A height for one line keeps one line.
    EXPECT_NEAR(boundingRect("一二三四五六七八", {70, font->lineHeight() + 1}, fragment, {font}).size.height,
                font->lineHeight(), 0.01);
    // Without line-fragment origin: one line, its box above the baseline.
    const CGRect line = boundingRect("一二三四五六七八", {70, 1000}, NSStringDrawingOptions::none, {font});
    EXPECT_NEAR(line.size.width, 128, 0.01);
    EXPECT_NEAR(line.origin.y, -font->ascender(), 0.01);
    // The default font is the system font at 12 points.
    EXPECT_NEAR(boundingRect("一", {0, 0}, fragment, {}).size.width, 12, 0.01);
    EXPECT_EQ(boundingRect("", {100, 100}, fragment, {font}).size, (CGSize{0, 0}));
}

TEST(UILabel, SizeThatFitsRoundsUpWithinTheWidthAndLineLimit) {
    auto label = std::make_shared<UILabel>();
    EXPECT_EQ(label->sizeThatFits({100, 100}), (CGSize{0, 0}));
    label->setText("你好世界");  // four 17-point characters
    const double line = std::ceil(label->font()->lineHeight());
    EXPECT_EQ(label->sizeThatFits({0, 0}), (CGSize{68, line}));
    // One line by default: the size is the whole line's, whatever the width offered.
    EXPECT_EQ(label->sizeThatFits({40, 0}), (CGSize{68, line}));
    label->setNumberOfLines(0);
    EXPECT_EQ(label->sizeThatFits({40, 0}), (CGSize{34, std::ceil(2 * label->font()->lineHeight())}));
    label->setText("The quick brown fox jumps over the lazy dog");
    label->setNumberOfLines(2);
    const CGSize two = label->sizeThatFits({100, 0});
    EXPECT_EQ(two.height, std::ceil(2 * label->font()->lineHeight()));
    EXPECT_LE(two.width, 100);
    label->setLineBreakMode(NSLineBreakMode::byCharWrapping);
    label->setNumberOfLines(0);
    EXPECT_GT(label->sizeThatFits({100, 0}).height, two.height);
    // sizeToFit keeps the origin; a bold font is wider.
    label->setFrame({{5, 6}, {1, 1}});
    label->setNumberOfLines(1);
    label->sizeToFit();
    EXPECT_EQ(label->frame().origin, (CGPoint{5, 6}));
    const double regular = label->frame().size.width;
    label->setFont(UIFont::boldSystemFontOfSize(17));
    label->sizeToFit();
    EXPECT_GT(label->frame().size.width, regular);
}

TEST(UILabel, TextRectHoldsTheLinesThatFitTheBounds) {
    auto label = std::make_shared<UILabel>();
    label->setText("一二三四五六七八九十");
    label->setNumberOfLines(0);
    const double line = label->font()->lineHeight();
    const CGRect r = label->textRectForBounds({{0, 0}, {40, line * 2.5}}, 0);
    EXPECT_NEAR(r.size.height, 2 * line, 0.01);
    EXPECT_GE(r.size.width, 34);  // the second line ends in an ellipsis
    EXPECT_LE(r.size.width, 40);
    EXPECT_NEAR(label->textRectForBounds({{0, 0}, {40, 1000}}, 3).size.height, 3 * line, 0.01);
}

TEST(UILabel, ChangesAreDrawnInTheCommitStepAtTheEndOfTheTurn) {
    auto label = std::make_shared<UILabel>(CGRect{{0, 0}, {80, 30}});
    label->setText("Hi");
    EXPECT_TRUE(label->needsDisplay());
    EXPECT_EQ(label->layer()->contents(), nullptr);
    RunLoop::main().runUntilIdle();
    EXPECT_FALSE(label->needsDisplay());
    const auto drawn = label->layer()->contents();
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->width, static_cast<int>(80 * UIScreen::main()->scale()));
    label->setText("Hi");  // the same text: nothing to draw
    EXPECT_FALSE(label->needsDisplay());
    label->setText("");
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(label->layer()->contents(), nullptr);  // nothing drawn, no bitmap
}
