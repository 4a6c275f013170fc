#include <QVPlatform/layers/CAAnimation.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr double kDefaultDuration = 0.25;

double lerp(double a, double b, double f) { return a + (b - a) * f; }

// Scale and rotation of an affine transform, and the transform rebuilt from them.
struct Decomposed {
    double sx = 1, sy = 1, angle = 0, tx = 0, ty = 0;
};

Decomposed decompose(const CGAffineTransform& t) {
    Decomposed d;
    d.sx = std::hypot(t.a, t.b);
    d.angle = std::atan2(t.b, t.a);
    d.sy = d.sx == 0 ? std::hypot(t.c, t.d) : (t.a * t.d - t.b * t.c) / d.sx;
    d.tx = t.tx;
    d.ty = t.ty;
    return d;
}

CGAffineTransform compose(const Decomposed& d) {
    const double c = std::cos(d.angle), s = std::sin(d.angle);
    return {d.sx * c, d.sx * s, -d.sy * s, d.sy * c, d.tx, d.ty};
}

// The colour / number a key path names in `state` (const or not); null when there is none.
template <class State>
auto colorSlot(State& state, const std::string& keyPath) -> decltype(&state.backgroundColor) {
    if (keyPath == "backgroundColor") return &state.backgroundColor;
    if (keyPath == "borderColor") return &state.borderColor;
    if (keyPath == "shadowColor") return &state.shadowColor;
    if (!state.shape) return nullptr;
    if (keyPath == "fillColor") return &state.shape->fillColor;
    if (keyPath == "strokeColor") return &state.shape->strokeColor;
    return nullptr;
}

template <class State>
auto numberSlot(State& state, const std::string& keyPath) -> decltype(&state.opacity) {
    if (keyPath == "opacity") return &state.opacity;
    if (!state.shape) return nullptr;
    if (keyPath == "strokeStart") return &state.shape->strokeStart;
    if (keyPath == "strokeEnd") return &state.shape->strokeEnd;
    return nullptr;
}

// `a` + `b` for values of one kind (transforms: `a`, then `b`); none when the kinds differ.
std::optional<CAAnimationValue> add(const CAAnimationValue& a, const CAAnimationValue& b) {
    if (a.index() != b.index()) return std::nullopt;
    return std::visit(
        [&](const auto& x) -> CAAnimationValue {
            using T = std::decay_t<decltype(x)>;
            const T& y = std::get<T>(b);
            if constexpr (std::is_same_v<T, double>) return x + y;
            else if constexpr (std::is_same_v<T, CGPoint>) return CGPoint{x.x + y.x, x.y + y.y};
            else if constexpr (std::is_same_v<T, CGRect>)
                return CGRect{{x.origin.x + y.origin.x, x.origin.y + y.origin.y},
                              {x.size.width + y.size.width, x.size.height + y.size.height}};
            else if constexpr (std::is_same_v<T, CGAffineTransform>) return x.concatenating(y);
            else return CGColor{x.red + y.red, x.green + y.green, x.blue + y.blue, x.alpha + y.alpha};
        },
        a);
}

// `a` − `b` for values of one kind (not for transforms, which have no difference here).
std::optional<CAAnimationValue> subtract(const CAAnimationValue& a, const CAAnimationValue& b) {
    if (a.index() != b.index() || std::holds_alternative<CGAffineTransform>(b)) return std::nullopt;
    const CAAnimationValue negated = std::visit(
        [](const auto& y) -> CAAnimationValue {
            using T = std::decay_t<decltype(y)>;
            if constexpr (std::is_same_v<T, double>) return -y;
            else if constexpr (std::is_same_v<T, CGPoint>) return CGPoint{-y.x, -y.y};
            else if constexpr (std::is_same_v<T, CGRect>)
                return CGRect{{-y.origin.x, -y.origin.y}, {-y.size.width, -y.size.height}};
            else if constexpr (std::is_same_v<T, CGColor>) return CGColor{-y.red, -y.green, -y.blue, -y.alpha};
            else return y;
        },
        b);
    return add(a, negated);
}

}  // namespace

double CAAnimation::activeDuration() const {
    const double d = duration > 0 && std::isfinite(duration) ? duration : kDefaultDuration;
    const double repeats = repeatCount > 0 ? repeatCount : 1;  // NaN and negatives: once
    return d * repeats * (autoreverses ? 2 : 1);
}

std::optional<double> CAAnimation::progressAt(double t) const {
    if (std::isnan(t)) return std::nullopt;
    const double d = duration > 0 && std::isfinite(duration) ? duration : kDefaultDuration;
    const double active = activeDuration();
    const bool fillsBackwards = fillMode == CAFillMode::backwards || fillMode == CAFillMode::both;
    const bool fillsForwards = fillMode == CAFillMode::forwards || fillMode == CAFillMode::both;
    if (t < 0 && !fillsBackwards) return std::nullopt;
    if (t >= active && !fillsForwards) return std::nullopt;
    t = std::clamp(t, 0.0, active);
    const double cycle = autoreverses ? 2 * d : d;
    double within = std::fmod(t, cycle);
    if (t >= active && t > 0 && within == 0) within = cycle;  // ended exactly at a cycle's end
    const double raw = within <= d ? within / d : 1 - (within - d) / d;
    return timingFunction ? timingFunction->evaluate(raw) : std::clamp(raw, 0.0, 1.0);
}

