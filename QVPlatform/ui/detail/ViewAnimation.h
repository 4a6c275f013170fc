// The recording behind UIView::animate, called by the view setters and hit testing.
#pragma once

#include <initializer_list>

namespace platform {
class CALayer;
}

namespace platform::detail {

// Called by a view setter before it changes the layer properties at `keyPaths`: inside an
// animations block, notes where each one was. Main thread only.
void viewWillChange(CALayer& layer, std::initializer_list<const char*> keyPaths);

// True while `layer` runs an animation from a block that does not allow user interaction.
bool animationBlocksTouches(const CALayer& layer);

}  // namespace platform::detail
