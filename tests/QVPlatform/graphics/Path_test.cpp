#include <QVPlatform/graphics/Path.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace platform;

namespace {

std::vector<CGPathElementType> typesOf(const CGPath& path) {
    std::vector<CGPathElementType> out;
    for (const CGPathElement& e : path) out.push_back(e.type);
    return out;
}

}  // namespace

TEST(CGPath, BoundingBoxCountsControlPointsAndPathBoxIsTight) {
    CGMutablePath b;
    b.moveTo({0, 0});
    b.addQuadCurveTo({5, 20}, {10, 0});
    const CGPathRef path = b.copy();
    EXPECT_EQ(CGPathGetBoundingBox(*path), (CGRect{{0, 0}, {10, 20}}));
    const CGRect tight = CGPathGetPathBoundingBox(*path);
    EXPECT_NEAR(tight.height(), 10, 1e-9);  // the curve's peak is half way to its control point
    EXPECT_NEAR(tight.width(), 10, 1e-9);

    CGMutablePath cubic;
    cubic.moveTo({0, 0});
    cubic.addCurveTo({0, 40}, {10, 40}, {10, 0});
    EXPECT_EQ(cubic.boundingBox(), (CGRect{{0, 0}, {10, 40}}));
    EXPECT_NEAR(cubic.path().boundingBoxOfPath().height(), 30, 1e-9);

    EXPECT_TRUE(CGMutablePath().boundingBox().isNull());
}

TEST(CGPath, CurrentPointImplicitMovesAndNonFinitePoints) {
    CGMutablePath b;
    EXPECT_TRUE(b.isEmpty());
    b.addLineTo({5, 5});  // no current point: starts at (0, 0)
    EXPECT_EQ(typesOf(b.path()), (std::vector{CGPathElementType::moveToPoint, CGPathElementType::addLineToPoint}));
    EXPECT_EQ(b.path().points()[0], (CGPoint{0, 0}));

    b.moveTo({10, 10});
    b.addLineTo({20, 10});
    b.addLineTo({20, 20});
    b.closeSubpath();
    EXPECT_EQ(b.currentPoint(), (CGPoint{10, 10}));  // the closed subpath's start
    b.closeSubpath();                                  // already closed: nothing added
    b.addLineTo({30, 30});                             // begins a new subpath at (10, 10)
    const auto types = typesOf(b.path());
    ASSERT_EQ(types.size(), 8u);
    EXPECT_EQ(types[6], CGPathElementType::moveToPoint);
    EXPECT_EQ(b.path().points()[5], (CGPoint{10, 10}));

    // A move after a move replaces it: the box is the drawing's own.
    CGMutablePath drawing;
    drawing.moveTo({0, 0});
    drawing.moveTo({10, 10});
    drawing.addLineTo({20, 20});
    EXPECT_EQ(drawing.path().elementCount(), 2u);
    EXPECT_EQ(drawing.boundingBox(), (CGRect{{10, 10}, {10, 10}}));
    drawing.moveTo({50, 0});
    EXPECT_EQ(drawing.boundingBox(), (CGRect{{10, 0}, {40, 20}}));

    const std::size_t before = b.path().elementCount();
    b.addLineTo({std::numeric_limits<double>::infinity(), 0});
    b.addCurveTo({0, 0}, {std::nan(""), 1}, {2, 2});
    EXPECT_EQ(b.path().elementCount(), before);
    EXPECT_EQ(b.currentPoint(), (CGPoint{30, 30}));
}

TEST(CGPath, LengthTrimmingAndContainment) {
    CGMutablePath square;
    square.addRect({{0, 0}, {10, 10}});
    const CGPath& s = square.path();
    EXPECT_NEAR(s.length(), 40, 1e-9);  // the closing side counts

    const CGPathRef half = s.trimmed(0.25, 0.75);
    EXPECT_NEAR(half->length(), 20, 1e-9);
    EXPECT_EQ(half->points().front(), (CGPoint{10, 0}));
    EXPECT_EQ(half->points().back(), (CGPoint{0, 10}));
    EXPECT_TRUE(s.trimmed(0.5, 0.5)->isEmpty());
    EXPECT_TRUE(s.trimmed(0.9, 0.1)->isEmpty());

    CGMutablePath circle;
    circle.addEllipse({{0, 0}, {20, 20}});
    EXPECT_NEAR(circle.path().length(0.001), 20 * std::numbers::pi, 0.02);
    const CGPathRef quarter = circle.path().trimmed(0, 0.25, 0.001);
    EXPECT_NEAR(quarter->length(0.001), 5 * std::numbers::pi, 0.02);
    EXPECT_NEAR(quarter->currentPoint().x, 10, 0.01);  // from (20, 10) down to (10, 20)
    EXPECT_NEAR(quarter->currentPoint().y, 20, 0.01);

    CGMutablePath ring;
    ring.addRect({{0, 0}, {30, 30}});
    ring.addRect({{10, 10}, {10, 10}});
    EXPECT_TRUE(ring.path().containsPoint({15, 15}, false));  // same direction: non-zero keeps the hole filled
    EXPECT_FALSE(ring.path().containsPoint({15, 15}, true));
    EXPECT_TRUE(ring.path().containsPoint({5, 5}, true));
    EXPECT_FALSE(ring.path().containsPoint({35, 5}, false));
}

TEST(CGPath, ArcsEllipsesAndTransformedCopies) {
    CGMutablePath arc;
    arc.addArc({0, 0}, 10, 0, std::numbers::pi / 2, true);  // clockwise on screen: towards +y
    EXPECT_NEAR(arc.currentPoint().x, 0, 1e-9);
    EXPECT_NEAR(arc.currentPoint().y, 10, 1e-9);
    CGMutablePath back;
    back.addArc({0, 0}, 10, 0, std::numbers::pi / 2, false);  // the long way round, through -y
    EXPECT_NEAR(back.path().length(0.001), 1.5 * std::numbers::pi * 10, 0.05);
    EXPECT_LT(back.path().boundingBoxOfPath().minY(), -9.9);
    CGMutablePath bad;
    bad.addArc({0, 0}, -1, 0, 1, true);
    bad.addArc({0, 0}, std::nan(""), 0, 1, true);
    EXPECT_TRUE(bad.isEmpty());

    CGMutablePath rounded;
    rounded.addRoundedRect({{0, 0}, {40, 20}}, {50, 50});  // radii clamp to half of each side
    EXPECT_EQ(rounded.path().boundingBoxOfPath(), (CGRect{{0, 0}, {40, 20}}));
    EXPECT_FALSE(rounded.path().containsPoint({0.5, 0.5}, false));
    EXPECT_TRUE(rounded.path().containsPoint({20, 10}, false));

    const CGPathRef moved = rounded.path().transformed(CGAffineTransformMakeTranslation(5, 5));
    EXPECT_EQ(moved->boundingBox().origin, (CGPoint{5, 5}));
    CGMutablePath twice;
    const auto scale = CGAffineTransformMakeScale(2, 2);
    twice.addPath(rounded.path(), &scale);
    EXPECT_EQ(twice.boundingBox().size, (CGSize{80, 40}));
}
