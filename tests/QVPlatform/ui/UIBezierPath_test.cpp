#include <QVPlatform/ui/UIBezierPath.h>
#include <QVPlatform/ui/UIColor.h>

#include <gtest/gtest.h>

#include <numbers>

using namespace platform;

TEST(UIBezierPath, BuildersCurrentPointBoundsAndTheCachedOutline) {
    const auto p = UIBezierPath::bezierPath();
    EXPECT_TRUE(p->isEmpty());
    EXPECT_EQ(p->currentPoint(), CGPointZero);
    EXPECT_TRUE(p->bounds().isNull());
    p->moveToPoint({0, 0});
    p->addLineToPoint({10, 0});
    p->addQuadCurveToPoint({10, 10}, {20, 5});
    EXPECT_EQ(p->currentPoint(), (CGPoint{10, 10}));
    p->addCurveToPoint({0, 10}, {5, 30}, {-5, 10});
    EXPECT_EQ(p->bounds(), (CGRect{{-5, 0}, {25, 30}}));  // control points count
    p->closePath();
    EXPECT_EQ(p->currentPoint(), (CGPoint{0, 0}));

    const CGPathRef first = p->cgPath();
    EXPECT_EQ(p->cgPath(), first);  // the same object until the path changes
    p->addLineToPoint({1, 1});
    EXPECT_NE(p->cgPath(), first);
    EXPECT_EQ(first->elementCount(), 5u);

    const auto copy = UIBezierPath::bezierPathWithCGPath(*first);
    EXPECT_EQ(*copy->cgPath(), *first);
    copy->appendPath(*copy);
    EXPECT_EQ(copy->cgPath()->elementCount(), 10u);
    copy->applyTransform(CGAffineTransformMakeTranslation(100, 0));
    EXPECT_EQ(copy->bounds().minX(), 95);
    copy->removeAllPoints();
    EXPECT_TRUE(copy->isEmpty());
}

TEST(UIBezierPath, ShapesArcsRoundedCornersAndFillRule) {
    const auto rect = UIBezierPath::bezierPathWithRect({{1, 2}, {3, 4}});
    EXPECT_EQ(rect->bounds(), (CGRect{{1, 2}, {3, 4}}));
    EXPECT_EQ(rect->cgPath()->elementCount(), 5u);

    const auto oval = UIBezierPath::bezierPathWithOvalInRect({{0, 0}, {20, 10}});
    EXPECT_EQ(oval->bounds(), (CGRect{{0, 0}, {20, 10}}));
    EXPECT_TRUE(oval->containsPoint({10, 5}));
    EXPECT_FALSE(oval->containsPoint({1, 1}));

    // The gauge's arc: from the top, clockwise on screen, all the way round.
    const auto gauge = UIBezierPath::bezierPathWithArcCenter({50, 50}, 50, -std::numbers::pi / 2, 1.5 * std::numbers::pi, true);
    EXPECT_NEAR(gauge->cgPath()->points().front().y, 0, 1e-9);
    EXPECT_NEAR(gauge->currentPoint().x, 50, 1e-9);
    EXPECT_NEAR(gauge->currentPoint().y, 0, 1e-9);
    EXPECT_NEAR(gauge->cgPath()->length(0.001), 2 * std::numbers::pi * 50, 0.1);
    const auto quarter = gauge->cgPath()->trimmed(0, 0.25, 0.001);
    EXPECT_NEAR(quarter->currentPoint().x, 100, 0.01);  // clockwise from the top reaches the right
    EXPECT_NEAR(quarter->currentPoint().y, 50, 0.01);

    const auto corners = UIBezierPath::bezierPathWithRoundedRect({{0, 0}, {40, 40}}, UIRectCornerTopLeft, {10, 10});
    EXPECT_FALSE(corners->containsPoint({1, 1}));
    EXPECT_TRUE(corners->containsPoint({39, 1}));
    EXPECT_TRUE(corners->containsPoint({1, 39}));
    const auto all = UIBezierPath::bezierPathWithRoundedRect({{0, 0}, {40, 40}}, 100);  // clamped to 20: a circle
    EXPECT_FALSE(all->containsPoint({39, 1}));
    EXPECT_TRUE(all->containsPoint({20, 1}));

    const auto ring = UIBezierPath::bezierPathWithRect({{0, 0}, {30, 30}});
    ring->appendPath(*UIBezierPath::bezierPathWithRect({{10, 10}, {10, 10}}));
    EXPECT_TRUE(ring->containsPoint({15, 15}));
    ring->setUsesEvenOddFillRule(true);
    EXPECT_FALSE(ring->containsPoint({15, 15}));
    EXPECT_EQ(ring->lineWidth(), 1);
}

TEST(UIColor, ConvertsToAndFromCGColorAndNamesMoreColours) {
    const auto c = UIColor::colorWithRed(0.1, 0.2, 0.3, 0.4);
    EXPECT_EQ(c->cgColor(), (CGColor{0.1, 0.2, 0.3, 0.4}));
    EXPECT_EQ(*UIColor::colorWithCGColor(c->cgColor()), *c);
    EXPECT_EQ(UIColor::orangeColor()->cgColor(), (CGColor{1, 0.5, 0, 1}));
    EXPECT_EQ(UIColor::clearColor()->cgColor(), CGColor::clear());
}
