#include <QVToolbox/UIKitExtension/ColorHelpers.h>

#include <gtest/gtest.h>

using namespace QVToolbox;

TEST(ColorHelpers, HexTextsReadWithAndWithoutPrefixes) {
    const ColorRGB orange{255, 128, 0};
    EXPECT_EQ(hexStringToColorRGB("#FF8000"), orange);
    EXPECT_EQ(hexStringToColorRGB("ff8000"), orange);
    EXPECT_EQ(hexStringToColorRGB("0xff8000"), orange);
    EXPECT_EQ(hexStringToColorRGB("##FF8000"), orange);
    EXPECT_EQ(hexStringToColorRGB("#FF8000AA"), orange);  // past the sixth character: ignored
    // A pair that is not hexadecimal reads as 0; the others still count.
    EXPECT_EQ(hexStringToColorRGB("#GG0080"), (ColorRGB{0, 0, 128}));
    EXPECT_EQ(hexStringToColorRGB("#0x12ab"), (ColorRGB{0, 0x12, 0xAB}));
}

TEST(ColorHelpers, TextsTooShortGiveNoColourAndWhiteForTheFallback) {
    EXPECT_EQ(hexStringToColorRGB("FF800"), ColorRGB{});
    // Long enough before the prefix is dropped, too short after: no read past the end.
    EXPECT_EQ(hexStringToColorRGB("0x#FFF"), ColorRGB{});
    EXPECT_EQ(hexStringToColorRGB("##FFF0"), ColorRGB{});
    EXPECT_EQ(colorWithHexString("#FFF"), nullptr);
    EXPECT_EQ(*hexStringColor("#FFF", 1), *platform::UIColor::whiteColor());
    // Characters are user-perceived characters: six emoji are six characters, none hexadecimal.
    EXPECT_EQ(hexStringToColorRGB("😀😀😀😀😀😀"), (ColorRGB{0, 0, 0}));
}

TEST(ColorHelpers, HexTextBackUsesTheTruncatingScaleAndClamps) {
    EXPECT_EQ(hexString(*platform::UIColor::redColor()), "#FF0000");
    EXPECT_EQ(hexString(*platform::UIColor::colorWithRed(1, 0, 0, 0.5)), "#FF00007F");
    EXPECT_EQ(hexString(*platform::UIColor::colorWithRed(0.5, 0.5, 0.5, 1)), "#7F7F7F");
    // Components outside 0...1 (extended range) are clamped before they become integers.
    EXPECT_EQ(hexString(*platform::UIColor::colorWithRed(1.7, -0.2, 0, 1)), "#FF0000");
    EXPECT_EQ(hexString(*colorWithHexString("3C9DF0")), "#3C9DF0");
}

TEST(ColorHelpers, HexNumbersKeepTheUnmaskedTop) {
    const auto color = colorWithHexInt(0x1FF0000, 1);
    EXPECT_DOUBLE_EQ(color->red(), 511.0 / 255);
    EXPECT_DOUBLE_EQ(colorWithHexInt(0x00FF80, 1)->blue(), 128.0 / 255);
    EXPECT_FLOAT_EQ(static_cast<float>(hexIntColor(0x336699, 1)->green()), 0x66 / 255.0f);
}

TEST(ColorHelpers, HueSaturationBrightnessAndDeltas) {
    const ColorHSBA orange = hsba(*colorWith(255, 128, 0));
    EXPECT_NEAR(orange.hue, 30.1, 0.1);
    EXPECT_DOUBLE_EQ(orange.saturation, 1);
    EXPECT_DOUBLE_EQ(orange.brightness, 1);
    EXPECT_DOUBLE_EQ(hsba(*colorWith(0, 0, 255)).hue, 240);
    EXPECT_DOUBLE_EQ(hsba(*platform::UIColor::grayColor()).saturation, 0);

    const ColorDelta delta = getRGBDelta(*colorWith(200, 100, 0), *colorWith(50, 100, 255));
    EXPECT_NEAR(delta.red, 150, 1e-9);
    EXPECT_NEAR(delta.green, 0, 1e-9);
    EXPECT_NEAR(delta.blue, -255, 1e-9);
}

TEST(ColorHelpers, RandomColoursAreOpaqueWholeSteps) {
    for (int i = 0; i < 50; ++i) {
        const auto color = randomColor();
        EXPECT_EQ(color->alpha(), 1);
        const double r = color->red() * 255;
        EXPECT_NEAR(r, std::round(r), 1e-9);
        EXPECT_GE(r, 0);
        EXPECT_LE(r, 255);
    }
}
