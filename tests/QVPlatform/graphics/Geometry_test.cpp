#include <QVPlatform/graphics/AffineTransform.h>
#include <QVPlatform/graphics/Color.h>
#include <QVPlatform/graphics/Geometry.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace platform;

namespace {

void expectNear(const CGAffineTransform& a, const CGAffineTransform& b) {
    EXPECT_NEAR(a.a, b.a, 1e-12);
    EXPECT_NEAR(a.b, b.b, 1e-12);
    EXPECT_NEAR(a.c, b.c, 1e-12);
    EXPECT_NEAR(a.d, b.d, 1e-12);
    EXPECT_NEAR(a.tx, b.tx, 1e-12);
    EXPECT_NEAR(a.ty, b.ty, 1e-12);
}

}  // namespace

TEST(Geometry, NullRectangleIsTheIdentityOfUnionAndTheResultOfDisjointIntersection) {
    const CGRect r{{10, 10}, {20, 30}};
    EXPECT_TRUE(CGRectNull.isNull());
    EXPECT_TRUE(CGRectNull.isEmpty());
    EXPECT_FALSE(CGRectZero.isNull());
    EXPECT_TRUE(CGRectZero.isEmpty());
    EXPECT_EQ(CGRectUnion(CGRectNull, r), r);
    EXPECT_EQ(CGRectUnion(r, CGRectNull), r);
    EXPECT_TRUE(CGRectUnion(CGRectNull, CGRectNull).isNull());
    // A zero-size rectangle is not null: it stretches the union to its origin.
    EXPECT_EQ(CGRectUnion(CGRectZero, r), (CGRect{{0, 0}, {30, 40}}));
    EXPECT_EQ(CGRectUnion(r, CGRect{{-5, 50}, {1, 1}}), (CGRect{{-5, 10}, {35, 41}}));

    EXPECT_TRUE(CGRectIntersection(r, CGRect{{100, 100}, {1, 1}}).isNull());
    EXPECT_TRUE(CGRectIntersection(r, CGRectNull).isNull());
    EXPECT_EQ(CGRectIntersection(r, CGRect{{20, 0}, {100, 20}}), (CGRect{{20, 10}, {10, 10}}));
    // Touching edges meet in an empty, non-null rectangle.
    const CGRect touch = CGRectIntersection(r, CGRect{{30, 10}, {5, 5}});
    EXPECT_FALSE(touch.isNull());
    EXPECT_TRUE(touch.isEmpty());
    EXPECT_FALSE(CGRectIntersectsRect(r, CGRect{{30, 10}, {5, 5}}));
}

TEST(Geometry, NegativeSizesAreStandardizedAndInsetsCanEmptyARectangle) {
    const CGRect flipped{{30, 40}, {-20, -30}};
    EXPECT_EQ(flipped.standardized(), (CGRect{{10, 10}, {20, 30}}));
    EXPECT_EQ(CGRectUnion(flipped, CGRectNull), (CGRect{{10, 10}, {20, 30}}));
    EXPECT_EQ(CGRectInset(flipped, 5, 5), (CGRect{{15, 15}, {10, 20}}));
    EXPECT_EQ(CGRectInset(CGRect{{0, 0}, {10, 10}}, -2, 1), (CGRect{{-2, 1}, {14, 8}}));
    EXPECT_TRUE(CGRectInset(CGRect{{0, 0}, {10, 10}}, 6, 0).isNull());
    EXPECT_TRUE(CGRectInset(CGRectNull, 1, 1).isNull());
    EXPECT_EQ((CGRect{{0.5, 1.2}, {2, 2.1}}).integral(), (CGRect{{0, 1}, {3, 3}}));
    EXPECT_EQ(flipped.midX(), 20);
}

TEST(AffineTransform, ConcatenationOrderInversionAndSingularTransforms) {
    const auto t = CGAffineTransformMakeTranslation(10, 0).concatenating(CGAffineTransformMakeScale(2, 3));
    EXPECT_EQ(CGPointApplyAffineTransform({1, 1}, t), (CGPoint{22, 3}));
    EXPECT_EQ(CGAffineTransformMakeScale(2, 3).translatedBy(10, 0), t);
    EXPECT_TRUE(CGAffineTransformIdentity.isIdentity());
    EXPECT_FALSE(t.isIdentity());

    const auto r = CGAffineTransformMakeRotation(0.7).translatedBy(3, -4).scaledBy(2, 0.5);
    expectNear(r.concatenating(r.inverted()), CGAffineTransformIdentity);
    expectNear(r.inverted().concatenating(r), CGAffineTransformIdentity);

    // A singular or non-finite transform inverts to itself.
    const auto flat = CGAffineTransformMakeScale(0, 1);
    EXPECT_EQ(flat.inverted(), flat);
    const CGAffineTransform nan{std::nan(""), 0, 0, 1, 0, 0};
    EXPECT_FALSE(nan.isInvertible());
    EXPECT_TRUE(std::isnan(nan.inverted().a));
    const CGAffineTransform tiny{1e-200, 0, 0, 1e-200, 0, 0};  // its inverse overflows
    EXPECT_EQ(tiny.inverted(), tiny);

    // Sizes ignore translation; a rectangle becomes the box of its moved corners.
    EXPECT_EQ(CGSizeApplyAffineTransform({2, 3}, t), (CGSize{4, 9}));
    const CGRect box = CGRectApplyAffineTransform({{0, 0}, {10, 10}}, CGAffineTransformMakeRotation(std::numbers::pi / 4));
    EXPECT_NEAR(box.minX(), -10 / std::sqrt(2), 1e-9);
    EXPECT_NEAR(box.width(), 20 / std::sqrt(2), 1e-9);
    EXPECT_NEAR(box.minY(), 0, 1e-9);
    EXPECT_TRUE(CGRectApplyAffineTransform(CGRectNull, t).isNull());
}

TEST(Color, ClampingBringsEveryComponentIntoRangeAndNaNToZero) {
    const CGColor c = CGColor{2, -1, std::nan(""), 0.5}.clamped();
    EXPECT_EQ(c, (CGColor{1, 0, 0, 0.5}));
    EXPECT_EQ(CGColor::black().withAlpha(0.25), (CGColor{0, 0, 0, 0.25}));
}
