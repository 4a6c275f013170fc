#include <QVPlatform/graphics/Path.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

CGPoint lerp(CGPoint a, CGPoint b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }
double distance(CGPoint a, CGPoint b) { return std::hypot(b.x - a.x, b.y - a.y); }
bool finite(CGPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// One drawn piece of an outline with its start point: a line (2 points), a quadratic (3) or a
// cubic (4). A close that returns to the subpath's start is a line.
struct Segment {
    int count = 2;
    CGPoint p[4];
    bool startsSubpath = false;  // the first segment after a move

    CGPoint at(double t) const {
        if (count == 2) return lerp(p[0], p[1], t);
        if (count == 3) return lerp(lerp(p[0], p[1], t), lerp(p[1], p[2], t), t);
        const CGPoint a = lerp(p[0], p[1], t), b = lerp(p[1], p[2], t), c = lerp(p[2], p[3], t);
        return lerp(lerp(a, b, t), lerp(b, c, t), t);
    }
    // The number of straight pieces that keep a curve within `tolerance` of its chords.
    int pieces(double tolerance) const {
        if (count == 2) return 1;
        double dd = 0;
        for (int i = 0; i + 2 < count; ++i) {
            dd = std::max(dd, std::hypot(p[i].x - 2 * p[i + 1].x + p[i + 2].x, p[i].y - 2 * p[i + 1].y + p[i + 2].y));
        }
        const double n = std::ceil(std::sqrt((count == 3 ? 0.25 : 0.75) * dd / tolerance));
        if (!std::isfinite(n) || n < 1) return 1;
        return static_cast<int>(std::min(n, 1000.0));
    }
    // The part between parameters t0 < t1, by de Casteljau splits.
    Segment part(double t0, double t1) const {
        Segment s = *this;
        s.splitKeepLeft(t1);
        if (t1 > 0) s.splitKeepRight(t0 / t1);
        return s;
    }

private:
    void splitKeepLeft(double t) {
        if (count == 2) { p[1] = lerp(p[0], p[1], t); return; }
        if (count == 3) {
            const CGPoint a = lerp(p[0], p[1], t), b = lerp(p[1], p[2], t);
            p[1] = a; p[2] = lerp(a, b, t);
            return;
        }
        const CGPoint a = lerp(p[0], p[1], t), b = lerp(p[1], p[2], t), c = lerp(p[2], p[3], t);
        const CGPoint ab = lerp(a, b, t), bc = lerp(b, c, t);
        p[1] = a; p[2] = ab; p[3] = lerp(ab, bc, t);
    }
    void splitKeepRight(double t) {
        if (count == 2) { p[0] = lerp(p[0], p[1], t); return; }
        if (count == 3) {
            const CGPoint a = lerp(p[0], p[1], t), b = lerp(p[1], p[2], t);
            p[0] = lerp(a, b, t); p[1] = b;
            return;
        }
        const CGPoint a = lerp(p[0], p[1], t), b = lerp(p[1], p[2], t), c = lerp(p[2], p[3], t);
        const CGPoint ab = lerp(a, b, t), bc = lerp(b, c, t);
        p[0] = lerp(ab, bc, t); p[1] = bc; p[2] = c;
    }
};

// Calls `visit(const Segment&)` for every drawn segment of the path, closing lines included.
template <class Visit>
void forEachSegment(const CGPath& path, Visit&& visit) {
    CGPoint current{}, start{};
    bool fresh = true;
    for (const CGPathElement& e : path) {
        Segment s;
        s.p[0] = current;
        switch (e.type) {
            case CGPathElementType::moveToPoint:
                current = start = e.points[0];
                fresh = true;
                continue;
            case CGPathElementType::addLineToPoint: s.count = 2; s.p[1] = e.points[0]; break;
            case CGPathElementType::addQuadCurveToPoint: s.count = 3; s.p[1] = e.points[0]; s.p[2] = e.points[1]; break;
            case CGPathElementType::addCurveToPoint:
                s.count = 4; s.p[1] = e.points[0]; s.p[2] = e.points[1]; s.p[3] = e.points[2];
                break;
            case CGPathElementType::closeSubpath: s.count = 2; s.p[1] = start; break;
        }
        s.startsSubpath = fresh;
        fresh = e.type == CGPathElementType::closeSubpath;
        current = s.p[s.count - 1];
        visit(s);
    }
}

// Cumulative chord lengths of a segment at its flattening parameters.
struct Measured {
    std::vector<double> lengths;  // lengths[i] at t = i / pieces
    double total() const { return lengths.back(); }
    // The parameter at which the length along the segment reaches `d`.
    double parameterAt(double d) const {
        const int n = static_cast<int>(lengths.size()) - 1;
        if (d <= 0) return 0;
        if (d >= total()) return 1;
        const auto it = std::lower_bound(lengths.begin(), lengths.end(), d);
        const int i = static_cast<int>(it - lengths.begin());
        const double span = lengths[i] - lengths[i - 1];
        const double f = span > 0 ? (d - lengths[i - 1]) / span : 0;
        return (i - 1 + f) / n;
    }
};

Measured measure(const Segment& s, double tolerance) {
    const int n = s.pieces(tolerance);
    Measured m;
    m.lengths.reserve(n + 1);
    m.lengths.push_back(0);
    CGPoint last = s.p[0];
    for (int i = 1; i <= n; ++i) {
        const CGPoint q = s.at(static_cast<double>(i) / n);
        m.lengths.push_back(m.lengths.back() + distance(last, q));
        last = q;
    }
    return m;
}

double safeTolerance(double tolerance) { return std::isfinite(tolerance) && tolerance > 1e-6 ? tolerance : 0.05; }

// Parameters in (0, 1) where one coordinate of a quadratic or cubic has zero derivative.
void extremaParameters(const double* v, int count, std::vector<double>& out) {
    auto keep = [&](double t) { if (t > 0 && t < 1) out.push_back(t); };
    if (count == 3) {
        const double den = v[0] - 2 * v[1] + v[2];
        if (den != 0) keep((v[0] - v[1]) / den);
        return;
    }
    // Derivative of the cubic: a t^2 + b t + c.
    const double a = -v[0] + 3 * v[1] - 3 * v[2] + v[3];
    const double b = 2 * (v[0] - 2 * v[1] + v[2]);
    const double c = v[1] - v[0];
    if (std::abs(a) < 1e-12) {
        if (b != 0) keep(-c / b);
        return;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0) return;
    const double r = std::sqrt(disc);
    keep((-b + r) / (2 * a));
    keep((-b - r) / (2 * a));
}

struct BoxBuilder {
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    void add(CGPoint p) {
        x0 = std::min(x0, p.x); y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x); y1 = std::max(y1, p.y);
    }
    CGRect rect() const { return x0 > x1 ? CGRectNull : CGRect{{x0, y0}, {x1 - x0, y1 - y0}}; }
};

}  // namespace

