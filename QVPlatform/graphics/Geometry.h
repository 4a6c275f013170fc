// Geometry: points, sizes and rectangles in points, as 64-bit floating point.
//
//   CGRect r{{0, 0}, {375, 667}};
//   r.maxY();                                    // 667
//   r.contains({10, 10});                        // true
//   CGRectUnion(CGRectNull, r) == r;             // the null rectangle is the union's identity
//   CGRectIntersection(r, {{400, 0}, {1, 1}});   // CGRectNull: they do not meet
//   CGRectInset(r, 10, 10);                      // {{10, 10}, {355, 647}}
//
// A rectangle may have a negative size; the min/max accessors and the functions below work on
// its standardized form, as the platform does. The null rectangle (`CGRectNull`, origin at
// +infinity) is "no rectangle": it is empty, its union with any rectangle is that rectangle,
// and it is what an intersection of rectangles that do not meet gives. Thread rule: values.
#pragma once

#include <cmath>
#include <limits>

namespace platform {

using CGFloat = double;

struct CGPoint {
    CGFloat x = 0;
    CGFloat y = 0;
    friend constexpr bool operator==(CGPoint, CGPoint) = default;
};

struct CGSize {
    CGFloat width = 0;
    CGFloat height = 0;
    friend constexpr bool operator==(CGSize, CGSize) = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;

    constexpr CGFloat minX() const { return size.width < 0 ? origin.x + size.width : origin.x; }
    constexpr CGFloat minY() const { return size.height < 0 ? origin.y + size.height : origin.y; }
    constexpr CGFloat maxX() const { return size.width < 0 ? origin.x : origin.x + size.width; }
    constexpr CGFloat maxY() const { return size.height < 0 ? origin.y : origin.y + size.height; }
    constexpr CGFloat midX() const { return (minX() + maxX()) / 2; }
    constexpr CGFloat midY() const { return (minY() + maxY()) / 2; }
    constexpr CGFloat width() const { return size.width < 0 ? -size.width : size.width; }
    constexpr CGFloat height() const { return size.height < 0 ? -size.height : size.height; }
    constexpr bool contains(CGPoint p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }

    // The null rectangle: origin at +infinity. Tests by origin only, as the platform does.
    constexpr bool isNull() const {
        return origin.x == std::numeric_limits<CGFloat>::infinity() ||
               origin.y == std::numeric_limits<CGFloat>::infinity();
    }
    // Null, or zero width or height.
    constexpr bool isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }
    // The same rectangle with a non-negative size.
    constexpr CGRect standardized() const {
        if (isNull()) return *this;
        return {{minX(), minY()}, {width(), height()}};
    }
    // Each edge moved inwards by dx (left and right) and dy (top and bottom); null when the
    // result would have a negative size.
    constexpr CGRect insetBy(CGFloat dx, CGFloat dy) const;
    constexpr CGRect offsetBy(CGFloat dx, CGFloat dy) const {
        if (isNull()) return *this;
        const CGRect s = standardized();
        return {{s.origin.x + dx, s.origin.y + dy}, s.size};
    }
    // The smallest rectangle with whole-number edges that holds this one.
    CGRect integral() const {
        if (isNull()) return *this;
        const CGFloat x0 = std::floor(minX()), y0 = std::floor(minY());
        return {{x0, y0}, {std::ceil(maxX()) - x0, std::ceil(maxY()) - y0}};
    }
    friend constexpr bool operator==(CGRect, CGRect) = default;
};

inline constexpr CGPoint CGPointZero{};
inline constexpr CGSize CGSizeZero{};
inline constexpr CGRect CGRectZero{};
inline constexpr CGRect CGRectNull{{std::numeric_limits<CGFloat>::infinity(), std::numeric_limits<CGFloat>::infinity()},
                                   {0, 0}};
// The platform's infinite rectangle: every point is inside.
inline constexpr CGRect CGRectInfinite{
    {-std::numeric_limits<CGFloat>::max() / 2, -std::numeric_limits<CGFloat>::max() / 2},
    {std::numeric_limits<CGFloat>::max(), std::numeric_limits<CGFloat>::max()}};

constexpr CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) { return {{x, y}, {width, height}}; }

constexpr CGRect CGRect::insetBy(CGFloat dx, CGFloat dy) const {
    if (isNull()) return *this;
    const CGRect s = standardized();
    const CGFloat w = s.size.width - 2 * dx, h = s.size.height - 2 * dy;
    if (w < 0 || h < 0) return CGRectNull;
    return {{s.origin.x + dx, s.origin.y + dy}, {w, h}};
}

constexpr CGRect CGRectInset(CGRect rect, CGFloat dx, CGFloat dy) { return rect.insetBy(dx, dy); }
constexpr CGRect CGRectStandardize(CGRect rect) { return rect.standardized(); }
constexpr bool CGRectIsNull(CGRect rect) { return rect.isNull(); }
constexpr bool CGRectIsEmpty(CGRect rect) { return rect.isEmpty(); }

// The smallest rectangle holding both; a null rectangle does not count.
constexpr CGRect CGRectUnion(CGRect a, CGRect b) {
    if (a.isNull()) return b.standardized();
    if (b.isNull()) return a.standardized();
    const CGFloat x0 = a.minX() < b.minX() ? a.minX() : b.minX();
    const CGFloat y0 = a.minY() < b.minY() ? a.minY() : b.minY();
    const CGFloat x1 = a.maxX() > b.maxX() ? a.maxX() : b.maxX();
    const CGFloat y1 = a.maxY() > b.maxY() ? a.maxY() : b.maxY();
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

// The common part; CGRectNull when the two do not meet (touching edges meet in an empty rectangle).
constexpr CGRect CGRectIntersection(CGRect a, CGRect b) {
    if (a.isNull() || b.isNull()) return CGRectNull;
    const CGFloat x0 = a.minX() > b.minX() ? a.minX() : b.minX();
    const CGFloat y0 = a.minY() > b.minY() ? a.minY() : b.minY();
    const CGFloat x1 = a.maxX() < b.maxX() ? a.maxX() : b.maxX();
    const CGFloat y1 = a.maxY() < b.maxY() ? a.maxY() : b.maxY();
    if (x1 < x0 || y1 < y0) return CGRectNull;
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

constexpr bool CGRectIntersectsRect(CGRect a, CGRect b) { return !CGRectIntersection(a, b).isEmpty(); }

}  // namespace platform
