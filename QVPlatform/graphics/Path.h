// CGPath: an immutable outline made of subpaths of straight, quadratic and cubic segments,
// shared between threads and layers as `CGPathRef` (std::shared_ptr<const CGPath>).
// CGMutablePath builds one.
//
//   CGMutablePath b;
//   b.moveTo({0, 0}); b.addLineTo({10, 0}); b.addQuadCurveTo({5, 20}, {0, 0}); b.closeSubpath();
//   CGPathRef path = b.copy();                    // or std::move(b).build()
//   CGPathGetBoundingBox(*path);                  // {{0, 0}, {10, 20}}: control points count
//   path->boundingBoxOfPath();                    // {{0, 0}, {10, 10}}: the curve's own extent
//   path->length();                               // the length of the outline, curves flattened
//   for (const CGPathElement& e : *path) { e.type; e.points; }
//
// Storage is flat: one array of element types and one of points (move and line: 1 point,
// quad: control then end, cubic: control 1, control 2, end, close: none). A segment with a
// non-finite point is not added (it would poison everything drawn after it). A line or curve
// added with no current point first begins a subpath at (0, 0); one added right after a close
// begins a new subpath at the closed subpath's start, as the platform does. A move right
// after a move replaces it, so a builder's opening move to (0, 0) followed by a real move
// leaves no trace in the path or its bounding boxes; a move at the very end still counts.
// Thread rule: a CGPath is immutable and may be shared and read from any thread; a
// CGMutablePath belongs to one thread at a time.
#pragma once

#include <QVPlatform/graphics/AffineTransform.h>
#include <QVPlatform/graphics/Geometry.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace platform {

enum class CGPathElementType : std::uint8_t { moveToPoint, addLineToPoint, addQuadCurveToPoint, addCurveToPoint, closeSubpath };

// The number of points an element of this type holds.
constexpr int CGPathElementPointCount(CGPathElementType type) {
    switch (type) {
        case CGPathElementType::moveToPoint:
        case CGPathElementType::addLineToPoint: return 1;
        case CGPathElementType::addQuadCurveToPoint: return 2;
        case CGPathElementType::addCurveToPoint: return 3;
        case CGPathElementType::closeSubpath: return 0;
    }
    return 0;
}

struct CGPathElement {
    CGPathElementType type;
    std::span<const CGPoint> points;
};

class CGPath;
using CGPathRef = std::shared_ptr<const CGPath>;

class CGPath {
public:
    class Iterator {
    public:
        using value_type = CGPathElement;
        using difference_type = std::ptrdiff_t;
        Iterator() = default;
        Iterator(const CGPath* path, std::size_t element, std::size_t point) : path_(path), element_(element), point_(point) {}
        CGPathElement operator*() const;
        Iterator& operator++();
        Iterator operator++(int) { Iterator old = *this; ++*this; return old; }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.element_ == b.element_; }

    private:
        const CGPath* path_ = nullptr;
        std::size_t element_ = 0;
        std::size_t point_ = 0;
    };

    CGPath() = default;

    bool isEmpty() const { return types_.empty(); }
    std::size_t elementCount() const { return types_.size(); }
    std::span<const CGPathElementType> elementTypes() const { return types_; }
    std::span<const CGPoint> points() const { return points_; }
    Iterator begin() const { return {this, 0, 0}; }
    Iterator end() const { return {this, types_.size(), points_.size()}; }

    // The end of the last segment; after a close, the start of the closed subpath; (0, 0) when empty.
    CGPoint currentPoint() const { return current_; }
    // Every point, control points included; CGRectNull for an empty path.
    CGRect boundingBox() const;
    // The outline's own extent: curves by their extreme points, not their control points.
    CGRect boundingBoxOfPath() const;
    // The length of every segment, closing segments included; curves are flattened to within
    // `tolerance` (in the path's units).
    double length(double tolerance = 0.05) const;
    // The part of the outline between two fractions of its length (clamped to 0...1), as
    // open subpaths; curves are split, not flattened. Empty when start >= end.
    CGPathRef trimmed(double startFraction, double endFraction, double tolerance = 0.05) const;
    // A copy with every point transformed.
    CGPathRef transformed(const CGAffineTransform& t) const;
    // True when the filled outline holds the point under the rule (curves flattened).
    bool containsPoint(CGPoint p, bool evenOdd) const;

    friend bool operator==(const CGPath&, const CGPath&) = default;

private:
    friend class CGMutablePath;
    std::vector<CGPathElementType> types_;
    std::vector<CGPoint> points_;
    CGPoint current_{};
    CGPoint subpathStart_{};
    bool open_ = false;  // a subpath is in progress: segments may follow without a move
};

CGRect CGPathGetBoundingBox(const CGPath& path);
CGRect CGPathGetPathBoundingBox(const CGPath& path);

class CGMutablePath {
public:
    CGMutablePath() = default;
    // Starts from a copy of `path`.
    explicit CGMutablePath(const CGPath& path) : path_(path) {}

    void moveTo(CGPoint p);
    void addLineTo(CGPoint p);
    void addQuadCurveTo(CGPoint control, CGPoint end);
    void addCurveTo(CGPoint control1, CGPoint control2, CGPoint end);
    // Closes the current subpath; nothing when there is none or it is already closed.
    void closeSubpath();
    // A closed subpath: the four corners from the origin, clockwise on screen.
    void addRect(CGRect rect);
    // A closed rectangle whose corners in `corners` (bits: 1 top-left, 2 top-right, 4
    // bottom-left, 8 bottom-right, on screen) are rounded by quarter ellipses of `radii`, each
    // clamped to half the side; clockwise on screen from the top edge.
    void addRoundedRect(CGRect rect, CGSize radii, unsigned corners = 15);
    // A closed ellipse inscribed in the rectangle, as four cubic segments, starting at the
    // right-hand middle point.
    void addEllipse(CGRect rect);
    // A circular arc around `center` from `startAngle` to `endAngle` (radians); `clockwise`
    // as on screen (y down). Joined to the current point by a line, or starting a subpath.
    void addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise);
    // Every element of `path`, transformed when `transform` is given.
    void addPath(const CGPath& path, const CGAffineTransform* transform = nullptr);
    void removeAll() { path_ = CGPath(); }
    // Transforms every point in place.
    void apply(const CGAffineTransform& t);

    bool isEmpty() const { return path_.isEmpty(); }
    CGPoint currentPoint() const { return path_.currentPoint(); }
    CGRect boundingBox() const { return path_.boundingBox(); }
    // The path built so far, as a value.
    const CGPath& path() const { return path_; }

    CGPathRef copy() const& { return std::make_shared<const CGPath>(path_); }
    CGPathRef build() && { return std::make_shared<const CGPath>(std::move(path_)); }

private:
    void append(CGPathElementType type, std::initializer_list<CGPoint> points);
    CGPath path_;
};

}  // namespace platform
