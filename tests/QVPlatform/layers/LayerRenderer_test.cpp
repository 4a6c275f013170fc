#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/layers/LayerRenderer.h>

#include "support/Pixels.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace platform;
using namespace testing_support;

namespace {

const RGBA kWhite{255, 255, 255, 255};

std::shared_ptr<CALayer> canvas(double size = 40) {
    auto root = CALayer::layer();
    root->setBounds({{0, 0}, {size, size}});
    return root;
}

std::shared_ptr<CALayer> square(CGRect frame, CGColor color) {
    auto layer = CALayer::layer();
    layer->setFrame(frame);
    layer->setBackgroundColor(color);
    return layer;
}

}  // namespace

TEST(LayerRenderer, PlacesLayersByFramePositionAnchorAndTransform) {
    const auto root = canvas();
    root->addSublayer(square({{5, 5}, {10, 10}}, kRed));
    const auto turned = square({{0, 0}, {20, 10}}, kBlue);
    turned->setPosition({28, 28});
    turned->setAffineTransform(CGAffineTransformMakeRotation(std::numbers::pi / 2));  // now 10 wide, 20 tall
    root->addSublayer(turned);
    const auto lifted = square({{30, 0}, {10, 10}}, kRed);  // added first, drawn last
    lifted->setZPosition(1);
    root->insertSublayer(lifted, 0);
    root->addSublayer(square({{30, 0}, {10, 10}}, kBlue));
    const auto hidden = square({{0, 0}, {40, 40}}, kBlue);
    hidden->setHidden(true);
    root->addSublayer(hidden);

    const auto b = LayerRenderer::renderBitmap(*root, 1, CGColor::white());
    ASSERT_TRUE(b);
    savePicture(*b, "qv_layers_place");
    EXPECT_EQ(pixelAt(*b, 5, 5), kOpaqueRed);
    EXPECT_EQ(pixelAt(*b, 14, 14), kOpaqueRed);
    EXPECT_EQ(pixelAt(*b, 15, 10), kWhite);
    EXPECT_EQ(pixelAt(*b, 4, 10), kWhite);
    EXPECT_EQ(pixelAt(*b, 24, 19), kOpaqueBlue);
    EXPECT_EQ(pixelAt(*b, 32, 37), kOpaqueBlue);
    EXPECT_EQ(pixelAt(*b, 21, 28), kWhite);  // the unrotated layer would reach here
    EXPECT_EQ(pixelAt(*b, 28, 17), kWhite);
    EXPECT_EQ(pixelAt(*b, 35, 5), kOpaqueRed);  // zPosition orders siblings

    const auto doubled = LayerRenderer::renderBitmap(*root, 2);
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->width, 80);
    EXPECT_EQ(pixelAt(*doubled, 29, 29), kOpaqueRed);
    EXPECT_EQ(pixelAt(*doubled, 31, 31), kClear);  // no background given

    EXPECT_FALSE(LayerRenderer::renderBitmap(*CALayer::layer(), 1));  // zero size
    EXPECT_FALSE(LayerRenderer::renderBitmap(*root, 0));
}

