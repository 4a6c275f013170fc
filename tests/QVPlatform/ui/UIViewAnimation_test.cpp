#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/layers/CAAnimation.h>
#include <QVPlatform/ui/UIView.h>
#include <QVPlatform/ui/UIWindow.h>

#include "support/Pixels.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace platform;
using Options = UIViewAnimationOptions;

namespace {

// Manual time for one test, with the main thread set so the run loop can be pumped here.
struct ManualTime {
    ManualTime() {
        RunLoop::setMainThread();
        ManualClock::start();
    }
    ~ManualTime() {
        RunLoop::main().runUntilIdle();
        ManualClock::stop();
    }
};

std::shared_ptr<UIView> view(double x, double y, double w, double h) {
    return std::make_shared<UIView>(CGRect{{x, y}, {w, h}});
}

double shownAlpha(const UIView& v) { return v.layer()->presentationState().opacity; }
CGPoint shownCenter(const UIView& v) { return v.layer()->presentationState().position; }

// Every `finished` a completion was called with, in order.
struct Completions {
    std::vector<bool> calls;
    std::function<void(bool)> record() {
        return [this](bool finished) { calls.push_back(finished); };
    }
};

void fadeIn(UIView& v, double duration, Options options, std::function<void(bool)> completion = {}) {
    UIView::animate(duration, 0, options, [&] { v.setAlpha(1); }, std::move(completion));
}

}  // namespace

TEST(UIViewAnimation, ValuesAtInstantsForEachCurveAndTheCompletion) {
    ManualTime time;
    struct Case {
        Options curve;
        double at25, at50;
    };
    const Case cases[] = {{Options::curveEaseInOut, 0.1291, 0.5},
                          {Options::curveEaseIn, 0.0935, 0.3153},
                          {Options::curveEaseOut, 0.3781, 0.6847},
                          {Options::curveLinear, 0.25, 0.5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.curve));
        auto v = view(0, 0, 10, 10);
        v->setAlpha(0);
        Completions done;
        fadeIn(*v, 1, c.curve, done.record());
        EXPECT_EQ(v->alpha(), 1);  // the model changes at once
        EXPECT_NEAR(shownAlpha(*v), 0, 1e-9);
        ManualClock::advance(0.25);
        EXPECT_NEAR(shownAlpha(*v), c.at25, 1e-3);
        ManualClock::advance(0.25);
        EXPECT_NEAR(shownAlpha(*v), c.at50, 1e-3);
        EXPECT_TRUE(done.calls.empty());
        ManualClock::advance(0.51);
        RunLoop::main().runUntilIdle();
        EXPECT_EQ(done.calls, std::vector<bool>{true});
        EXPECT_EQ(shownAlpha(*v), 1);
        EXPECT_TRUE(v->layer()->animationKeys().empty());
    }

    // Frame, center, transform and background colour, linear, half-way.
    auto v = view(0, 0, 100, 50);
    v->setBackgroundColor(UIColor::redColor());
    UIView::animate(2, 0, Options::curveLinear, [&] {
        v->setFrame({{100, 0}, {200, 50}});
        v->setTransform(CGAffineTransformMakeScale(3, 3));
        v->setBackgroundColor(UIColor::blueColor());
    });
    EXPECT_EQ(v->frame(), (CGRect{{100, 0}, {600, 150}}).offsetBy(-200, -50));  // the model, scaled 3×
    ManualClock::advance(1);
    const LayerState shown = v->layer()->presentationState();
    EXPECT_NEAR(shown.position.x, 125, 1e-9);  // 50 → 200
    EXPECT_NEAR(shown.bounds.size.width, 150, 1e-9);
    EXPECT_NEAR(shown.affineTransform.a, 2, 1e-9);
    EXPECT_NEAR(shown.backgroundColor->red, 0.5, 1e-9);
    EXPECT_NEAR(shown.backgroundColor->blue, 0.5, 1e-9);
}

TEST(UIViewAnimation, ANewAnimationReplacesTheRunningOneWhoseCompletionGetsFalseOnce) {
    ManualTime time;
    auto v = view(0, 0, 10, 10);
    v->setAlpha(0);
    Completions first, second;
    UIView::animate(1, 0, Options::curveLinear, [&] {
        v->setAlpha(1);
        v->setCenter({100, 5});
    }, first.record());
    ManualClock::advance(0.5);
    UIView::animate(1, 0, Options::curveLinear, [&] { v->setAlpha(0.2); }, second.record());
    RunLoop::main().runUntilIdle();
    // Not replaced from where it was shown: the new one starts at the model value before its block.
    EXPECT_NEAR(shownAlpha(*v), 1, 1e-9);
    EXPECT_TRUE(first.calls.empty());  // its center animation still runs
    EXPECT_NEAR(shownCenter(*v).x, 52.5, 1e-9);
    ManualClock::advance(0.51);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(first.calls, std::vector<bool>{false});
    EXPECT_TRUE(second.calls.empty());
    ManualClock::advance(0.5);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(first.calls, std::vector<bool>{false});
    EXPECT_EQ(second.calls, std::vector<bool>{true});

    // Removing every animation of the layer ends the block as not finished.
    Completions removed;
    fadeIn(*v, 1, Options::none, removed.record());
    v->layer()->removeAllAnimations();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(removed.calls, std::vector<bool>{false});
    EXPECT_EQ(shownAlpha(*v), 1);
}

