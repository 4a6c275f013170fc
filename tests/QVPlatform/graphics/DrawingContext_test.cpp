#include <QVPlatform/graphics/DrawingContext.h>

#include "support/Pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace platform;
using namespace testing_support;

namespace {


}  // namespace

TEST(CGContext, FillsInsideAndLeavesOutsideWithEvenOddHolesAndScale) {
    auto ctx = CGContext::make(40, 40, 2);  // 20 × 20 points
    ASSERT_TRUE(ctx);
    EXPECT_EQ(ctx->size(), (CGSize{20, 20}));
    ctx->fillRect({{2, 2}, {6, 6}}, kRed);  // pixels 4..15

    CGMutablePath ring;
    ring.addRect({{10, 10}, {9, 9}});
    ring.addRect({{12, 12}, {5, 5}});
    ctx->fillPath(ring.path(), kBlue, CGPathFillRule::evenOdd);
    const Bitmap b = ctx->bitmap();
    savePicture(b, "qv_context_fill");
    expectPixels(b, {{4, 4, kOpaqueRed}, {15, 15, kOpaqueRed}, {16, 16, kClear}, {3, 10, kClear},
                     {21, 21, kOpaqueBlue},  // inside the ring
                     {29, 29, kClear},       // the even-odd hole
                     {36, 36, kOpaqueBlue}});

    auto winding = CGContext::make(40, 40, 2);
    winding->fillPath(ring.path(), kBlue, CGPathFillRule::winding);
    EXPECT_EQ(pixelAt(winding->bitmap(), 29, 29), kOpaqueBlue);  // both squares turn the same way
}

TEST(CGContext, StrokeWidthCapsAndDashes) {
    auto ctx = CGContext::make(40, 40);
    CGMutablePath line;
    line.moveTo({10, 10});
    line.addLineTo({30, 10});
    CGStrokeStyle style;
    style.lineWidth = 4;
    ctx->strokePath(line.path(), kRed, style);
    CGMutablePath dashed;
    dashed.moveTo({0, 30});
    dashed.addLineTo({40, 30});
    CGStrokeStyle dash;
    dash.lineWidth = 2;
    dash.dashes = {5, 5};
    ctx->strokePath(dashed.path(), kBlue, dash);
    const Bitmap b = ctx->bitmap();
    savePicture(b, "qv_context_stroke");
    for (int y = 8; y <= 11; ++y) EXPECT_EQ(pixelAt(b, 20, y), kOpaqueRed) << y;
    EXPECT_EQ(pixelAt(b, 20, 7), kClear);
    EXPECT_EQ(pixelAt(b, 20, 12), kClear);
    EXPECT_EQ(pixelAt(b, 9, 10), kClear);  // butt cap: nothing before the start
    EXPECT_EQ(pixelAt(b, 2, 29), kOpaqueBlue);
    EXPECT_EQ(pixelAt(b, 7, 29), kClear);  // the gap
    EXPECT_EQ(pixelAt(b, 12, 29), kOpaqueBlue);

    auto square = CGContext::make(40, 40);
    style.cap = CGLineCap::square;
    square->strokePath(line.path(), kRed, style);
    EXPECT_EQ(pixelAt(square->bitmap(), 9, 10), kOpaqueRed);

    // Widths and dashes that make no sense draw nothing or a solid line, and never break the context.
    auto odd = CGContext::make(40, 40);
    CGStrokeStyle bad;
    bad.lineWidth = std::nan("");
    odd->strokePath(line.path(), kRed, bad);
    bad.lineWidth = 2;
    bad.dashes = {0, 0};
    bad.miterLimit = -1;
    odd->strokePath(dashed.path(), kRed, bad);
    const Bitmap o = odd->bitmap();
    EXPECT_EQ(pixelAt(o, 20, 10), kClear);
    EXPECT_EQ(pixelAt(o, 7, 29), kOpaqueRed);
}