CGPathElement CGPath::Iterator::operator*() const {
    const CGPathElementType type = path_->types_[element_];
    return {type, std::span<const CGPoint>(path_->points_).subspan(point_, CGPathElementPointCount(type))};
}

CGPath::Iterator& CGPath::Iterator::operator++() {
    point_ += CGPathElementPointCount(path_->types_[element_]);
    ++element_;
    return *this;
}

CGRect CGPath::boundingBox() const {
    BoxBuilder box;
    for (const CGPoint& p : points_) box.add(p);
    return box.rect();
}

CGRect CGPath::boundingBoxOfPath() const {
    BoxBuilder box;
    for (const CGPathElement& e : *this) {
        if (e.type == CGPathElementType::moveToPoint) box.add(e.points[0]);
    }
    std::vector<double> ts;
    forEachSegment(*this, [&](const Segment& s) {
        box.add(s.p[0]);
        box.add(s.p[s.count - 1]);
        if (s.count == 2) return;
        ts.clear();
        double xs[4], ys[4];
        for (int i = 0; i < s.count; ++i) { xs[i] = s.p[i].x; ys[i] = s.p[i].y; }
        extremaParameters(xs, s.count, ts);
        extremaParameters(ys, s.count, ts);
        for (double t : ts) box.add(s.at(t));
    });
    return box.rect();
}

double CGPath::length(double tolerance) const {
    const double tol = safeTolerance(tolerance);
    double total = 0;
    forEachSegment(*this, [&](const Segment& s) { total += measure(s, tol).total(); });
    return total;
}

CGPathRef CGPath::trimmed(double startFraction, double endFraction, double tolerance) const {
    const double tol = safeTolerance(tolerance);
    const double from = std::isnan(startFraction) ? 0 : std::clamp(startFraction, 0.0, 1.0);
    const double to = std::isnan(endFraction) ? 1 : std::clamp(endFraction, 0.0, 1.0);
    CGMutablePath out;
    if (from >= to) return std::move(out).build();

    std::vector<std::pair<Segment, Measured>> segments;
    double total = 0;
    forEachSegment(*this, [&](const Segment& s) {
        segments.emplace_back(s, measure(s, tol));
        total += segments.back().second.total();
    });
    const double begin = from * total, end = to * total;
    double at = 0;
    bool continuing = false;  // the last segment written ends where the next one starts
    for (const auto& [segment, measured] : segments) {
        const double length = measured.total();
        const double lo = std::max(begin, at), hi = std::min(end, at + length);
        const bool inside = hi > lo || (length == 0 && at >= begin && at <= end && at < total);
        if (!inside) {
            continuing = false;
            at += length;
            continue;
        }
        const double t0 = measured.parameterAt(lo - at), t1 = measured.parameterAt(hi - at);
        const Segment piece = length == 0 ? segment : segment.part(t0, t1);
        if (!continuing || segment.startsSubpath) out.moveTo(piece.p[0]);
        if (piece.count == 2) out.addLineTo(piece.p[1]);
        if (piece.count == 3) out.addQuadCurveTo(piece.p[1], piece.p[2]);
        if (piece.count == 4) out.addCurveTo(piece.p[1], piece.p[2], piece.p[3]);
        continuing = t1 >= 1;
        at += length;
    }
    return std::move(out).build();
}

