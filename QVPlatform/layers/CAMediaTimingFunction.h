// CAMediaTimingFunction: the pacing of an animation, a cubic Bézier curve from (0, 0) to
// (1, 1) with two control points, mapping elapsed fraction to progress fraction.
//
//   auto f = CAMediaTimingFunction::named(CAMediaTimingFunction::Name::easeIn);
//   double progress = f.evaluate(0.5);                  // ~0.315
//   CAMediaTimingFunction custom(0.25, 0.1, 0.25, 1);   // any control points
//   double now = CACurrentMediaTime();                  // seconds of the platform clock
//
// Named curves: linear (0,0,1,1), easeIn (0.42,0,1,1), easeOut (0,0,0.58,1), easeInEaseOut
// (0.42,0,0.58,1), default (0.25,0.1,0.25,1). The x control coordinates are clamped to
// [0, 1] so the curve is a function of x; non-finite control points give the linear curve.
// The curve is solved for x by Newton steps, falling back to bisection where the slope is flat.
//
// Thread rule: a value type; CACurrentMediaTime may be called from any thread.
#pragma once

#include <array>

namespace platform {

class CAMediaTimingFunction {
public:
    enum class Name { linear, easeIn, easeOut, easeInEaseOut, defaultCurve };

    static CAMediaTimingFunction named(Name name);
    CAMediaTimingFunction() = default;  // linear
    CAMediaTimingFunction(double x1, double y1, double x2, double y2);

    // Progress at elapsed fraction `t`, clamped to [0, 1] (NaN counts as 0).
    double evaluate(double t) const;
    // The control point at `index` 0...3 ((0,0), c1, c2, (1,1)); index above 3 reads 3.
    std::array<double, 2> controlPoint(int index) const;

    bool operator==(const CAMediaTimingFunction&) const = default;

private:
    double x1_ = 0, y1_ = 0, x2_ = 1, y2_ = 1;
};

// The platform clock's uptime in seconds (manual time under ManualClock).
double CACurrentMediaTime();

}  // namespace platform
