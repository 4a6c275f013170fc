#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/ui/UIGestureRecognizer.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/UIView.h>
#include <QVPlatform/ui/UIWindow.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

std::shared_ptr<UIView> view(double x, double y, double w, double h) {
    return std::make_shared<UIView>(CGRect{{x, y}, {w, h}});
}

void expectPoint(CGPoint actual, CGPoint expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

class CountingView : public NSObjectSubclass<CountingView, UIView, "CountingView"> {
public:
    using NSObjectSubclass::NSObjectSubclass;
    void layoutSubviews() override {
        ++layouts;
        order->push_back(this);
        if (!subviews().empty()) subviews().front()->setFrame({{0, 0}, {bounds().size.width / 2, 10}});
    }
    int layouts = 0;
    std::shared_ptr<std::vector<const UIView*>> order = std::make_shared<std::vector<const UIView*>>();
};

class TapTarget : public NSObjectSubclass<TapTarget, NSObject, "TapTarget"> {
public:
    static void registerClass(ObjCClass& cls) {
        cls.addMethod("didTap:", [](NSObject& self, const Any::List& args) {
            auto& target = static_cast<TapTarget&>(self);
            ++target.taps;
            target.sender = args.empty() ? nullptr : args[0].objectAs<UIGestureRecognizer>();
            return Any();
        });
    }
    int taps = 0;
    std::shared_ptr<UIGestureRecognizer> sender;
};

}  // namespace

TEST(UIView, FrameBoundsAndCenterDescribeTheSameRectangle) {
    auto v = view(10, 20, 100, 50);
    EXPECT_EQ(v->bounds(), (CGRect{{0, 0}, {100, 50}}));
    expectPoint(v->center(), {60, 45});
    v->setCenter({100, 100});
    EXPECT_EQ(v->frame(), (CGRect{{50, 75}, {100, 50}}));
    v->setBounds({{0, 0}, {20, 10}});
    EXPECT_EQ(v->frame(), (CGRect{{90, 95}, {20, 10}}));
    // A scale about the centre doubles the frame and keeps the bounds.
    v->setTransform(CGAffineTransformMakeScale(2, 2));
    EXPECT_EQ(v->frame(), (CGRect{{80, 90}, {40, 20}}));
    EXPECT_EQ(v->bounds().size, (CGSize{20, 10}));
    // A frame that is not finite is refused.
    v->setTransform({});
    v->setFrame({{NAN, 0}, {1, 1}});
    EXPECT_EQ(v->frame(), (CGRect{{90, 95}, {20, 10}}));
}

TEST(UIView, PointsAndRectsConvertThroughOffsetsBoundsOriginsAndTransforms) {
    auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {375, 667}});
    auto outer = view(10, 20, 200, 200);
    auto inner = view(5, 5, 50, 50);
    window->addSubview(outer);
    outer->addSubview(inner);
    expectPoint(inner->convertPoint({0, 0}, nullptr), {15, 25});
    expectPoint(inner->convertPoint({1, 2}, outer.get()), {6, 7});
    expectPoint(outer->convertPointFrom({15, 25}, nullptr), {5, 5});
    expectPoint(inner->convertPointFrom({0, 0}, window.get()), {-15, -25});
    // Scrolling the outer view (its bounds origin) moves what is inside it.
    outer->setBounds({{0, 100}, {200, 200}});
    expectPoint(inner->convertPoint({0, 0}, nullptr), {15, -75});
    outer->setBounds({{0, 0}, {200, 200}});
    // A half-size scale about the outer view's centre (110, 120 in the window).
    outer->setTransform(CGAffineTransformMakeScale(0.5, 0.5));
    expectPoint(outer->convertPoint({0, 0}, nullptr), {60, 70});
    expectPoint(outer->convertPointFrom({60, 70}, nullptr), {0, 0});
    const CGRect r = inner->convertRect({{0, 0}, {50, 50}}, nullptr);
    EXPECT_NEAR(r.origin.x, 62.5, 1e-9);
    EXPECT_NEAR(r.size.width, 25, 1e-9);
    const CGRect back = inner->convertRectFrom(r, nullptr);
    EXPECT_NEAR(back.size.width, 50, 1e-9);
    // Between two trees: through each window's frame.
    auto other = std::make_shared<UIWindow>(CGRect{{100, 0}, {100, 100}});
    auto inOther = view(10, 10, 10, 10);
    other->addSubview(inOther);
    outer->setTransform({});
    expectPoint(inner->convertPoint({0, 0}, inOther.get()), {15 - 110, 25 - 10});
}

