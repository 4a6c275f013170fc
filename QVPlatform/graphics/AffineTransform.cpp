#include <QVPlatform/graphics/AffineTransform.h>

#include <algorithm>
#include <cmath>

namespace platform {

bool CGAffineTransform::isInvertible() const {
    const CGFloat det = a * d - b * c;
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) && std::isfinite(tx) &&
           std::isfinite(ty) && det != 0 && std::isfinite(det);
}

CGAffineTransform CGAffineTransform::inverted() const {
    if (!isInvertible()) return *this;
    const CGFloat det = a * d - b * c;
    const CGAffineTransform r{d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
    if (!r.isInvertible()) return *this;  // an overflowing inverse is no inverse
    return r;
}

CGAffineTransform CGAffineTransform::translatedBy(CGFloat x, CGFloat y) const {
    return CGAffineTransformMakeTranslation(x, y).concatenating(*this);
}

CGAffineTransform CGAffineTransform::scaledBy(CGFloat x, CGFloat y) const {
    return CGAffineTransformMakeScale(x, y).concatenating(*this);
}

CGAffineTransform CGAffineTransform::rotated(CGFloat radians) const {
    return CGAffineTransformMakeRotation(radians).concatenating(*this);
}

CGAffineTransform CGAffineTransformMakeRotation(CGFloat radians) {
    const CGFloat s = std::sin(radians), c = std::cos(radians);
    return {c, s, -s, c, 0, 0};
}

CGRect CGRectApplyAffineTransform(CGRect rect, const CGAffineTransform& t) {
    if (rect.isNull()) return rect;
    const CGPoint corners[4] = {
        CGPointApplyAffineTransform({rect.minX(), rect.minY()}, t),
        CGPointApplyAffineTransform({rect.maxX(), rect.minY()}, t),
        CGPointApplyAffineTransform({rect.minX(), rect.maxY()}, t),
        CGPointApplyAffineTransform({rect.maxX(), rect.maxY()}, t),
    };
    CGFloat x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const CGPoint& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

}  // namespace platform