TEST(CGContext, TransformsAndStateAndSingularOrHugeInputsNeverPoisonTheContext) {
    auto ctx = CGContext::make(40, 40);
    ctx->saveGState();
    ctx->translateBy(20, 20);
    ctx->rotateBy(std::numbers::pi / 2);  // (x, y) -> (-y, x) on screen
    ctx->fillRect({{0, 0}, {10, 5}}, kRed);  // lands at x -5...0, y 0...10 around (20, 20)
    ctx->restoreGState();
    ctx->restoreGState();  // unbalanced: ignored

    ctx->saveGState();
    ctx->scaleBy(0, 1);  // singular: nothing drawn until restored
    ctx->fillRect({{0, 0}, {40, 40}}, kBlue);
    ctx->concatCTM({std::nan(""), 0, 0, 1, 0, 0});
    ctx->fillRect({{0, 0}, {40, 40}}, kBlue);
    ctx->restoreGState();
    ctx->fillRect({{0, 36}, {1e12, 1e12}}, kBlue);  // far past Cairo's fixed-point range
    ctx->fillRect({{30, 0}, {5, 5}}, CGColor{5, -3, std::nan(""), 9});
    const Bitmap b = ctx->bitmap();
    savePicture(b, "qv_context_transform");
    expectPixels(b, {{17, 25, kOpaqueRed}, {22, 25, kClear}, {17, 19, kClear}, {5, 5, kClear}, {5, 38, kOpaqueBlue},
                     {39, 39, kOpaqueBlue},
                     {32, 2, kOpaqueRed}});  // components clamped
    EXPECT_EQ(ctx->ctm(), CGAffineTransformIdentity);

    EXPECT_FALSE(CGContext::make(0, 10));
    EXPECT_FALSE(CGContext::make(20000, 10));
    EXPECT_FALSE(CGContext::make(10, 10, std::numeric_limits<double>::infinity()));
}

TEST(CGContext, ClipsAlphaGroupsAndBitmaps) {
    auto ctx = CGContext::make(40, 40);
    ctx->saveGState();
    ctx->clipToRect({{0, 0}, {10, 40}});
    ctx->fillRect({{0, 0}, {40, 5}}, kRed);
    ctx->restoreGState();
    EXPECT_EQ(pixelAt(ctx->bitmap(), 5, 2), kOpaqueRed);
    EXPECT_EQ(pixelAt(ctx->bitmap(), 15, 2), kClear);

    // Two overlapping squares at alpha 0.5 as one group: the overlap is no darker.
    ctx->setAlpha(0.5);
    ctx->beginTransparencyLayer();
    ctx->fillRect({{0, 10}, {20, 10}}, kBlue);
    ctx->fillRect({{10, 10}, {20, 10}}, kBlue);
    ctx->endTransparencyLayer();
    ctx->endTransparencyLayer();  // unbalanced: ignored
    const Bitmap g = ctx->bitmap();
    EXPECT_EQ(pixelAt(g, 5, 15), pixelAt(g, 15, 15));
    EXPECT_NEAR(pixelAt(g, 15, 15)[3], 128, 1);

    // A 2 × 1 bitmap stretched over 20 × 10 points, nearest neighbour.
    Bitmap picture = Bitmap::make(2, 1);
    picture.pixel(0, 0)[0] = 255;
    picture.pixel(0, 0)[3] = 255;
    picture.pixel(1, 0)[1] = 255;
    picture.pixel(1, 0)[3] = 128;
    ctx->setAlpha(1);
    ctx->drawBitmap(picture, {{0, 25}, {20, 10}}, CGInterpolationQuality::none);
    const Bitmap b = ctx->bitmap();
    savePicture(b, "qv_context_groups");
    EXPECT_EQ(pixelAt(b, 2, 30), kOpaqueRed);
    EXPECT_EQ(pixelAt(b, 18, 30), (RGBA{0, 255, 0, 128}));
    EXPECT_EQ(pixelAt(b, 25, 30), kClear);

    const auto png = ctx->pngData();
    ASSERT_TRUE(png);
    const auto decoded = decodePNG({png->bytes(), png->count()});
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, b);
}

TEST(CGContext, ShadowFallsOffAwayFromTheShape) {
    auto ctx = CGContext::make(60, 60);
    ctx->setShadow({5, 5}, 6, CGColor::black());
    ctx->fillRect({{15, 15}, {20, 20}}, kRed);
    const Bitmap b = ctx->bitmap();
    savePicture(b, "qv_context_shadow");
    EXPECT_EQ(pixelAt(b, 25, 25), kOpaqueRed);  // the shape on top of its shadow
    const int inside = pixelAt(b, 38, 30)[3];   // under the offset shape, near its edge
    const int edge = pixelAt(b, 41, 30)[3];
    const int far = pixelAt(b, 47, 30)[3];
    EXPECT_GT(inside, edge);
    EXPECT_GT(edge, far);
    EXPECT_GT(far, 0);
    EXPECT_EQ(pixelAt(b, 57, 30)[3], 0);
    EXPECT_EQ(pixelAt(b, 10, 25)[3], 0);  // the offset moves the shadow away from this side
    EXPECT_EQ(pixelAt(b, 38, 30)[0], 0);  // black

    // An enormous blur is capped: it draws quickly, in bounded memory, as a faint haze.
    auto wide = CGContext::make(60, 60, 3);
    wide->setShadow({0, 0}, 1e9, CGColor::black());
    wide->fillRect({{2, 2}, {2, 2}}, kRed);
    EXPECT_EQ(pixelAt(wide->bitmap(), 9, 9), kOpaqueRed);
    EXPECT_LT(pixelAt(wide->bitmap(), 40, 40)[3], 10);
}

