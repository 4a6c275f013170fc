#include <QVToolbox/hud/AnimationType.h>

#include <QVPlatform/layers/CAAnimation.h>
#include <QVPlatform/layers/CAShapeLayer.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

namespace QVToolbox {
namespace {

using namespace platform;

constexpr double kPi = std::numbers::pi;
constexpr double kForever = std::numeric_limits<double>::infinity();

constexpr std::array<std::string_view, 22> kNames{
    "none", "activityIndicator", "ballVerticalBounce", "barSweepToggle", "circleArcDotSpin",
    "circleBarSpinFade", "circleDotSpinFade", "circlePulseMultiple", "circlePulseSingle",
    "circleRippleMultiple", "circleRippleSingle", "circleRotateChase", "circleStrokeSpin",
    "dualDotSidestep", "horizontalBarScaling", "horizontalDotScaling", "pacmanProgress",
    "quintupleDotDance", "semiRingRotation", "sfSymbolBounce", "squareCircuitSnake", "triangleDotShift"};

CAMediaTimingFunction curve(CAMediaTimingFunction::Name name) { return CAMediaTimingFunction::named(name); }
const auto kEaseInOut = CAMediaTimingFunction::Name::easeInEaseOut;

// The drawing context of one animation: the host, the square's side and the colour.
struct Canvas {
    CALayer& host;
    double s;
    CGColor color;

    CGPoint at(double fx, double fy) const { return {fx * s, fy * s}; }
    CGRect square() const { return {{0, 0}, {s, s}}; }