TEST(UIView, AutoresizingSharesTheChangeAmongTheFlexibleParts) {
    using A = UIViewAutoresizing;
    auto parent = view(0, 0, 100, 100);
    auto width = view(10, 10, 80, 20);
    width->setAutoresizingMask(A::flexibleWidth);
    auto left = view(10, 40, 80, 20);
    left->setAutoresizingMask(A::flexibleLeftMargin | A::flexibleTopMargin);
    auto margins = view(10, 70, 80, 20);
    margins->setAutoresizingMask(A::flexibleLeftMargin | A::flexibleRightMargin);
    auto fixed = view(10, 10, 10, 10);
    auto fill = view(0, 0, 100, 100);
    fill->setAutoresizingMask(A::flexibleWidth | A::flexibleHeight);
    for (const auto& v : {width, left, margins, fixed, fill}) parent->addSubview(v);
    parent->setFrame({{0, 0}, {200, 150}});
    EXPECT_EQ(width->frame(), (CGRect{{10, 10}, {180, 20}}));
    EXPECT_EQ(left->frame(), (CGRect{{110, 90}, {80, 20}}));
    EXPECT_EQ(margins->frame(), (CGRect{{60, 70}, {80, 20}}));  // centred as before
    EXPECT_EQ(fixed->frame(), (CGRect{{10, 10}, {10, 10}}));
    EXPECT_EQ(fill->frame(), (CGRect{{0, 0}, {200, 150}}));
    // Shrinking below zero keeps sizes at zero; turning autoresizing off stops it all.
    parent->setFrame({{0, 0}, {10, 150}});
    EXPECT_EQ(width->frame().size.width, 0);
    parent->setAutoresizesSubviews(false);
    parent->setFrame({{0, 0}, {300, 300}});
    EXPECT_EQ(fill->frame().size, (CGSize{10, 150}));
}

TEST(UIView, LayoutRunsOncePerTurnTopDownAndOnDemand) {
    auto parent = std::make_shared<CountingView>(CGRect{{0, 0}, {100, 100}});
    auto child = std::make_shared<CountingView>(CGRect{{0, 0}, {10, 10}});
    child->order = parent->order;
    auto grandchild = view(0, 0, 1, 1);
    child->addSubview(grandchild);
    parent->addSubview(child);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(parent->layouts, 1);
    EXPECT_EQ(child->layouts, 1);
    ASSERT_EQ(parent->order->size(), 2u);
    EXPECT_EQ(parent->order->at(0), parent.get());
    // The parent's layout resized the child, which marked the child again: both ran, parent first.
    EXPECT_EQ(child->frame().size, (CGSize{50, 10}));
    parent->setNeedsLayout();
    parent->setNeedsLayout();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(parent->layouts, 2);
    EXPECT_FALSE(parent->needsLayout());
    // layoutIfNeeded lays out now; with nothing marked it does nothing.
    parent->setFrame({{0, 0}, {60, 60}});
    parent->layoutIfNeeded();
    EXPECT_EQ(parent->layouts, 3);
    EXPECT_EQ(child->frame().size, (CGSize{30, 10}));
    parent->layoutIfNeeded();
    EXPECT_EQ(parent->layouts, 3);
    RunLoop::main().runUntilIdle();
}

