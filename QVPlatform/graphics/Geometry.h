// Geometry: points, sizes and rectangles in points, as 64-bit floating point.
//
//   CGRect r{{0, 0}, {375, 667}};
//   r.maxY();             // 667
//   r.contains({10, 10}); // true
#pragma once

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
    constexpr CGFloat width() const { return size.width < 0 ? -size.width : size.width; }
    constexpr CGFloat height() const { return size.height < 0 ? -size.height : size.height; }
    constexpr bool contains(CGPoint p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }
    friend constexpr bool operator==(CGRect, CGRect) = default;
};

}  // namespace platform
