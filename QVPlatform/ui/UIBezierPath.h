// UIBezierPath: a path builder with drawing attributes, over CGMutablePath.
//
//   auto p = UIBezierPath::bezierPath();
//   p->moveToPoint({0, 0}); p->addLineToPoint({10, 0}); p->closePath();
//   p->currentPoint();                                   // (0, 0): the closed subpath's start
//   auto r = UIBezierPath::bezierPathWithRoundedRect({{0, 0}, {40, 20}}, 5);
//   CGPathRef outline = r->cgPath();                     // built once, cached until changed
//
// `currentPoint` is the end of the last segment; after `closePath` it is the first point of
// the closed subpath; (0, 0) for an empty path. `bounds` is the path's bounding box with
// control points (CGRectNull when empty). Arcs run clockwise or not as seen on screen (y
// down): from angle 0 (the positive x axis) a clockwise arc goes towards +y. Rounded
// rectangles clamp each radius to half the shorter side. Thread rule: one thread at a time
// (each path parse owns its builder); the CGPath it hands out is immutable and shareable.
#pragma once

#include <QVPlatform/graphics/AffineTransform.h>
#include <QVPlatform/graphics/DrawingContext.h>
#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/runtime/NSObject.h>

#include <memory>

namespace platform {

// The corners a rounded rectangle rounds; combine with |.
enum UIRectCorner : unsigned {
    UIRectCornerTopLeft = 1,
    UIRectCornerTopRight = 2,
    UIRectCornerBottomLeft = 4,
    UIRectCornerBottomRight = 8,
    UIRectCornerAllCorners = 15,
};

class UIBezierPath : public NSObjectSubclass<UIBezierPath, NSObject, "UIBezierPath"> {
public:
    static std::shared_ptr<UIBezierPath> bezierPath();
    static std::shared_ptr<UIBezierPath> bezierPathWithRect(CGRect rect);
    static std::shared_ptr<UIBezierPath> bezierPathWithOvalInRect(CGRect rect);
    static std::shared_ptr<UIBezierPath> bezierPathWithRoundedRect(CGRect rect, CGFloat cornerRadius);
    static std::shared_ptr<UIBezierPath> bezierPathWithRoundedRect(CGRect rect, unsigned corners, CGSize cornerRadii);
    static std::shared_ptr<UIBezierPath> bezierPathWithArcCenter(CGPoint center, CGFloat radius, CGFloat startAngle,
                                                                 CGFloat endAngle, bool clockwise);
    // A builder starting from a copy of `path`'s elements.
    static std::shared_ptr<UIBezierPath> bezierPathWithCGPath(const CGPath& path);

    UIBezierPath() = default;

    void moveToPoint(CGPoint point);
    void addLineToPoint(CGPoint point);
    void addQuadCurveToPoint(CGPoint end, CGPoint controlPoint);
    void addCurveToPoint(CGPoint end, CGPoint controlPoint1, CGPoint controlPoint2);
    void addArcWithCenter(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
    void closePath();
    void removeAllPoints();
    // Adds every element of `other`.
    void appendPath(const UIBezierPath& other);
    // Transforms every point.
    void applyTransform(const CGAffineTransform& transform);

    // The outline built so far, immutable; the same object until the path changes.
    CGPathRef cgPath() const;
    // Replaces the outline with a copy of `path`.
    void setCGPath(const CGPath& path);
    CGPoint currentPoint() const { return builder_.currentPoint(); }
    CGRect bounds() const { return builder_.boundingBox(); }
    bool isEmpty() const { return builder_.isEmpty(); }
    bool containsPoint(CGPoint point) const;

    bool usesEvenOddFillRule() const { return usesEvenOddFillRule_; }
    void setUsesEvenOddFillRule(bool evenOdd) { usesEvenOddFillRule_ = evenOdd; }
    CGFloat lineWidth() const { return style_.lineWidth; }
    void setLineWidth(CGFloat width) { style_.lineWidth = width; }
    CGLineCap lineCapStyle() const { return style_.cap; }
    void setLineCapStyle(CGLineCap cap) { style_.cap = cap; }
    CGLineJoin lineJoinStyle() const { return style_.join; }
    void setLineJoinStyle(CGLineJoin join) { style_.join = join; }
    CGFloat miterLimit() const { return style_.miterLimit; }
    void setMiterLimit(CGFloat limit) { style_.miterLimit = limit; }
    // Line width, cap, join, miter limit as one stroke style.
    const CGStrokeStyle& strokeStyle() const { return style_; }

    // Fills / strokes into `context` with the path's own attributes.
    void fill(CGContext& context, const CGColor& color) const;
    void stroke(CGContext& context, const CGColor& color) const;

private:
    void changed() { cached_.reset(); }
    CGMutablePath builder_;
    mutable CGPathRef cached_;
    bool usesEvenOddFillRule_ = false;
    CGStrokeStyle style_;
};

}  // namespace platform
