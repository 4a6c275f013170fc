#include <QVPlatform/ui/UIBezierPath.h>

namespace platform {


std::shared_ptr<UIBezierPath> UIBezierPath::bezierPath() { return std::make_shared<UIBezierPath>(); }

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithRect(CGRect rect) {
    auto p = bezierPath();
    p->builder_.addRect(rect);
    return p;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithOvalInRect(CGRect rect) {
    auto p = bezierPath();
    p->builder_.addEllipse(rect);
    return p;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithRoundedRect(CGRect rect, CGFloat cornerRadius) {
    return bezierPathWithRoundedRect(rect, UIRectCornerAllCorners, {cornerRadius, cornerRadius});
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithRoundedRect(CGRect rect, unsigned corners, CGSize cornerRadii) {
    auto p = bezierPath();
    p->builder_.addRoundedRect(rect, cornerRadii, corners);
    return p;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithArcCenter(CGPoint center, CGFloat radius, CGFloat startAngle,
                                                                    CGFloat endAngle, bool clockwise) {
    auto p = bezierPath();
    p->builder_.addArc(center, radius, startAngle, endAngle, clockwise);
    return p;
}

std::shared_ptr<UIBezierPath> UIBezierPath::bezierPathWithCGPath(const CGPath& path) {
    auto p = bezierPath();
    p->builder_ = CGMutablePath(path);
    return p;
}

void UIBezierPath::moveToPoint(CGPoint point) { builder_.moveTo(point); changed(); }
void UIBezierPath::addLineToPoint(CGPoint point) { builder_.addLineTo(point); changed(); }
void UIBezierPath::addQuadCurveToPoint(CGPoint end, CGPoint controlPoint) {
    builder_.addQuadCurveTo(controlPoint, end);
    changed();
}
void UIBezierPath::addCurveToPoint(CGPoint end, CGPoint controlPoint1, CGPoint controlPoint2) {
    builder_.addCurveTo(controlPoint1, controlPoint2, end);
    changed();
}
void UIBezierPath::addArcWithCenter(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise) {
    builder_.addArc(center, radius, startAngle, endAngle, clockwise);
    changed();
}
void UIBezierPath::closePath() { builder_.closeSubpath(); changed(); }
void UIBezierPath::removeAllPoints() { builder_.removeAll(); changed(); }
void UIBezierPath::appendPath(const UIBezierPath& other) {
    const CGPath copy = other.builder_.path();  // `other` may be this path
    builder_.addPath(copy);
    changed();
}
void UIBezierPath::applyTransform(const CGAffineTransform& transform) { builder_.apply(transform); changed(); }

CGPathRef UIBezierPath::cgPath() const {
    if (!cached_) cached_ = builder_.copy();
    return cached_;
}

void UIBezierPath::setCGPath(const CGPath& path) {
    builder_ = CGMutablePath(path);
    changed();
}

bool UIBezierPath::containsPoint(CGPoint point) const { return builder_.path().containsPoint(point, usesEvenOddFillRule_); }

void UIBezierPath::fill(CGContext& context, const CGColor& color) const {
    context.fillPath(builder_.path(), color, usesEvenOddFillRule_ ? CGPathFillRule::evenOdd : CGPathFillRule::winding);
}

void UIBezierPath::stroke(CGContext& context, const CGColor& color) const { context.strokePath(builder_.path(), color, style_); }

}  // namespace platform
