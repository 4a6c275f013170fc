// Animated view changes for the toasts and the HUD: the changes made inside `changes` to the
// views' alpha, centre/frame origin and transform are animated from what is on screen now
// (the presentation values) over `duration` with `curve`; `completion(finished)` runs on the
// main run loop when they end, with false when a later change to the same property of the
// same view replaced them first. With nothing to animate, completion(true) runs after
// `duration`. Main thread only.
#pragma once

#include <QVPlatform/layers/CAMediaTimingFunction.h>
#include <QVPlatform/ui/UIView.h>

#include <functional>
#include <memory>
#include <vector>

namespace QVToolbox::detail {

void animateViews(const std::vector<std::shared_ptr<platform::UIView>>& views, double duration,
                  platform::CAMediaTimingFunction::Name curve, const std::function<void()>& changes,
                  std::function<void(bool finished)> completion = nullptr);

}  // namespace QVToolbox::detail