TEST(CGContext, CroppedGroupsCutTheirContentButNotTheirShadow) {
    auto ctx = CGContext::make(60, 60);
    ctx->setShadow({0, 6}, 0, CGColor::black());
    ctx->beginTransparencyLayerWithRect({{10, 10}, {20, 20}});
    ctx->fillRect({{0, 10}, {40, 20}}, kRed);  // wider than the group's rectangle
    ctx->endTransparencyLayer();
    const Bitmap b = ctx->bitmap();
    savePicture(b, "qv_context_cropped_group");
    EXPECT_EQ(pixelAt(b, 15, 15), kOpaqueRed);
    EXPECT_EQ(pixelAt(b, 5, 15), kClear);  // cut off at the rectangle
    EXPECT_EQ(pixelAt(b, 35, 15), kClear);
    EXPECT_EQ(pixelAt(b, 15, 33), (RGBA{0, 0, 0, 255}));  // the shadow lies below the rectangle
    EXPECT_EQ(pixelAt(b, 35, 33), kClear);                 // and comes only from what was kept

    // Under a rotation the rectangle's box is rotated too; a degenerate transform draws nothing.
    auto turned = CGContext::make(60, 60);
    turned->translateBy(30, 30);
    turned->rotateBy(std::numbers::pi / 2);
    turned->beginTransparencyLayerWithRect({{0, 0}, {20, 5}});  // device x 25...30, y 30...50
    turned->fillRect({{-30, -30}, {60, 60}}, kBlue);
    turned->endTransparencyLayer();
    turned->scaleBy(0, 1);
    turned->beginTransparencyLayerWithRect({{0, 0}, {20, 20}});
    turned->fillRect({{-30, -30}, {60, 60}}, kRed);
    turned->endTransparencyLayer();
    expectPixels(turned->bitmap(), {{27, 40, kOpaqueBlue}, {32, 40, kClear}, {27, 25, kClear}});
}

TEST(CGContext, TakeBitmapHandsOverThePixelsAndLeavesAnInertContext) {
    auto ctx = CGContext::make(4, 2);
    ctx->fillRect({{0, 0}, {1, 2}}, kRed);
    ctx->fillRect({{1, 0}, {1, 2}}, CGColor{0, 1, 0, 0.5});
    ctx->fillRect({{2, 0}, {1, 2}}, CGColor{0.2, 0.4, 0.6, 0.2});
    ctx->saveGState();
    ctx->beginTransparencyLayer();  // left open: taking ends it
    const Bitmap copy = ctx->bitmap();
    const Bitmap taken = ctx->takeBitmap();
    EXPECT_EQ(copy, taken);
    expectPixels(taken, {{0, 1, kOpaqueRed}, {1, 1, RGBA{0, 255, 0, 128}}, {3, 0, kClear}});
    EXPECT_NEAR(pixelAt(taken, 2, 0)[2], 153, 3);  // 0.6, back from premultiplied at alpha 0.2
    EXPECT_EQ(ctx->pixelWidth(), 0);
    ctx->fillRect({{0, 0}, {4, 2}}, kBlue);  // nothing to draw on, and no harm done
    ctx->endTransparencyLayer();
    ctx->restoreGState();
    EXPECT_TRUE(ctx->bitmap().empty());
    EXPECT_TRUE(ctx->takeBitmap().empty());
}

TEST(CGContext, SharedBitmapsDrawTheirOwnPixelsFrameAfterFrame) {
    const auto solid = [](std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
        Bitmap bitmap = Bitmap::make(2, 2);
        for (std::size_t i = 0; i < bitmap.rgba.size(); i += 4) {
            bitmap.rgba[i] = r, bitmap.rgba[i + 1] = g, bitmap.rgba[i + 2] = b, bitmap.rgba[i + 3] = a;
        }
        return std::make_shared<const Bitmap>(std::move(bitmap));
    };
    const auto draw = [](const std::shared_ptr<const Bitmap>& bitmap) {
        auto ctx = CGContext::make(4, 4);
        ctx->drawBitmap(bitmap, {{0, 0}, {4, 4}}, CGInterpolationQuality::none);
        return pixelAt(ctx->takeBitmap(), 1, 1);
    };
    auto first = solid(255, 0, 0, 255);
    EXPECT_EQ(draw(first), kOpaqueRed);
    EXPECT_EQ(draw(first), kOpaqueRed);  // the second time from the kept surface
    first.reset();
    // A new bitmap, quite possibly at the dead one's address, shows its own pixels.
    for (int round = 0; round < 4; ++round) {
        const auto next = solid(0, 0, 255, 128);
        EXPECT_EQ(draw(next), (RGBA{0, 0, 255, 128}));
    }
    EXPECT_EQ(draw(nullptr), kClear);
}