CGPathRef CGPath::transformed(const CGAffineTransform& t) const {
    CGMutablePath out;
    out.addPath(*this, &t);
    return std::move(out).build();
}

bool CGPath::containsPoint(CGPoint p, bool evenOdd) const {
    int winding = 0, crossings = 0;
    auto edge = [&](CGPoint a, CGPoint b) {
        if ((a.y <= p.y) == (b.y <= p.y)) return;
        const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
        if (x <= p.x) return;
        ++crossings;
        winding += b.y > a.y ? 1 : -1;
    };
    CGPoint start{}, last{};
    bool open = false;
    forEachSegment(*this, [&](const Segment& s) {
        if (s.startsSubpath) {
            if (open) edge(last, start);
            start = s.p[0];
            open = true;
        }
        const int n = s.pieces(0.05);
        CGPoint prev = s.p[0];
        for (int i = 1; i <= n; ++i) {
            const CGPoint q = s.at(static_cast<double>(i) / n);
            edge(prev, q);
            prev = q;
        }
        last = prev;
    });
    if (open) edge(last, start);
    return evenOdd ? (crossings % 2) != 0 : winding != 0;
}

CGRect CGPathGetBoundingBox(const CGPath& path) { return path.boundingBox(); }
CGRect CGPathGetPathBoundingBox(const CGPath& path) { return path.boundingBoxOfPath(); }

// --- CGMutablePath ---

void CGMutablePath::append(CGPathElementType type, std::initializer_list<CGPoint> points) {
    for (const CGPoint& p : points) {
        if (!finite(p)) return;
    }
    if (type == CGPathElementType::moveToPoint && !path_.types_.empty() &&
        path_.types_.back() == CGPathElementType::moveToPoint) {
        // A move right after a move replaces it: the first one draws nothing.
        path_.points_.back() = *points.begin();
        path_.current_ = path_.subpathStart_ = *points.begin();
        return;
    }
    if (type != CGPathElementType::moveToPoint && !path_.open_) {
        // A segment with no subpath in progress begins one where the pen is.
        path_.types_.push_back(CGPathElementType::moveToPoint);
        path_.points_.push_back(path_.current_);
        path_.subpathStart_ = path_.current_;
    }
    path_.types_.push_back(type);
    path_.points_.insert(path_.points_.end(), points.begin(), points.end());
    path_.current_ = *(points.end() - 1);
    if (type == CGPathElementType::moveToPoint) path_.subpathStart_ = path_.current_;
    path_.open_ = true;
}

void CGMutablePath::moveTo(CGPoint p) { append(CGPathElementType::moveToPoint, {p}); }
void CGMutablePath::addLineTo(CGPoint p) { append(CGPathElementType::addLineToPoint, {p}); }
void CGMutablePath::addQuadCurveTo(CGPoint control, CGPoint end) {
    append(CGPathElementType::addQuadCurveToPoint, {control, end});
}
void CGMutablePath::addCurveTo(CGPoint control1, CGPoint control2, CGPoint end) {
    append(CGPathElementType::addCurveToPoint, {control1, control2, end});
}

void CGMutablePath::closeSubpath() {
    if (!path_.open_) return;
    path_.types_.push_back(CGPathElementType::closeSubpath);
    path_.current_ = path_.subpathStart_;
    path_.open_ = false;
}

void CGMutablePath::addRect(CGRect rect) {
    if (rect.isNull()) return;
    const CGRect r = rect.standardized();
    moveTo({r.minX(), r.minY()});
    addLineTo({r.maxX(), r.minY()});
    addLineTo({r.maxX(), r.maxY()});
    addLineTo({r.minX(), r.maxY()});
    closeSubpath();
}

