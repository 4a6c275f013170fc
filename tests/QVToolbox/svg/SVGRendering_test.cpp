// Small drawings rendered through the layer renderer, checked at known pixels.
#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGLayer.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/layers/LayerRenderer.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace QVToolbox;

namespace {

using RGBA = std::array<int, 4>;

std::shared_ptr<SVGLayer> parsed(const std::string& svg) {
    auto result = std::make_shared<std::shared_ptr<SVGLayer>>();
    auto parser = NSXMLSVGParser::make(platform::Data::fromString(svg), SVGParserSupportedElements::allSupportedElements(),
                                       [result](std::shared_ptr<SVGLayer> layer) { *result = std::move(layer); });
    platform::ManualClock::start();
    EXPECT_TRUE(parser->startParsing());
    platform::ManualClock::drain();
    platform::RunLoop::main().runUntilIdle();
    platform::ManualClock::stop();
    return *result;
}

// The layer drawn on white into a 40×40 bitmap.
platform::Bitmap render(const std::shared_ptr<SVGLayer>& layer) {
    auto canvas = platform::CALayer::layer();
    canvas->setBounds({{0, 0}, {40, 40}});
    canvas->addSublayer(layer);
    return platform::LayerRenderer::renderBitmap(*canvas, 1, platform::CGColor::white()).value();
}
platform::Bitmap render(const std::string& svg) { return render(parsed(svg)); }

RGBA at(const platform::Bitmap& b, int x, int y) {
    const auto* p = b.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

constexpr RGBA kWhite{255, 255, 255, 255}, kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255};

}  // namespace

TEST(SVGRenderingTest, FillsStrokesAndRules) {
    // A red square: inside red, outside white.
    const auto square = render("<svg><rect x='10' y='10' width='20' height='20' fill='red'/></svg>");
    EXPECT_EQ(at(square, 20, 20), kRed);
    EXPECT_EQ(at(square, 5, 5), kWhite);
    EXPECT_EQ(at(square, 31, 20), kWhite);

    // Even-odd: the inner square is a hole; non-zero (same direction) fills it.
    const std::string rings = "M4 4 H36 V36 H4 Z M14 14 H26 V26 H14 Z";
    const auto evenOdd = render("<svg><path fill='blue' fill-rule='evenodd' d='" + rings + "'/></svg>");
    EXPECT_EQ(at(evenOdd, 20, 20), kWhite);
    EXPECT_EQ(at(evenOdd, 8, 20), kBlue);
    EXPECT_EQ(at(render("<svg><path fill='blue' d='" + rings + "'/></svg>"), 20, 20), kBlue);

    // A stroke 6 wide along y = 20: covered from 17 to 23, not at 24; fill "none" leaves the
    // inside of the closed outline white.
    const auto stroke = render("<svg><path d='M5 20 H35 V35 H5 Z' fill='none' stroke='red' stroke-width='6'/></svg>");
    EXPECT_EQ(at(stroke, 20, 18), kRed);
    EXPECT_EQ(at(stroke, 20, 22), kRed);
    EXPECT_EQ(at(stroke, 20, 16), kWhite);
    EXPECT_EQ(at(stroke, 20, 28), kWhite);
}

TEST(SVGRenderingTest, TransformsViewBoxesOpacityAndPartialStrokes) {
    // translate then scale: the 5×5 square at the origin covers 10...20.
    const auto moved = render("<svg><rect width='5' height='5' fill='red' transform='translate(10 10) scale(2)'/></svg>");
    EXPECT_EQ(at(moved, 15, 15), kRed);
    EXPECT_EQ(at(moved, 5, 5), kWhite);
    EXPECT_EQ(at(moved, 21, 15), kWhite);

    // viewBox 10 10: content at (10, 10) lands on the canvas corner.
    const auto viewBox = render("<svg viewBox='10 10 40 40'><rect x='10' y='10' width='10' height='10' fill='red'/></svg>");
    EXPECT_EQ(at(viewBox, 2, 2), kRed);
    EXPECT_EQ(at(viewBox, 15, 15), kWhite);

    // A group's opacity 0.5: red over white at half.
    const auto faded = render("<svg><g opacity='0.5'><rect width='40' height='40' fill='red'/></g></svg>");
    const RGBA half = at(faded, 20, 20);
    EXPECT_EQ(half[0], 255);
    EXPECT_NEAR(half[1], 128, 2);

    // A partial stroke: the first half of a horizontal line.
    auto layer = parsed("<svg><path d='M0 20 H40' stroke='blue' stroke-width='4' fill='none'/></svg>");
    auto shape = std::dynamic_pointer_cast<platform::CAShapeLayer>(layer->sublayers().at(0)->sublayers().at(0));
    ASSERT_TRUE(shape);
    shape->setStrokeEnd(0.5);
    const auto partial = render(layer);
    EXPECT_EQ(at(partial, 10, 20), kBlue);
    EXPECT_EQ(at(partial, 30, 20), kWhite);

    // A rounded rectangle: the corner pixel is outside the rounding, the middle inside.
    const auto rounded = render("<svg><rect x='0' y='0' width='40' height='40' rx='12' fill='red'/></svg>");
    EXPECT_EQ(at(rounded, 1, 1), kWhite);
    EXPECT_EQ(at(rounded, 20, 1), kRed);
    EXPECT_EQ(at(rounded, 20, 20), kRed);
}
