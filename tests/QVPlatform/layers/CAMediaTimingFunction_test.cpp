#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/layers/CAMediaTimingFunction.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

// Progress at x by dense sampling of the curve, independent of the solver.
double sampled(const CAMediaTimingFunction& f, double x) {
    const auto p1 = f.controlPoint(1), p2 = f.controlPoint(2);
    double best = 0, bestError = 2;
    for (int i = 0; i <= 200000; ++i) {
        const double t = i / 200000.0, u = 1 - t;
        const double bx = 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t;
        if (std::fabs(bx - x) < bestError) {
            bestError = std::fabs(bx - x);
            best = 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t;
        }
    }
    return best;
}

}  // namespace

TEST(CAMediaTimingFunction, NamedCurvesMatchTheirBezierAtSampledInstants) {
    using N = CAMediaTimingFunction::Name;
    for (const N name : {N::linear, N::easeIn, N::easeOut, N::easeInEaseOut, N::defaultCurve}) {
        const auto f = CAMediaTimingFunction::named(name);
        for (const double x : {0.1, 0.25, 0.5, 0.75, 0.9}) EXPECT_NEAR(f.evaluate(x), sampled(f, x), 1e-4) << x;
        EXPECT_EQ(f.evaluate(0), 0);
        EXPECT_EQ(f.evaluate(1), 1);
    }
    EXPECT_NEAR(CAMediaTimingFunction::named(N::linear).evaluate(0.3), 0.3, 1e-9);
    EXPECT_NEAR(CAMediaTimingFunction::named(N::easeIn).evaluate(0.5), 0.3153, 1e-3);
    EXPECT_NEAR(CAMediaTimingFunction::named(N::easeOut).evaluate(0.5), 0.6847, 1e-3);
    EXPECT_NEAR(CAMediaTimingFunction::named(N::easeInEaseOut).evaluate(0.5), 0.5, 1e-6);
}

TEST(CAMediaTimingFunction, CustomPointsAreClampedAndBadInputIsSafe) {
    const CAMediaTimingFunction overshoot(0.3, 1.6, 0.7, 1.0);  // y may leave [0, 1]
    EXPECT_GT(overshoot.evaluate(0.6), 1.0);
    const CAMediaTimingFunction flat(1, 0, 0, 1);  // zero slope at the middle: bisection
    EXPECT_NEAR(flat.evaluate(0.5), 0.5, 1e-6);
    const CAMediaTimingFunction clamped(-3, 0, 4, 1);
    EXPECT_EQ(clamped.controlPoint(1)[0], 0);
    EXPECT_EQ(clamped.controlPoint(2)[0], 1);
    EXPECT_EQ(CAMediaTimingFunction(NAN, 0, 1, 1), CAMediaTimingFunction());
    EXPECT_EQ(overshoot.evaluate(NAN), 0);
    EXPECT_EQ(overshoot.evaluate(-1), 0);
    EXPECT_EQ(overshoot.evaluate(7), 1);
}

TEST(CACurrentMediaTime, FollowsTheManualClock) {
    ManualClock::start();
    const double before = CACurrentMediaTime();
    ManualClock::advance(0.25);
    EXPECT_NEAR(CACurrentMediaTime() - before, 0.25, 1e-9);
    ManualClock::stop();
}