void CGMutablePath::addRoundedRect(CGRect rect, CGSize radii, unsigned corners) {
    if (rect.isNull()) return;
    const CGRect r = rect.standardized();
    const double rx = std::isfinite(radii.width) ? std::clamp(radii.width, 0.0, r.width() / 2) : 0;
    const double ry = std::isfinite(radii.height) ? std::clamp(radii.height, 0.0, r.height() / 2) : 0;
    constexpr double k = 0.5522847498307936;
    const double x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
    auto rounded = [&](unsigned bit) { return (corners & bit) != 0 && rx > 0 && ry > 0; };
    const bool tl = rounded(1), tr = rounded(2), bl = rounded(4), br = rounded(8);
    moveTo({tl ? x0 + rx : x0, y0});
    addLineTo({tr ? x1 - rx : x1, y0});
    if (tr) addCurveTo({x1 - rx + k * rx, y0}, {x1, y0 + ry - k * ry}, {x1, y0 + ry});
    addLineTo({x1, br ? y1 - ry : y1});
    if (br) addCurveTo({x1, y1 - ry + k * ry}, {x1 - rx + k * rx, y1}, {x1 - rx, y1});
    addLineTo({bl ? x0 + rx : x0, y1});
    if (bl) addCurveTo({x0 + rx - k * rx, y1}, {x0, y1 - ry + k * ry}, {x0, y1 - ry});
    addLineTo({x0, tl ? y0 + ry : y0});
    if (tl) addCurveTo({x0, y0 + ry - k * ry}, {x0 + rx - k * rx, y0}, {x0 + rx, y0});
    closeSubpath();
}

void CGMutablePath::addEllipse(CGRect rect) {
    if (rect.isNull()) return;
    const CGRect r = rect.standardized();
    constexpr double k = 0.5522847498307936;  // 4/3 (sqrt 2 - 1): a quarter circle as one cubic
    const double cx = r.midX(), cy = r.midY(), rx = r.width() / 2, ry = r.height() / 2;
    moveTo({cx + rx, cy});
    addCurveTo({cx + rx, cy + k * ry}, {cx + k * rx, cy + ry}, {cx, cy + ry});
    addCurveTo({cx - k * rx, cy + ry}, {cx - rx, cy + k * ry}, {cx - rx, cy});
    addCurveTo({cx - rx, cy - k * ry}, {cx - k * rx, cy - ry}, {cx, cy - ry});
    addCurveTo({cx + k * rx, cy - ry}, {cx + rx, cy - k * ry}, {cx + rx, cy});
    closeSubpath();
}

void CGMutablePath::addArc(CGPoint center, CGFloat radius, CGFloat startAngle, CGFloat endAngle, bool clockwise) {
    if (!finite(center) || !std::isfinite(radius) || radius < 0 || !std::isfinite(startAngle) ||
        !std::isfinite(endAngle)) {
        return;
    }
    constexpr double full = 2 * std::numbers::pi;
    // Clockwise on screen (y down) is the direction of growing angles.
    double sweep = endAngle - startAngle;
    if (clockwise) {
        if (sweep < 0) sweep = std::fmod(sweep, full) + full;
        sweep = std::min(sweep, full);
    } else {
        if (sweep > 0) sweep = std::fmod(sweep, full) - full;
        sweep = std::max(sweep, -full);
    }
    auto pointAt = [&](double angle) { return CGPoint{center.x + radius * std::cos(angle), center.y + radius * std::sin(angle)}; };
    const CGPoint first = pointAt(startAngle);
    if (path_.open_) addLineTo(first);
    else moveTo(first);
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    const double step = sweep / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4) * radius;
    double a = startAngle;
    for (int i = 0; i < pieces; ++i) {
        const double b = a + step;
        const CGPoint p0 = pointAt(a), p3 = pointAt(b);
        addCurveTo({p0.x - k * std::sin(a), p0.y + k * std::cos(a)}, {p3.x + k * std::sin(b), p3.y - k * std::cos(b)}, p3);
        a = b;
    }
}

void CGMutablePath::addPath(const CGPath& path, const CGAffineTransform* transform) {
    for (const CGPathElement& e : path) {
        CGPoint p[3];
        for (std::size_t i = 0; i < e.points.size(); ++i) {
            p[i] = transform ? CGPointApplyAffineTransform(e.points[i], *transform) : e.points[i];
        }
        switch (e.type) {
            case CGPathElementType::moveToPoint: moveTo(p[0]); break;
            case CGPathElementType::addLineToPoint: addLineTo(p[0]); break;
            case CGPathElementType::addQuadCurveToPoint: addQuadCurveTo(p[0], p[1]); break;
            case CGPathElementType::addCurveToPoint: addCurveTo(p[0], p[1], p[2]); break;
            case CGPathElementType::closeSubpath: closeSubpath(); break;
        }
    }
}

void CGMutablePath::apply(const CGAffineTransform& t) {
    const CGPath old = std::move(path_);
    path_ = CGPath();
    addPath(old, &t);
}

}  // namespace platform