TEST(UIView, SubviewOrderIsMirroredInTheLayerTree) {
    auto parent = view(0, 0, 10, 10);
    auto a = view(0, 0, 1, 1), b = view(0, 0, 1, 1), c = view(0, 0, 1, 1);
    parent->addSubview(a);
    parent->addSubview(b);
    parent->insertSubview(c, 0);  // c a b
    parent->bringSubviewToFront(*c);  // a b c
    parent->sendSubviewToBack(*b);    // b a c
    parent->insertSubviewAbove(c, b.get());  // b c a
    const std::vector<std::shared_ptr<UIView>> expected{b, c, a};
    EXPECT_EQ(parent->subviews(), expected);
    const auto layers = parent->layer()->sublayers();
    ASSERT_EQ(layers.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(layers[i], expected[i]->layer());
    EXPECT_EQ(c->superview(), parent);
    // An ancestor cannot become a subview; removal unlinks both trees.
    c->addSubview(parent);
    EXPECT_EQ(parent->superview(), nullptr);
    c->removeFromSuperview();
    EXPECT_EQ(parent->subviews().size(), 2u);
    EXPECT_EQ(c->layer()->superlayer(), nullptr);
    c->setTag(7);
    a->addSubview(c);
    EXPECT_EQ(parent->viewWithTag(7), c);
    EXPECT_EQ(parent->viewWithTag(8), nullptr);
    // A view moved to another parent leaves the first.
    b->addSubview(c);
    EXPECT_TRUE(a->subviews().empty());
    EXPECT_TRUE(c->isDescendantOfView(*parent));
}

TEST(UIView, HitTestingSkipsHiddenTransparentAndNonInteractiveViews) {
    auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {200, 200}});
    EXPECT_EQ(window->hitTest({10, 10}), nullptr);  // a window is hidden until shown
    window->setHidden(false);
    auto back = view(0, 0, 100, 100);
    auto front = view(50, 50, 100, 100);
    window->addSubview(back);
    window->addSubview(front);
    EXPECT_EQ(window->hitTest({75, 75}), front);  // the frontmost
    EXPECT_EQ(window->hitTest({25, 25}), back);
    EXPECT_EQ(window->hitTest({190, 10}), window);
    EXPECT_EQ(window->hitTest({250, 10}), nullptr);
    front->setHidden(true);
    EXPECT_EQ(window->hitTest({75, 75}), back);
    front->setHidden(false);
    front->setAlpha(0.005);
    EXPECT_EQ(window->hitTest({75, 75}), back);
    front->setAlpha(0.01);
    EXPECT_EQ(window->hitTest({75, 75}), front);
    front->setUserInteractionEnabled(false);
    EXPECT_EQ(window->hitTest({75, 75}), back);
    // A label takes no touches by default: its superview gets them.
    auto label = std::make_shared<UILabel>(CGRect{{0, 0}, {20, 20}});
    back->addSubview(label);
    EXPECT_EQ(window->hitTest({5, 5}), back);
    // Children outside their parent's bounds are not reached.
    auto outside = view(120, 0, 10, 10);
    back->addSubview(outside);
    EXPECT_EQ(window->hitTest({125, 5}), window);
}

TEST(UIView, TapsFireTheRecognizersOfTheViewHit) {
    auto window = std::make_shared<UIWindow>(CGRect{{0, 0}, {200, 200}});
    window->setHidden(false);
    auto button = view(20, 20, 50, 50);
    window->addSubview(button);
    auto target = std::make_shared<TapTarget>();
    auto tap = std::make_shared<UITapGestureRecognizer>(target, "didTap:");
    button->addGestureRecognizer(tap);
    EXPECT_TRUE(window->sendTap({30, 40}));
    EXPECT_EQ(target->taps, 1);
    EXPECT_EQ(target->sender, tap);
    expectPoint(tap->locationInView(button.get()), {10, 20});
    EXPECT_FALSE(window->sendTap({150, 150}));
    // A label inside the button passes the tap on to the button.
    button->addSubview(std::make_shared<UILabel>(CGRect{{0, 0}, {50, 50}}));
    EXPECT_TRUE(window->sendTap({30, 40}));
    EXPECT_EQ(target->taps, 2);
    // A disabled recognizer does not fire; a gone target is skipped.
    tap->setEnabled(false);
    EXPECT_FALSE(window->sendTap({30, 40}));
    tap->setEnabled(true);
    target.reset();
    EXPECT_TRUE(window->sendTap({30, 40}));
    // A closure action; a double tap needs two taps close together on the clock.
    int doubles = 0;
    auto twice = std::make_shared<UITapGestureRecognizer>([&](UIGestureRecognizer&) { ++doubles; });
    twice->setNumberOfTapsRequired(2);
    window->addGestureRecognizer(twice);
    ManualClock::start();
    window->sendTap({150, 150});
    ManualClock::advance(1);
    window->sendTap({150, 150});
    EXPECT_EQ(doubles, 0);
    ManualClock::advance(0.2);
    window->sendTap({150, 150});
    EXPECT_EQ(doubles, 1);
    ManualClock::stop();
}

TEST(UIView, SafeAreaIsTheWindowsInsetsWhereTheViewOverlapsThem) {
    auto window = std::make_shared<UIWindow>();
    EXPECT_EQ(window->bounds().size, (CGSize{UIScreen::main()->bounds().size}));
    const double status = UIScreen::main()->statusBarHeight();
    EXPECT_EQ(window->safeAreaInsets(), (UIEdgeInsets{status, 0, UIScreen::main()->bottomInset(), 0}));
    auto top = view(0, 5, 100, 100);
    window->addSubview(top);
    EXPECT_EQ(top->safeAreaInsets().top, std::max(0.0, status - 5));
    auto low = view(0, 300, 100, 100);
    window->addSubview(low);
    EXPECT_EQ(low->safeAreaInsets().top, 0);
    EXPECT_EQ(view(0, 0, 10, 10)->safeAreaInsets(), UIEdgeInsets{});
}
