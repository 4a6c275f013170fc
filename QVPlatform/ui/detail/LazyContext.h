// A context made only when drawing code asks for it: views that draw nothing cost no bitmap.
#pragma once

#include <QVPlatform/graphics/DrawingContext.h>

#include <memory>

namespace platform::detail {

// Pushes a context slot of pixelWidth x pixelHeight pixels at `scale`, whose user space has
// `origin` at the top-left; the context is made the first time UIGraphicsGetCurrentContext()
// is called while the slot is on top.
void pushLazyContext(int pixelWidth, int pixelHeight, double scale, CGPoint origin);
// Pops the slot pushed last and returns its context, null when nothing asked for it.
std::unique_ptr<CGContext> popLazyContext();

}  // namespace platform::detail