TEST(LayerRenderer, ShapesFillStrokeAndStrokePartially) {
    const auto root = canvas();
    const auto shape = CAShapeLayer::layer();
    shape->setFrame({{0, 0}, {40, 40}});
    CGMutablePath line;
    line.moveTo({0, 5});
    line.addLineTo({40, 5});
    shape->setPath(line.copy());
    shape->setFillColor(std::nullopt);
    shape->setStrokeColor(kRed);
    shape->setLineWidth(4);
    shape->setStrokeStart(0.25);
    shape->setStrokeEnd(0.75);
    root->addSublayer(shape);

    const auto ring = CAShapeLayer::layer();
    ring->setFrame({{0, 0}, {40, 40}});
    CGMutablePath holes;
    holes.addRect({{10, 15}, {20, 20}});
    holes.addRect({{15, 20}, {10, 10}});
    ring->setPath(holes.copy());
    ring->setFillColor(kBlue);
    ring->setFillRule(kCAFillRuleEvenOdd);
    root->addSublayer(ring);

    const auto b = LayerRenderer::renderBitmap(*root, 1);
    ASSERT_TRUE(b);
    savePicture(*b, "qv_layers_shapes");
    EXPECT_EQ(pixelAt(*b, 12, 5), kOpaqueRed);
    EXPECT_EQ(pixelAt(*b, 28, 4), kOpaqueRed);
    EXPECT_EQ(pixelAt(*b, 20, 3), kOpaqueRed);  // width 4: rows 3 to 6
    EXPECT_EQ(pixelAt(*b, 20, 7), kClear);
    EXPECT_EQ(pixelAt(*b, 7, 5), kClear);   // before strokeStart
    EXPECT_EQ(pixelAt(*b, 33, 5), kClear);  // after strokeEnd
    EXPECT_EQ(pixelAt(*b, 12, 17), kOpaqueBlue);
    EXPECT_EQ(pixelAt(*b, 20, 25), kClear);  // the even-odd hole

    shape->setStrokeStart(0.8);  // start past end: no stroke
    const auto none = LayerRenderer::renderBitmap(*root, 1);
    EXPECT_EQ(pixelAt(*none, 35, 5), kClear);
}

