#include <QVToolbox/gif/DisplayLinkProxy.h>

#include <QVToolbox/gif/Animator.h>

namespace QVToolbox {

void DisplayLinkProxy::onScreenUpdate() const {
    // The strong hold lasts the tick: an animator released by its own callbacks ends after it.
    if (const auto animator = target_.lock()) animator->updateFrameIfNeeded();
}

}  // namespace QVToolbox
