// AnimationType: the looping activity animations the progress HUD can show, and the code that
// builds each one as layer animations.
//
//   addAnimationContent(AnimationType::circleStrokeSpin, *hostLayer, 50, CGColor{1, 1, 1, 1});
//   hostLayer->sublayers().size();                 // 1: one arc whose ends chase each other
//   allAnimationTypes().size();                    // 22, in declaration order
//
// Each drawn type uses at most 8 shape layers, basic and keyframe animations only, in the
// colour given, looping for ever. `none`, `activityIndicator` (the platform's indicator, made
// by the HUD) and `sfSymbolBounce` (it stores a symbol name only) add nothing here.
// Thread rule: layers may be built on any thread; the HUD builds them on the main thread.
#pragma once

#include <QVPlatform/graphics/Color.h>
#include <QVPlatform/layers/CALayer.h>

#include <array>
#include <optional>
#include <string_view>

namespace QVToolbox {

enum class AnimationType {
    none,
    activityIndicator,
    ballVerticalBounce,
    barSweepToggle,
    circleArcDotSpin,
    circleBarSpinFade,
    circleDotSpinFade,
    circlePulseMultiple,
    circlePulseSingle,
    circleRippleMultiple,
    circleRippleSingle,
    circleRotateChase,
    circleStrokeSpin,
    dualDotSidestep,
    horizontalBarScaling,
    horizontalDotScaling,
    pacmanProgress,
    quintupleDotDance,
    semiRingRotation,
    sfSymbolBounce,
    squareCircuitSnake,
    triangleDotShift,
};

// Every case, in declaration order.
const std::array<AnimationType, 22>& allAnimationTypes();
// The case's name as written above ("circleStrokeSpin").
std::string_view animationTypeName(AnimationType type);
// The case called `name`, or none.
std::optional<AnimationType> animationTypeNamed(std::string_view name);
// True for the types drawn by addAnimationContent.
bool isDrawnAnimation(AnimationType type);

// Adds the looping layers of `type` to `host`, inside a square of side `side` at the host's
// origin, in `color`. Adds nothing for the types that are not drawn here.
void addAnimationContent(AnimationType type, platform::CALayer& host, double side, platform::CGColor color);

}  // namespace QVToolbox