std::optional<CAAnimationValue> CAPropertyAnimation::read(const LayerState& state, const std::string& keyPath) {
    if (const auto* n = numberSlot(state, keyPath)) return double{*n};
    if (const auto* c = colorSlot(state, keyPath)) return c->value_or(CGColor::clear());
    if (keyPath == "position") return state.position;
    if (keyPath == "bounds") return state.bounds;
    if (keyPath == "transform") return state.affineTransform;
    if (keyPath == "transform.scale") return decompose(state.affineTransform).sx;
    if (keyPath == "transform.rotation.z") return decompose(state.affineTransform).angle;
    return std::nullopt;
}

bool CAPropertyAnimation::write(LayerState& state, const std::string& keyPath, const CAAnimationValue& value) {
    if (const auto* number = std::get_if<double>(&value)) {
        if (!std::isfinite(*number)) return false;
        if (auto* n = numberSlot(state, keyPath)) return *n = *number, true;
        if (keyPath != "transform.scale" && keyPath != "transform.rotation.z") return false;
        auto d = decompose(state.affineTransform);
        if (keyPath == "transform.scale") d.sx = d.sy = *number;
        else d.angle = *number;
        state.affineTransform = compose(d);
        return true;
    }
    if (const auto* color = std::get_if<CGColor>(&value)) {
        auto* c = colorSlot(state, keyPath);
        return c && (*c = *color, true);
    }
    if (const auto* p = std::get_if<CGPoint>(&value); p && keyPath == "position") return state.position = *p, true;
    if (const auto* r = std::get_if<CGRect>(&value); r && keyPath == "bounds") return state.bounds = *r, true;
    if (const auto* t = std::get_if<CGAffineTransform>(&value); t && keyPath == "transform")
        return state.affineTransform = *t, true;
    return false;
}

CAAnimationValue CAPropertyAnimation::interpolate(const CAAnimationValue& a, const CAAnimationValue& b, double f) {
    if (a.index() != b.index()) return a;
    return std::visit(
        [&](const auto& x) -> CAAnimationValue {
            using T = std::decay_t<decltype(x)>;
            const T& y = std::get<T>(b);
            if constexpr (std::is_same_v<T, double>) return lerp(x, y, f);
            else if constexpr (std::is_same_v<T, CGPoint>) return CGPoint{lerp(x.x, y.x, f), lerp(x.y, y.y, f)};
            else if constexpr (std::is_same_v<T, CGRect>)
                return CGRect{{lerp(x.origin.x, y.origin.x, f), lerp(x.origin.y, y.origin.y, f)},
                              {lerp(x.size.width, y.size.width, f), lerp(x.size.height, y.size.height, f)}};
            else if constexpr (std::is_same_v<T, CGAffineTransform>) {
                // Scale, rotation and translation each move evenly, so a turn stays rigid.
                const auto p = decompose(x), q = decompose(y);
                return compose({lerp(p.sx, q.sx, f), lerp(p.sy, q.sy, f), lerp(p.angle, q.angle, f),
                                lerp(p.tx, q.tx, f), lerp(p.ty, q.ty, f)});
            } else
                return CGColor{lerp(x.red, y.red, f), lerp(x.green, y.green, f), lerp(x.blue, y.blue, f),
                               lerp(x.alpha, y.alpha, f)};
        },
        a);
}

void CABasicAnimation::apply(double localTime, LayerState& state) const {
    const auto progress = progressAt(localTime);
    const auto current = read(state, keyPath);
    if (!progress || !current) return;
    std::optional<CAAnimationValue> from, to;
    if (fromValue && toValue) from = fromValue, to = toValue;
    else if (fromValue && byValue) from = fromValue, to = add(*fromValue, *byValue);
    else if (byValue && toValue) from = subtract(*toValue, *byValue), to = toValue;
    else if (fromValue) from = fromValue, to = current;
    else if (toValue) from = current, to = toValue;
    else if (byValue) from = current, to = add(*current, *byValue);
    if (!from || !to || from->index() != to->index()) return;
    write(state, keyPath, interpolate(*from, *to, *progress));
}

void CAKeyframeAnimation::apply(double localTime, LayerState& state) const {
    const auto progress = progressAt(localTime);
    if (!progress || values.empty()) return;
    const std::size_t n = values.size();
    if (n == 1) return void(write(state, keyPath, values.front()));
    const bool timesUsable = keyTimes.size() == n && std::is_sorted(keyTimes.begin(), keyTimes.end()) &&
                             keyTimes.front() >= 0 && keyTimes.back() <= 1;
    const auto timeOf = [&](std::size_t i) { return timesUsable ? keyTimes[i] : double(i) / double(n - 1); };
    const double p = std::clamp(*progress, 0.0, 1.0);
    std::size_t segment = 0;
    while (segment + 2 < n && p >= timeOf(segment + 1)) ++segment;
    const double start = timeOf(segment), end = timeOf(segment + 1);
    double f = end > start ? std::clamp((p - start) / (end - start), 0.0, 1.0) : (p >= end ? 1.0 : 0.0);
    if (segment < timingFunctions.size()) f = timingFunctions[segment].evaluate(f);
    write(state, keyPath, interpolate(values[segment], values[segment + 1], f));
}

std::shared_ptr<CAAnimation> CAAnimationGroup::copy() const {
    auto group = std::make_shared<CAAnimationGroup>(*this);
    for (auto& child : group->animations)
        if (child) child = child->copy();
    return group;
}

void CAAnimationGroup::apply(double localTime, LayerState& state) const {
    const auto progress = progressAt(localTime);
    if (!progress) return;
    // The group's own pacing moves its time line; children run on it, cut to its duration.
    const double d = duration > 0 && std::isfinite(duration) ? duration : kDefaultDuration;
    const double groupTime = *progress * d;
    for (const auto& child : animations)
        if (child) child->apply(groupTime - child->beginTime, state);
}

}  // namespace platform