    // A filled (or, with a line width, stroked) shape layer with `frame`, drawing `path` in
    // its own coordinates.
    std::shared_ptr<CAShapeLayer> shape(CGRect frame, CGPathRef path, double lineWidth = 0) const {
        auto layer = CAShapeLayer::layer();
        layer->setFrame(frame);
        layer->setPath(std::move(path));
        if (lineWidth > 0) {
            layer->setFillColor(std::nullopt);
            layer->setStrokeColor(color);
            layer->setLineWidth(lineWidth);
            layer->setLineCap(kCALineCapRound);
            layer->setLineJoin(kCALineJoinRound);
        } else {
            layer->setFillColor(color);
        }
        host.addSublayer(layer);
        return layer;
    }
    // A filled dot of radius `r` centred at `centre`, in a layer of its own size (so that
    // scaling and moving happen about the dot's centre).
    std::shared_ptr<CAShapeLayer> dot(CGPoint centre, double r) const {
        CGMutablePath p;
        p.addEllipse({{0, 0}, {2 * r, 2 * r}});
        return shape({{centre.x - r, centre.y - r}, {2 * r, 2 * r}}, p.copy());
    }
    // A layer covering the square, drawing `path` (turns about the square's centre).
    std::shared_ptr<CAShapeLayer> whole(CGPathRef path, double lineWidth = 0) const {
        return shape(square(), std::move(path), lineWidth);
    }
};

CGPathRef arcPath(CGPoint centre, double r, double start, double end) {
    CGMutablePath p;
    p.addArc(centre, r, start, end, true);
    return p.copy();
}
CGPathRef ellipsePath(CGRect r) {
    CGMutablePath p;
    p.addEllipse(r);
    return p.copy();
}

// Adds `animation` to `layer` for ever; `phase` seconds into its cycle at once (negative: it
// starts that much later).
void loop(CALayer& layer, CAAnimation& animation, double duration, double phase = 0, const char* key = "animation") {
    animation.duration = duration;
    // A group's children without a duration of their own span the whole group.
    if (auto* group = dynamic_cast<CAAnimationGroup*>(&animation))
        for (auto& child : group->animations)
            if (child->duration == 0) child->duration = duration;
    animation.repeatCount = kForever;
    animation.removedOnCompletion = false;
    if (phase != 0) animation.beginTime = CACurrentMediaTime() - phase;
    layer.addAnimation(animation, key);
}

CAKeyframeAnimation keyframes(const char* path, std::vector<CAAnimationValue> values, std::vector<double> times = {},
                              std::optional<CAMediaTimingFunction> each = std::nullopt) {
    CAKeyframeAnimation a(path);
    a.values = std::move(values);
    a.keyTimes = std::move(times);
    if (each && a.values.size() > 1) a.timingFunctions.assign(a.values.size() - 1, *each);
    return a;
}
CABasicAnimation basic(const char* path, CAAnimationValue from, CAAnimationValue to) {
    CABasicAnimation a(path);
    a.fromValue = std::move(from);
    a.toValue = std::move(to);
    return a;
}
// A full turn about the layer's anchor.
CABasicAnimation spin() { return basic("transform.rotation.z", 0.0, 2 * kPi); }
// Grows from `fromScale` while fading out: pulses and ripples.
CAAnimationGroup growAndFade(double fromScale) {
    CAAnimationGroup g;
    auto grow = basic("transform.scale", fromScale, 1.0);
    grow.timingFunction = curve(CAMediaTimingFunction::Name::easeOut);
    g.animations = {grow.copy(), basic("opacity", 1.0, 0.0).copy()};
    return g;
}

void ballVerticalBounce(const Canvas& c) {
    auto shadow = c.shape({c.at(0.3, 0.89), {0.4 * c.s, 0.08 * c.s}}, ellipsePath({{0, 0}, {0.4 * c.s, 0.08 * c.s}}));
    auto ball = c.dot(c.at(0.5, 0.2), 0.13 * c.s);
    auto drop = keyframes("position", {c.at(0.5, 0.2), c.at(0.5, 0.74), c.at(0.5, 0.2)}, {0, 0.5, 1});
    drop.timingFunctions = {curve(CAMediaTimingFunction::Name::easeIn), curve(CAMediaTimingFunction::Name::easeOut)};
    loop(*ball, drop, 0.8);
    CAAnimationGroup nearer;
    nearer.animations = {keyframes("transform.scale", {0.5, 1.0, 0.5}, {0, 0.5, 1}).copy(),
                         keyframes("opacity", {0.25, 0.6, 0.25}, {0, 0.5, 1}).copy()};
    loop(*shadow, nearer, 0.8);
}

void barSweepToggle(const Canvas& c) {
    const double h = 0.14 * c.s, y = 0.5 * c.s - h / 2;
    CGMutablePath track;
    track.addRoundedRect({{0, 0}, {c.s, h}}, {h / 2, h / 2});
    c.shape({{0, y}, {c.s, h}}, track.copy())->setOpacity(0.3);
    CGMutablePath bar;
    bar.addRoundedRect({{0, 0}, {0.4 * c.s, h}}, {h / 2, h / 2});
    auto sweeper = c.shape({{0, y}, {0.4 * c.s, h}}, bar.copy());
    auto sweep = keyframes("position", {c.at(0.2, 0.5), c.at(0.8, 0.5), c.at(0.2, 0.5)}, {0, 0.5, 1}, curve(kEaseInOut));
    loop(*sweeper, sweep, 1.2);
}

void circleArcDotSpin(const Canvas& c) {
    auto arc = c.whole(arcPath(c.at(0.5, 0.5), 0.38 * c.s, -kPi / 2, kPi), 0.07 * c.s);
    auto turn = spin();
    loop(*arc, turn, 1.6);
    CGMutablePath dot;
    dot.addEllipse({c.at(0.5 - 0.09, 0.02), {0.18 * c.s, 0.18 * c.s}});
    auto orbit = c.whole(dot.copy());
    auto fast = basic("transform.rotation.z", 0.0, -2 * kPi);
    loop(*orbit, fast, 1.0);
}

void circleBarSpinFade(const Canvas& c) {
    constexpr int kBars = 8;
    constexpr double kCycle = 0.8;
    for (int i = 0; i < kBars; ++i) {
        CGMutablePath bar;
        bar.addRoundedRect({c.at(0.455, 0.02), {0.09 * c.s, 0.26 * c.s}}, {0.045 * c.s, 0.045 * c.s});
        auto layer = c.whole(bar.copy());
        layer->setAffineTransform(CGAffineTransformMakeRotation(i * 2 * kPi / kBars));
        auto fade = basic("opacity", 1.0, 0.15);
        loop(*layer, fade, kCycle, kCycle * (kBars - i) / kBars);
    }
}

void circleDotSpinFade(const Canvas& c) {
    constexpr int kDots = 8;
    constexpr double kCycle = 0.8;
    for (int i = 0; i < kDots; ++i) {
        const double angle = -kPi / 2 + i * 2 * kPi / kDots;
        auto dot = c.dot(c.at(0.5 + 0.38 * std::cos(angle), 0.5 + 0.38 * std::sin(angle)), 0.09 * c.s);
        CAAnimationGroup g;
        g.animations = {basic("opacity", 1.0, 0.2).copy(), basic("transform.scale", 1.0, 0.4).copy()};
        loop(*dot, g, kCycle, kCycle * (kDots - i) / kDots);
    }
}

void pulses(const Canvas& c, int count, double cycle) {
    for (int i = 0; i < count; ++i) {
        auto disc = c.whole(ellipsePath(c.square()));
        auto g = growAndFade(0.0);
        loop(*disc, g, cycle, cycle * i / count);
    }
}

void ripples(const Canvas& c, int count, double cycle) {
    const double w = 0.05 * c.s;
    for (int i = 0; i < count; ++i) {
        auto ring = c.whole(ellipsePath({{w, w}, {c.s - 2 * w, c.s - 2 * w}}), w);
        auto g = growAndFade(0.1);
        loop(*ring, g, cycle, cycle * i / count);
    }
}

void circleRotateChase(const Canvas& c) {
    constexpr int kDots = 5;
    for (int i = 0; i < kDots; ++i) {
        const double r = (0.1 - 0.012 * i) * c.s;
        auto orbit = c.whole(ellipsePath({{0.5 * c.s - r, 0.1 * c.s - r}, {2 * r, 2 * r}}));
        auto turn = spin();
        turn.timingFunction = curve(kEaseInOut);
        loop(*orbit, turn, 1.5, -0.09 * i);
    }
}

void circleStrokeSpin(const Canvas& c) {
    auto arc = c.whole(arcPath(c.at(0.5, 0.5), 0.4 * c.s, -kPi / 2, 3 * kPi / 2), 0.08 * c.s);
    auto head = basic("strokeEnd", 0.0, 1.0);
    head.duration = 1.0;
    head.fillMode = CAFillMode::forwards;
    head.timingFunction = curve(kEaseInOut);
    auto tail = basic("strokeStart", 0.0, 1.0);
    tail.beginTime = 0.5;
    tail.duration = 1.0;
    tail.timingFunction = curve(kEaseInOut);
    CAAnimationGroup chase;
    chase.animations = {head.copy(), tail.copy()};
    loop(*arc, chase, 1.5);
    auto turn = spin();
    loop(*arc, turn, 2.0, 0, "rotation");
}

void dualDotSidestep(const Canvas& c) {
    const std::vector<CAAnimationValue> orbit{c.at(0.25, 0.5), c.at(0.5, 0.32), c.at(0.75, 0.5), c.at(0.5, 0.68),
                                              c.at(0.25, 0.5)};
    for (int i = 0; i < 2; ++i) {
        auto dot = c.dot(i == 0 ? c.at(0.25, 0.5) : c.at(0.75, 0.5), 0.13 * c.s);
        auto step = keyframes("position", orbit, {}, curve(kEaseInOut));
        loop(*dot, step, 1.2, 0.6 * i);
    }
}

void horizontalBarScaling(const Canvas& c) {
    constexpr int kBars = 5;
    for (int i = 0; i < kBars; ++i) {
        CGMutablePath bar;
        bar.addRoundedRect({{0, 0}, {0.12 * c.s, 0.7 * c.s}}, {0.06 * c.s, 0.06 * c.s});
        auto layer = c.shape({c.at(0.04 + i * 0.2, 0.15), {0.12 * c.s, 0.7 * c.s}}, bar.copy());
        auto stretch = keyframes("transform", {CGAffineTransformMakeScale(1, 0.35), CGAffineTransformMakeScale(1, 1),
                                               CGAffineTransformMakeScale(1, 0.35)},
                                 {0, 0.5, 1}, curve(kEaseInOut));
        loop(*layer, stretch, 1.0, -0.1 * i);
    }
}

void horizontalDotScaling(const Canvas& c) {
    for (int i = 0; i < 3; ++i) {
        auto dot = c.dot(c.at(0.18 + i * 0.32, 0.5), 0.13 * c.s);
        auto beat = keyframes("transform.scale", {0.3, 1.0, 0.3}, {0, 0.5, 1}, curve(kEaseInOut));
        loop(*dot, beat, 0.75, -0.12 * i);
    }
}

void pacmanProgress(const Canvas& c) {
    const double r = 0.3 * c.s;
    const CGRect body{c.at(0.04, 0.2), {2 * r, 2 * r}};
    const CGPoint mid{r, r};
    auto half = [&](double start, double lift) {
        CGMutablePath p;
        p.moveTo(mid);
        p.addArc(mid, r, start, start + kPi, true);
        p.closeSubpath();
        auto layer = c.shape(body, p.copy());
        auto chew = keyframes("transform.rotation.z", {lift, 0.0, lift}, {0, 0.5, 1});
        loop(*layer, chew, 0.5);
    };
    half(kPi, -kPi / 5);  // the upper jaw, over the top
    half(0, kPi / 5);     // the lower jaw
    auto food = c.dot(c.at(0.95, 0.5), 0.07 * c.s);
    CAAnimationGroup eaten;
    eaten.animations = {basic("position", c.at(0.95, 0.5), c.at(0.4, 0.5)).copy(),
                        keyframes("opacity", {1.0, 1.0, 0.0}, {0, 0.85, 1}).copy()};
    loop(*food, eaten, 1.0);
}

void quintupleDotDance(const Canvas& c) {
    for (int i = 0; i < 5; ++i) {
        const double x = 0.1 + i * 0.2;
        auto dot = c.dot(c.at(x, 0.5), 0.08 * c.s);
        auto dance = keyframes("position", {c.at(x, 0.5), c.at(x, 0.25), c.at(x, 0.5), c.at(x, 0.75), c.at(x, 0.5)},
                               {}, curve(kEaseInOut));
        loop(*dot, dance, 1.0, 0.12 * i);
    }
}

void semiRingRotation(const Canvas& c) {
    const double w = 0.09 * c.s;
    c.whole(arcPath(c.at(0.5, 0.5), 0.4 * c.s, 0, 2 * kPi), w)->setOpacity(0.25);
    auto semi = c.whole(arcPath(c.at(0.5, 0.5), 0.4 * c.s, -kPi / 2, kPi / 2), w);
    auto turn = spin();
    loop(*semi, turn, 0.9);
}

void squareCircuitSnake(const Canvas& c) {
    const double w = 0.08 * c.s;
    const CGRect box{c.at(0.15, 0.15), {0.7 * c.s, 0.7 * c.s}};
    CGMutablePath once;
    once.addRect(box);
    c.whole(once.copy(), w)->setOpacity(0.25);
    // Twice round, so a segment running from the first lap into the second wraps smoothly.
    CGMutablePath twice;
    twice.addRect(box);
    twice.addRect(box);
    auto snake = c.whole(twice.copy(), w);
    CAAnimationGroup crawl;
    crawl.animations = {basic("strokeStart", 0.0, 0.5).copy(), basic("strokeEnd", 0.15, 0.65).copy()};
    loop(*snake, crawl, 2.0);
}

void triangleDotShift(const Canvas& c) {
    const std::array<CGPoint, 3> corners{c.at(0.5, 0.17), c.at(0.83, 0.77), c.at(0.17, 0.77)};
    for (int i = 0; i < 3; ++i) {
        std::vector<CAAnimationValue> path;
        for (int k = 0; k <= 3; ++k) path.emplace_back(corners[static_cast<std::size_t>((i + k) % 3)]);
        auto dot = c.dot(corners[static_cast<std::size_t>(i)], 0.12 * c.s);
        auto shift = keyframes("position", std::move(path), {}, curve(kEaseInOut));
        loop(*dot, shift, 1.8);
    }
}

}  // namespace

const std::array<AnimationType, 22>& allAnimationTypes() {
    static const std::array<AnimationType, 22> all = [] {
        std::array<AnimationType, 22> a{};
        for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<AnimationType>(i);
        return a;
    }();
    return all;
}

std::string_view animationTypeName(AnimationType type) {
    const auto i = static_cast<std::size_t>(type);
    return i < kNames.size() ? kNames[i] : std::string_view("none");
}

std::optional<AnimationType> animationTypeNamed(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name) return static_cast<AnimationType>(i);
    return std::nullopt;
}

