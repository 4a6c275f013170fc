// CAAnimation: timed changes of layer properties, evaluated into a LayerState.
//
//   CABasicAnimation fade("opacity");
//   fade.fromValue = 0.0; fade.toValue = 1.0; fade.duration = 0.5;
//   fade.timingFunction = CAMediaTimingFunction::named(CAMediaTimingFunction::Name::easeOut);
//   layer->addAnimation(fade, "fade");                   // the layer keeps its own copy
//   LayerState now = layer->presentationState();         // the model with animations applied
//
// Key paths: opacity, position, bounds, transform, transform.scale, transform.rotation.z,
// strokeStart, strokeEnd, backgroundColor, borderColor, shadowColor, fillColor, strokeColor.
// A value of the wrong kind for its key path, or an unknown key path, changes nothing.
//
// Timing (all animations): `duration` (0 or not finite means 0.25 s), `beginTime` (0 means
// when added; otherwise CACurrentMediaTime seconds, or the offset inside a group),
// `repeatCount` (0 means once; infinity repeats for ever; fractions end part-way),
// `autoreverses` (each repeat plays forward then back), `fillMode` (before the start and
// after the end, whether the first / last value still shows) and `timingFunction`
// (linear when absent). `removedOnCompletion` removes the animation from its layer when it
// ends; `completion` then runs on the main run loop with `finished` true, or false when it
// was removed or replaced before its end.
//
// CABasicAnimation goes from `fromValue` to `toValue`, with `byValue` adding to either;
// a missing end takes the layer's value. CAKeyframeAnimation passes through `values` at
// `keyTimes` (evenly spaced when absent or not an ascending list in [0, 1] of the same
// count), each segment paced by `timingFunctions[i]` when given. CAAnimationGroup plays its
// children on its own time line, each cut to the group's duration.
//
// Thread rule: configure an animation on one thread; once added, the layer's copy is never
// changed and may be read from any thread.
#pragma once

#include <QVPlatform/layers/CALayer.h>
#include <QVPlatform/layers/CAMediaTimingFunction.h>

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

using CAAnimationValue = std::variant<double, CGPoint, CGRect, CGAffineTransform, CGColor>;

enum class CAFillMode { removed, forwards, backwards, both };

class CAAnimation {
public:
    virtual ~CAAnimation() = default;
    virtual std::shared_ptr<CAAnimation> copy() const = 0;

    double duration = 0;
    double beginTime = 0;
    double repeatCount = 0;
    bool autoreverses = false;
    CAFillMode fillMode = CAFillMode::removed;
    bool removedOnCompletion = true;
    std::optional<CAMediaTimingFunction> timingFunction;
    std::function<void(bool finished)> completion;

    // Length of the whole run, repeats and reverses included (infinity for endless repeats).
    double activeDuration() const;
    // Paced progress at `localTime` seconds after the start, or none when the animation does
    // not apply then (outside its run and not filled).
    std::optional<double> progressAt(double localTime) const;
    // Applies the values at `localTime` to `state`.
    virtual void apply(double localTime, LayerState& state) const = 0;

protected:
    CAAnimation() = default;
    CAAnimation(const CAAnimation&) = default;
    CAAnimation& operator=(const CAAnimation&) = default;
};

class CAPropertyAnimation : public CAAnimation {
public:
    std::string keyPath;

    // The key path's value in `state`; none for an unknown path.
    static std::optional<CAAnimationValue> read(const LayerState& state, const std::string& keyPath);
    // Sets the key path in `state`; false (nothing changed) for an unknown path or a value of
    // the wrong kind.
    static bool write(LayerState& state, const std::string& keyPath, const CAAnimationValue& value);
    // `a` moved fraction `f` towards `b`; `a` when the kinds differ.
    static CAAnimationValue interpolate(const CAAnimationValue& a, const CAAnimationValue& b, double f);

protected:
    explicit CAPropertyAnimation(std::string path) : keyPath(std::move(path)) {}
};

class CABasicAnimation : public CAPropertyAnimation {
public:
    explicit CABasicAnimation(std::string keyPath = {}) : CAPropertyAnimation(std::move(keyPath)) {}
    std::shared_ptr<CAAnimation> copy() const override { return std::make_shared<CABasicAnimation>(*this); }
    void apply(double localTime, LayerState& state) const override;

    std::optional<CAAnimationValue> fromValue, toValue, byValue;
};

class CAKeyframeAnimation : public CAPropertyAnimation {
public:
    explicit CAKeyframeAnimation(std::string keyPath = {}) : CAPropertyAnimation(std::move(keyPath)) {}
    std::shared_ptr<CAAnimation> copy() const override { return std::make_shared<CAKeyframeAnimation>(*this); }
    void apply(double localTime, LayerState& state) const override;

    std::vector<CAAnimationValue> values;
    std::vector<double> keyTimes;
    std::vector<CAMediaTimingFunction> timingFunctions;
};

class CAAnimationGroup : public CAAnimation {
public:
    std::shared_ptr<CAAnimation> copy() const override;
    void apply(double localTime, LayerState& state) const override;

    std::vector<std::shared_ptr<CAAnimation>> animations;
};

}  // namespace platform
