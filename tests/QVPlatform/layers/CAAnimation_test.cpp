#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/layers/CAAnimation.h>
#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/layers/LayerRenderer.h>

#include "support/Pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace platform;
using namespace testing_support;

namespace {

// Manual time for one test, with the main thread set so the run loop can be pumped here.
struct ManualTime {
    ManualTime() {
        RunLoop::setMainThread();
        ManualClock::start();
    }
    ~ManualTime() { ManualClock::stop(); }
};

CABasicAnimation fade(double from, double to, double duration) {
    CABasicAnimation a("opacity");
    a.fromValue = from;
    a.toValue = to;
    a.duration = duration;
    return a;
}

}  // namespace

TEST(CAAnimation, BasicValuesAtInstantsForEachTimingAndFillMode) {
    auto a = fade(0, 1, 1);
    const auto opacityAt = [&](double t) {
        LayerState s;
        s.opacity = 0.5;  // the model value
        a.apply(t, s);
        return s.opacity;
    };
    EXPECT_DOUBLE_EQ(opacityAt(0.25), 0.25);  // linear when no timing function
    a.timingFunction = CAMediaTimingFunction::named(CAMediaTimingFunction::Name::easeIn);
    EXPECT_NEAR(opacityAt(0.5), 0.3153, 1e-3);
    a.timingFunction = CAMediaTimingFunction::named(CAMediaTimingFunction::Name::easeOut);
    EXPECT_NEAR(opacityAt(0.5), 0.6847, 1e-3);
    a.timingFunction = CAMediaTimingFunction::named(CAMediaTimingFunction::Name::easeInEaseOut);
    EXPECT_NEAR(opacityAt(0.25), 0.1291, 1e-3);
    a.timingFunction.reset();

    // Fill modes: before the start and after the end.
    EXPECT_EQ(opacityAt(-0.1), 0.5);
    EXPECT_EQ(opacityAt(1.0), 0.5);
    a.fillMode = CAFillMode::backwards;
    EXPECT_EQ(opacityAt(-0.1), 0);
    EXPECT_EQ(opacityAt(1.5), 0.5);
    a.fillMode = CAFillMode::forwards;
    EXPECT_EQ(opacityAt(-0.1), 0.5);
    EXPECT_EQ(opacityAt(1.5), 1);
    a.fillMode = CAFillMode::both;
    EXPECT_EQ(opacityAt(-0.1), 0);
    EXPECT_EQ(opacityAt(9), 1);
    EXPECT_EQ(opacityAt(NAN), 0.5);
}

TEST(CAAnimation, RepeatAutoreverseAndEndlessRepeat) {
    auto a = fade(0, 1, 1);
    a.fillMode = CAFillMode::forwards;
    a.repeatCount = 2;
    a.autoreverses = true;
    EXPECT_DOUBLE_EQ(a.activeDuration(), 4);
    const auto at = [&](double t) {
        LayerState s;
        a.apply(t, s);
        return s.opacity;
    };
    EXPECT_DOUBLE_EQ(at(0.25), 0.25);
    EXPECT_DOUBLE_EQ(at(1.25), 0.75);  // coming back
    EXPECT_DOUBLE_EQ(at(2.5), 0.5);    // second cycle
    EXPECT_DOUBLE_EQ(at(4), 0);        // ends where it began
    a.autoreverses = false;
    a.repeatCount = 1.5;
    EXPECT_DOUBLE_EQ(at(1.25), 0.25);
    EXPECT_DOUBLE_EQ(at(2), 0.5);  // a half repeat ends half-way
    a.repeatCount = std::numeric_limits<double>::infinity();
    EXPECT_DOUBLE_EQ(at(1000.75), 0.75);
}

TEST(CAAnimation, KeyPathsByValueKeyframesAndGroups) {
    CABasicAnimation move("position");
    move.byValue = CGPoint{10, -10};
    move.duration = 1;
    LayerState s;
    s.position = {5, 5};
    move.apply(0.5, s);
    EXPECT_EQ(s.position.x, 10);
    EXPECT_EQ(s.position.y, 0);

    CABasicAnimation turn("transform.rotation.z");
    turn.toValue = std::numbers::pi / 2;
    turn.duration = 1;
    LayerState t;
    t.affineTransform = CGAffineTransformMakeScale(2, 2);
    turn.apply(0.5, t);  // rotation changes, scale stays
    EXPECT_NEAR(t.affineTransform.a, 2 * std::cos(std::numbers::pi / 4), 1e-9);
    EXPECT_NEAR(t.affineTransform.b, 2 * std::sin(std::numbers::pi / 4), 1e-9);

    CABasicAnimation wrongKind("bounds");
    wrongKind.toValue = 3.0;  // a number for a rectangle: ignored
    LayerState u;
    u.bounds = {{0, 0}, {4, 4}};
    wrongKind.apply(0.1, u);
    EXPECT_EQ(u.bounds.size.width, 4);

    CAKeyframeAnimation colors("backgroundColor");
    colors.values = {CGColor{1, 0, 0, 1}, CGColor{0, 1, 0, 1}, CGColor{0, 0, 1, 1}};
    colors.keyTimes = {0, 0.2, 1};
    colors.duration = 1;
    LayerState c;
    colors.apply(0.1, c);
    EXPECT_NEAR(c.backgroundColor->red, 0.5, 1e-9);
    colors.apply(0.6, c);
    EXPECT_NEAR(c.backgroundColor->blue, 0.5, 1e-9);
    colors.keyTimes = {0, 1};  // wrong count: evenly spaced
    colors.apply(0.25, c);
    EXPECT_NEAR(c.backgroundColor->green, 0.5, 1e-9);

    CAAnimationGroup group;
    group.duration = 2;
    auto late = fade(0, 1, 1);
    late.beginTime = 1;  // second half of the group
    group.animations = {late.copy(), move.copy()};
    LayerState g;
    g.position = {5, 5};
    group.apply(1.5, g);
    EXPECT_DOUBLE_EQ(g.opacity, 0.5);
    EXPECT_EQ(g.position, (CGPoint{5, 5}));  // move ended at 1 s, no fill
    group.apply(2.5, g);                     // the group itself is over
    EXPECT_DOUBLE_EQ(g.opacity, 0.5);
}

