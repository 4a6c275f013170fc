// CGAffineTransform: a 2D affine map [a b c d tx ty], acting on a point as
// x' = a·x + c·y + tx, y' = b·x + d·y + ty.
//
//   auto t = CGAffineTransformMakeTranslation(10, 0).concatenating(CGAffineTransformMakeScale(2, 2));
//   CGPointApplyAffineTransform({1, 1}, t);        // (22, 2): translate first, then scale
//   t.inverted().concatenating(t).isIdentity();     // true
//   CGRectApplyAffineTransform(rect, rotation);     // the bounding box of the four moved corners
//
// `a.concatenating(b)` applies a first, then b. `translatedBy`, `scaledBy` and `rotated` put the
// new step before the existing transform, as the platform does. A transform that cannot be
// inverted (zero determinant, or not finite) returns itself from `inverted`, unchanged, as the
// platform does. Thread rule: a value.
#pragma once

#include <QVPlatform/graphics/Geometry.h>

namespace platform {

struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr CGAffineTransform identity() { return {}; }
    constexpr bool isIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && tx == 0 && ty == 0; }
    // True when every component is finite and the determinant is not zero.
    bool isInvertible() const;

    // This transform, then `other`.
    constexpr CGAffineTransform concatenating(const CGAffineTransform& o) const {
        return {a * o.a + b * o.c,        a * o.b + b * o.d,        c * o.a + d * o.c,
                c * o.b + d * o.d,        tx * o.a + ty * o.c + o.tx, tx * o.b + ty * o.d + o.ty};
    }
    CGAffineTransform inverted() const;
    // A translation (scale, rotation) applied before this transform.
    CGAffineTransform translatedBy(CGFloat x, CGFloat y) const;
    CGAffineTransform scaledBy(CGFloat x, CGFloat y) const;
    CGAffineTransform rotated(CGFloat radians) const;

    friend constexpr bool operator==(const CGAffineTransform&, const CGAffineTransform&) = default;
};

inline constexpr CGAffineTransform CGAffineTransformIdentity{};

constexpr CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx, CGFloat ty) {
    return {a, b, c, d, tx, ty};
}
constexpr CGAffineTransform CGAffineTransformMakeTranslation(CGFloat x, CGFloat y) { return {1, 0, 0, 1, x, y}; }
constexpr CGAffineTransform CGAffineTransformMakeScale(CGFloat x, CGFloat y) { return {x, 0, 0, y, 0, 0}; }
// Counter-clockwise in a y-up space; clockwise on screen, where y grows downwards.
CGAffineTransform CGAffineTransformMakeRotation(CGFloat radians);
// t1, then t2.
constexpr CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2) {
    return t1.concatenating(t2);
}
inline CGAffineTransform CGAffineTransformInvert(const CGAffineTransform& t) { return t.inverted(); }
constexpr bool CGAffineTransformIsIdentity(const CGAffineTransform& t) { return t.isIdentity(); }

constexpr CGPoint CGPointApplyAffineTransform(CGPoint p, const CGAffineTransform& t) {
    return {t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}
// The size as a vector: the translation does not apply.
constexpr CGSize CGSizeApplyAffineTransform(CGSize s, const CGAffineTransform& t) {
    return {t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height};
}
// The bounding box of the rectangle's four transformed corners; the null rectangle stays null.
CGRect CGRectApplyAffineTransform(CGRect rect, const CGAffineTransform& t);

}  // namespace platform