bool isDrawnAnimation(AnimationType type) {
    return type != AnimationType::none && type != AnimationType::activityIndicator && type != AnimationType::sfSymbolBounce;
}

void addAnimationContent(AnimationType type, CALayer& host, double side, CGColor color) {
    if (!(side > 0) || !std::isfinite(side)) return;
    const Canvas c{host, side, color};
    switch (type) {
        case AnimationType::ballVerticalBounce: return ballVerticalBounce(c);
        case AnimationType::barSweepToggle: return barSweepToggle(c);
        case AnimationType::circleArcDotSpin: return circleArcDotSpin(c);
        case AnimationType::circleBarSpinFade: return circleBarSpinFade(c);
        case AnimationType::circleDotSpinFade: return circleDotSpinFade(c);
        case AnimationType::circlePulseMultiple: return pulses(c, 3, 1.2);
        case AnimationType::circlePulseSingle: return pulses(c, 1, 1.0);
        case AnimationType::circleRippleMultiple: return ripples(c, 3, 1.2);
        case AnimationType::circleRippleSingle: return ripples(c, 1, 1.0);
        case AnimationType::circleRotateChase: return circleRotateChase(c);
        case AnimationType::circleStrokeSpin: return circleStrokeSpin(c);
        case AnimationType::dualDotSidestep: return dualDotSidestep(c);
        case AnimationType::horizontalBarScaling: return horizontalBarScaling(c);
        case AnimationType::horizontalDotScaling: return horizontalDotScaling(c);
        case AnimationType::pacmanProgress: return pacmanProgress(c);
        case AnimationType::quintupleDotDance: return quintupleDotDance(c);
        case AnimationType::semiRingRotation: return semiRingRotation(c);
        case AnimationType::squareCircuitSnake: return squareCircuitSnake(c);
        case AnimationType::triangleDotShift: return triangleDotShift(c);
        case AnimationType::none:
        case AnimationType::activityIndicator:
        case AnimationType::sfSymbolBounce: return;
    }
}

}  // namespace QVToolbox
