#include <QVPlatform/layers/CAMediaTimingFunction.h>

#include <QVPlatform/base/Clock.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// One coordinate of the cubic Bézier with end points 0 and 1 and control values p1, p2.
double bezier(double t, double p1, double p2) {
    const double u = 1 - t;
    return 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t;
}

double bezierSlope(double t, double p1, double p2) {
    const double u = 1 - t;
    return 3 * u * u * p1 + 6 * u * t * (p2 - p1) + 3 * t * t * (1 - p2);
}

}  // namespace

CAMediaTimingFunction CAMediaTimingFunction::named(Name name) {
    switch (name) {
        case Name::linear: return {};
        case Name::easeIn: return {0.42, 0, 1, 1};
        case Name::easeOut: return {0, 0, 0.58, 1};
        case Name::easeInEaseOut: return {0.42, 0, 0.58, 1};
        case Name::defaultCurve: return {0.25, 0.1, 0.25, 1};
    }
    return {};
}

CAMediaTimingFunction::CAMediaTimingFunction(double x1, double y1, double x2, double y2) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
    x1_ = std::clamp(x1, 0.0, 1.0);
    y1_ = y1;
    x2_ = std::clamp(x2, 0.0, 1.0);
    y2_ = y2;
}

double CAMediaTimingFunction::evaluate(double x) const {
    if (!(x > 0)) return 0;
    if (x >= 1) return 1;
    // Newton from t = x, kept while it converges inside [0, 1].
    double t = x;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(t, x1_, x2_) - x;
        if (std::fabs(error) < 1e-9) return bezier(t, y1_, y2_);
        const double slope = bezierSlope(t, x1_, x2_);
        if (std::fabs(slope) < 1e-6) break;
        t -= error / slope;
        if (t < 0 || t > 1) break;
    }
    // Bisection: x(t) is monotonic on [0, 1] since the x control values lie in [0, 1].
    double lo = 0, hi = 1;
    t = x;
    for (int i = 0; i < 60; ++i) {
        t = (lo + hi) / 2;
        const double value = bezier(t, x1_, x2_);
        if (std::fabs(value - x) < 1e-12) break;
        (value < x ? lo : hi) = t;
    }
    return bezier(t, y1_, y2_);
}

std::array<double, 2> CAMediaTimingFunction::controlPoint(int index) const {
    switch (index) {
        case 0: return {0, 0};
        case 1: return {x1_, y1_};
        case 2: return {x2_, y2_};
        default: return {1, 1};
    }
}

double CACurrentMediaTime() { return static_cast<double>(Clock::uptimeNanoseconds()) / 1e9; }

}  // namespace platform