TEST(UIViewAnimation, BeginFromCurrentStateStartsFromThePresentationValue) {
    ManualTime time;
    auto v = view(0, 0, 10, 10);
    v->setAlpha(0);
    fadeIn(*v, 1, Options::curveLinear);
    ManualClock::advance(0.5);
    UIView::animate(1, 0, Options::curveLinear | Options::beginFromCurrentState, [&] { v->setAlpha(0); });
    EXPECT_NEAR(shownAlpha(*v), 0.5, 1e-9);
    ManualClock::advance(0.5);
    EXPECT_NEAR(shownAlpha(*v), 0.25, 1e-9);
}

TEST(UIViewAnimation, DelayShowsTheOldValueUntilItsStart) {
    ManualTime time;
    auto v = view(0, 0, 10, 10);
    v->setAlpha(0);
    Completions done;
    UIView::animate(1, 0.5, Options::curveLinear, [&] { v->setAlpha(1); }, done.record());
    ManualClock::advance(0.25);
    EXPECT_EQ(shownAlpha(*v), 0);
    ManualClock::advance(0.75);
    EXPECT_NEAR(shownAlpha(*v), 0.5, 1e-9);
    ManualClock::advance(0.4);
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(done.calls.empty());
    ManualClock::advance(0.11);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(done.calls, std::vector<bool>{true});
}

TEST(UIViewAnimation, ZeroDurationNothingChangedAndWithoutAnimationApplyAtOnce) {
    ManualTime time;
    auto v = view(0, 0, 10, 10);
    v->setAlpha(0);
    Completions running, immediate, unchanged;
    fadeIn(*v, 1, Options::curveLinear, running.record());
    ManualClock::advance(0.5);
    UIView::animate(0, [&] { v->setAlpha(0.3); }, immediate.record());
    EXPECT_TRUE(immediate.calls.empty());  // not inside the call: on the next turn
    EXPECT_NEAR(shownAlpha(*v), 0.3, 1e-9);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(immediate.calls, std::vector<bool>{true});
    EXPECT_EQ(running.calls, std::vector<bool>{false});

    UIView::animate(1, [&] { v->setAlpha(0.3); }, unchanged.record());
    EXPECT_TRUE(v->layer()->animationKeys().empty());
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(unchanged.calls, std::vector<bool>{true});

    UIView::animate(1, [&] {
        v->setCenter({40, 40});
        UIView::performWithoutAnimation([&] { v->setAlpha(1); });
    });
    EXPECT_EQ(v->layer()->animationKeys(), std::vector<std::string>{"position"});
    EXPECT_EQ(shownAlpha(*v), 1);
}

TEST(UIViewAnimation, HitTestingSkipsAViewAnimatedWithoutUserInteraction) {
    ManualTime time;
    auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {200, 200}});
    window->setHidden(false);
    auto panel = view(0, 0, 100, 100);
    auto button = view(10, 10, 20, 20);
    window->addSubview(panel);
    panel->addSubview(button);
    fadeIn(*panel, 1, Options::none);
    EXPECT_EQ(window->hitTest({15, 15}), button);  // alpha unchanged: nothing animates
    panel->setAlpha(0.5);
    fadeIn(*panel, 1, Options::none);
    EXPECT_EQ(window->hitTest({15, 15}), window);  // the panel and its button are skipped
    ManualClock::advance(1.01);
    EXPECT_EQ(window->hitTest({15, 15}), button);

    panel->setAlpha(0.5);
    fadeIn(*panel, 1, Options::allowUserInteraction);
    EXPECT_EQ(window->hitTest({15, 15}), button);
    ManualClock::advance(1.01);
}

TEST(UIViewAnimation, RenderedMidAnimationShowsThePresentation) {
    ManualTime time;
    auto v = view(0, 0, 10, 10);
    v->setBackgroundColor(UIColor::redColor());
    UIView::animate(1, 0, Options::curveLinear, [&] { v->setBackgroundColor(UIColor::blueColor()); });
    ManualClock::advance(0.5);
    const auto bitmap = v->renderBitmap(1);
    ASSERT_TRUE(bitmap);
    const auto pixel = testing_support::pixelAt(*bitmap, 5, 5);
    EXPECT_NEAR(pixel[0], 128, 1);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_NEAR(pixel[2], 128, 1);
    EXPECT_EQ(pixel[3], 255);
    ManualClock::advance(0.5);
    testing_support::expectPixels(*v->renderBitmap(1), {{5, 5, testing_support::kOpaqueBlue}});
}