TEST(LayerRenderer, RoundedCornersClipSublayersAndBordersSitInside) {
    const auto root = canvas();
    const auto card = square({{0, 0}, {40, 40}}, kRed);
    card->setCornerRadius(10);
    card->setMasksToBounds(true);
    card->addSublayer(square({{0, 0}, {40, 20}}, kBlue));  // covers the top half, corners included
    card->setBorderWidth(2);
    card->setBorderColor(CGColor{0, 1, 0, 1});
    root->addSublayer(card);

    const auto b = LayerRenderer::renderBitmap(*root, 1);
    ASSERT_TRUE(b);
    savePicture(*b, "qv_layers_rounded");
    EXPECT_EQ(pixelAt(*b, 1, 1), kClear);    // clipped corner
    EXPECT_EQ(pixelAt(*b, 38, 1), kClear);
    EXPECT_EQ(pixelAt(*b, 1, 38), kClear);   // rounded background
    EXPECT_EQ(pixelAt(*b, 6, 6), kOpaqueBlue);
    EXPECT_EQ(pixelAt(*b, 20, 30), kOpaqueRed);
    EXPECT_EQ(pixelAt(*b, 20, 0), (RGBA{0, 255, 0, 255}));   // border, inside the bounds
    EXPECT_EQ(pixelAt(*b, 39, 20), (RGBA{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(*b, 20, 2), kOpaqueBlue);
}

TEST(LayerRenderer, OpacityComposesAsAGroupAndShadowsFallOff) {
    const auto root = canvas(80);
    const auto group = CALayer::layer();
    group->setFrame({{0, 0}, {40, 20}});
    group->setOpacity(0.5);
    group->addSublayer(square({{0, 0}, {30, 20}}, kBlue));
    group->addSublayer(square({{10, 0}, {30, 20}}, kBlue));
    root->addSublayer(group);

    const auto lifted = square({{20, 30}, {30, 30}}, kRed);
    lifted->setShadowOpacity(1);
    lifted->setShadowRadius(4);
    lifted->setShadowOffset({0, 6});
    root->addSublayer(lifted);

    const auto b = LayerRenderer::renderBitmap(*root, 1);
    ASSERT_TRUE(b);
    savePicture(*b, "qv_layers_opacity_shadow");
    EXPECT_EQ(pixelAt(*b, 5, 10), pixelAt(*b, 20, 10));  // overlap no darker than one layer
    EXPECT_NEAR(pixelAt(*b, 20, 10)[3], 128, 1);

    EXPECT_EQ(pixelAt(*b, 35, 45), kOpaqueRed);
    const int near = pixelAt(*b, 35, 62)[3], mid = pixelAt(*b, 35, 66)[3], far = pixelAt(*b, 35, 70)[3];
    EXPECT_GT(near, mid);
    EXPECT_GT(mid, far);
    EXPECT_EQ(pixelAt(*b, 35, 78)[3], 0);
    EXPECT_EQ(pixelAt(*b, 35, 26)[3], 0);  // the shadow is pushed down, away from the top

    lifted->setOpacity(0.5);  // the shadow fades with the layer
    const auto faded = LayerRenderer::renderBitmap(*root, 1);
    EXPECT_NEAR(pixelAt(*faded, 35, 62)[3], near / 2, 2);

    // A shadow path casts the shadow without drawing its outline.
    const auto outlined = canvas(40);
    const auto ghost = CALayer::layer();
    ghost->setFrame({{0, 0}, {40, 40}});
    CGMutablePath shadowShape;
    shadowShape.addRect({{10, 10}, {10, 10}});
    ghost->setShadowPath(shadowShape.copy());
    ghost->setShadowOpacity(1);
    ghost->setShadowRadius(0);
    ghost->setShadowOffset({0, 0});
    outlined->addSublayer(ghost);
    const auto g = LayerRenderer::renderBitmap(*outlined, 1);
    EXPECT_EQ(pixelAt(*g, 15, 15), (RGBA{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(*g, 25, 15), kClear);
}

TEST(LayerRenderer, ContentsFollowGravityAndStatesCanBeSubstituted) {
    const auto root = canvas();
    const auto image = CALayer::layer();
    image->setFrame({{0, 0}, {40, 20}});
    Bitmap pixels = Bitmap::make(2, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            pixels.pixel(x, y)[x == 0 ? 0 : 2] = 255;
            pixels.pixel(x, y)[3] = 255;
        }
    }
    image->setContents(std::make_shared<const Bitmap>(pixels));
    image->setContentsGravity(CAContentsGravity::resizeAspect);  // 20 × 20, centred
    root->addSublayer(image);

    const auto b = LayerRenderer::renderBitmap(*root, 1);
    savePicture(*b, "qv_layers_contents");
    EXPECT_EQ(pixelAt(*b, 8, 10), kClear);
    EXPECT_EQ(pixelAt(*b, 12, 10), kOpaqueRed);
    EXPECT_EQ(pixelAt(*b, 27, 10), kOpaqueBlue);
    EXPECT_EQ(pixelAt(*b, 32, 10), kClear);

    // A presentation-like provider: the drawing uses its values, the model keeps its own.
    const LayerRenderer::StateProvider moved = [&](const CALayer& layer) {
        LayerState s = layer.state();
        if (&layer == image.get()) s.position = {20, 30};
        return s;
    };
    const auto p = LayerRenderer::renderBitmap(*root, 1, std::nullopt, moved);
    EXPECT_EQ(pixelAt(*p, 12, 30), kOpaqueRed);
    EXPECT_EQ(pixelAt(*p, 12, 10), kClear);
    EXPECT_EQ(image->position(), (CGPoint{20, 10}));

    const auto png = LayerRenderer::renderPNG(*root, 1);
    ASSERT_TRUE(png);
    EXPECT_EQ(*decodePNG(png->span()), *b);
}

TEST(LayerRenderer, ShadowGroupsHoldSublayersOutsideTheBoundsAndTheirShadows) {
    // A shadowed parent whose child sticks out to the right and casts its own shadow below.
    const auto root = canvas(100);
    const auto parent = square({{10, 10}, {20, 20}}, kBlue);
    parent->setShadowOpacity(1);
    parent->setShadowRadius(0);
    parent->setShadowOffset({0, 40});
    const auto child = square({{40, 0}, {20, 20}}, kRed);  // at 50...70 in the root
    child->setShadowOpacity(1);
    child->setShadowRadius(2);
    child->setShadowOffset({0, 10});
    parent->addSublayer(child);
    root->addSublayer(parent);
    const auto b = LayerRenderer::renderBitmap(*root, 2);
    ASSERT_TRUE(b);
    savePicture(*b, "qv_layers_group_box");
    expectPixels(*b, {{40, 40, kOpaqueBlue}, {120, 40, kOpaqueRed},
                      {40, 120, RGBA{0, 0, 0, 255}},     // the parent's shadow
                      {120, 120, RGBA{0, 0, 0, 255}}});  // the child's part of the group's shadow
    EXPECT_GT(pixelAt(*b, 120, 62)[3], 200);              // the child's own shadow, below it
    EXPECT_EQ(pixelAt(*b, 150, 40), kClear);
}