TEST(CAAnimation, LayerPresentationReplacementRemovalAndCompletion) {
    ManualTime manual;
    const auto layer = CAShapeLayer::layer();
    layer->setOpacity(0.2);
    std::vector<std::string> stops;
    auto first = fade(0, 1, 1);
    first.completion = [&](bool finished) { stops.push_back(finished ? "first done" : "first stopped"); };
    layer->addAnimation(first, "fade");
    CABasicAnimation stroke("strokeEnd");
    stroke.fromValue = 0.0;
    stroke.duration = 2;
    stroke.completion = [&](bool finished) { stops.push_back(finished ? "stroke done" : "stroke stopped"); };
    layer->addAnimation(stroke, "stroke");
    EXPECT_EQ(layer->animationKeys(), (std::vector<std::string>{"fade", "stroke"}));

    ManualClock::advance(0.5);
    EXPECT_DOUBLE_EQ(layer->presentationState().opacity, 0.5);
    EXPECT_DOUBLE_EQ(layer->presentationState().shape->strokeEnd, 0.25);  // towards the model's 1
    EXPECT_DOUBLE_EQ(layer->opacity(), 0.2);                                // model untouched

    auto second = fade(1, 0, 1);
    second.completion = [&](bool finished) { stops.push_back(finished ? "second done" : "second stopped"); };
    layer->addAnimation(second, "fade");  // replaces the first
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(stops, (std::vector<std::string>{"first stopped"}));
    EXPECT_DOUBLE_EQ(layer->presentationState().opacity, 1);

    ManualClock::advance(0.5);
    EXPECT_DOUBLE_EQ(layer->presentationState().opacity, 0.5);
    ManualClock::advance(0.5);  // first's old end passes silently; second ends
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(stops, (std::vector<std::string>{"first stopped", "second done"}));
    EXPECT_EQ(layer->animation("fade"), nullptr);
    EXPECT_DOUBLE_EQ(layer->presentationState().opacity, 0.2);

    layer->removeAllAnimations();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(stops.back(), "stroke stopped");
    EXPECT_TRUE(layer->animationKeys().empty());
}

TEST(CAAnimation, RendererDrawsThePresentationAtTheClockInstant) {
    ManualTime manual;
    const auto root = CALayer::layer();
    root->setBounds({{0, 0}, {20, 20}});
    const auto box = CALayer::layer();
    box->setFrame({{0, 0}, {10, 10}});
    box->setBackgroundColor(CGColor{1, 0, 0, 1});
    root->addSublayer(box);
    CABasicAnimation slide("position");
    slide.toValue = CGPoint{15, 15};  // from the model's (5, 5)
    slide.duration = 1;
    box->addAnimation(slide, "slide");
    ManualClock::advance(0.5);  // the box now covers 5...15
    const auto bitmap = LayerRenderer::renderBitmap(*root, 1, CGColor::white());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(pixelAt(*bitmap, 2, 2), (RGBA{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(*bitmap, 12, 12), kOpaqueRed);
    EXPECT_EQ(box->position(), (CGPoint{5, 5}));
}

TEST(CAAnimation, EndlessFarAndStackLayersNeverReportAnEnd) {
    ManualTime manual;
    std::vector<bool> stops;
    auto endless = fade(0, 1, 1);
    endless.repeatCount = std::numeric_limits<double>::infinity();
    endless.completion = [&](bool finished) { stops.push_back(finished); };
    auto far = fade(0, 1, 1e300);
    far.completion = endless.completion;
    const auto layer = CALayer::layer();
    layer->addAnimation(endless, "endless");
    layer->addAnimation(far, "far");
    CALayer onStack;  // not owned by a shared_ptr: animates, never reports
    onStack.addAnimation(fade(0, 1, 1), "fade");
    ManualClock::advance(10);
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(stops.empty());
    EXPECT_NEAR(layer->presentationState().opacity, 0, 1e-9);  // "far" (applied last) has barely begun
    EXPECT_EQ(onStack.animationKeys(), (std::vector<std::string>{"fade"}));
    layer->removeAnimation("far");
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(stops, (std::vector<bool>{false}));
}

TEST(CAAnimation, DeepCopiedLayersRunCopiesOfTheAnimationsWithoutTheirCompletions) {
    ManualTime time;
    const auto root = CALayer::layer();
    const auto child = CALayer::layer();
    root->addSublayer(child);
    int calls = 0;
    auto a = fade(0, 1, 1);
    a.completion = [&](bool) { ++calls; };
    child->addAnimation(a, "fade");
    ManualClock::advance(0.25);

    const auto copy = root->deepCopy()->sublayers().at(0);
    EXPECT_EQ(copy->animationKeys(), std::vector<std::string>{"fade"});
    EXPECT_NE(copy->animation("fade"), child->animation("fade"));
    ManualClock::advance(0.25);
    EXPECT_DOUBLE_EQ(copy->presentationState().opacity, 0.5);  // the same start as the original
    copy->removeAllAnimations();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(calls, 0);
    EXPECT_DOUBLE_EQ(child->presentationState().opacity, 0.5);
    ManualClock::advance(0.51);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(calls, 1);
}
