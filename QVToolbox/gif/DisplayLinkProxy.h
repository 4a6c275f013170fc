// DisplayLinkProxy: the display link's target on behalf of an Animator. The link keeps its
// target alive; the proxy holds the animator weakly, so a playing animation never keeps its
// animator (and the animator's view) alive.
//
//   auto proxy = std::make_shared<DisplayLinkProxy>(animator);
//   auto link = CADisplayLink::make([proxy](CADisplayLink&) { proxy->onScreenUpdate(); });
//   // each tick: animator->updateFrameIfNeeded() while the animator lives, else nothing
//
// Thread rule: onScreenUpdate runs on the main thread (the display link's); the target is
// set once at construction.
#pragma once

#include <memory>

namespace QVToolbox {

class Animator;

class DisplayLinkProxy {
public:
    explicit DisplayLinkProxy(std::weak_ptr<Animator> target) : target_(std::move(target)) {}

    std::shared_ptr<Animator> target() const { return target_.lock(); }
    // Ticks the target when it still exists.
    void onScreenUpdate() const;

private:
    const std::weak_ptr<Animator> target_;
};

}  // namespace QVToolbox
