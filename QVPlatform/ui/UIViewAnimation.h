// UIViewAnimation: animated changes of view properties (`UIView::animate`) and their options.
//
//   UIView::animate(0.3, 0, UIViewAnimationOptions::curveEaseOut, [&] {
//       panel->setAlpha(1);
//       panel->setCenter({160, 240});
//   }, [](bool finished) { /* main thread, once every change has ended */ });
//   UIView::performWithoutAnimation([&] { panel->setAlpha(0); });
//
// Inside the animations block, setting a view's alpha, frame, center, bounds, transform or
// background colour sets the model at once, as outside, and records where the property was:
// the model value before the block, or with `beginFromCurrentState` the value on screen (the
// presentation). When the block returns, each property that changed gets a CABasicAnimation
// on the view's layer under its key path ("opacity", "position", "bounds", "transform",
// "backgroundColor"; a frame is position and bounds), so the presentation pass and the
// renderer show it. Subviews resized or laid out inside the block animate too.
//
// Timing: `duration` seconds after `delay` (the old value shows during the delay), paced by
// the curve option (ease-in-out when none is given); `repeat` runs for ever, `autoreverse`
// plays each run forward then back (the model value shows when it ends). A duration of 0 or
// less (or not finite) applies the changes at once, stopping any animation of the same
// properties; the completion then runs with true on the next main turn, as it does when
// the block animates nothing.
//
// The replacement rule: a new animation of a property replaces the one running on it (the
// layer holds one per key). A block's completion runs on the main run loop once every one of
// its animations has ended, with `finished` true only if each ran to its end; one replaced,
// or removed (`layer()->removeAllAnimations()`, `removeAnimation(forKey:)`, the layer
// freed), makes it false. Without `beginFromCurrentState` the new animation starts from the
// model value before its block, so a replaced animation's picture jumps; with it, the new one
// starts from what is on screen.
//
// Touches: while a view has an animation from a block without `allowUserInteraction`
// (delay included), hit testing skips it and its subviews.
//
// Nesting: an inner `animate` records its own changes with its own timing;
// `performWithoutAnimation` sets properties inside a block without recording them.
//
// Thread rule: main thread only, like views.
#pragma once

namespace platform {

// A bit set; combine with `|`. The curve is the 2-bit field at bit 16 (ease-in-out is 0).
enum class UIViewAnimationOptions : unsigned {
    none = 0,
    allowUserInteraction = 1u << 1,
    beginFromCurrentState = 1u << 2,
    repeat = 1u << 3,
    autoreverse = 1u << 4,
    curveEaseInOut = 0u << 16,
    curveEaseIn = 1u << 16,
    curveEaseOut = 2u << 16,
    curveLinear = 3u << 16,
};
constexpr UIViewAnimationOptions operator|(UIViewAnimationOptions a, UIViewAnimationOptions b) {
    return static_cast<UIViewAnimationOptions>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
// True when every bit of `flag` is set in `set` (use `curveOf` for the curve field).
constexpr bool contains(UIViewAnimationOptions set, UIViewAnimationOptions flag) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(flag)) == static_cast<unsigned>(flag);
}
constexpr UIViewAnimationOptions curveOf(UIViewAnimationOptions set) {
    return static_cast<UIViewAnimationOptions>(static_cast<unsigned>(set) & (3u << 16));
}

}  // namespace platform
