// UIGraphics: each thread's stack of current drawing contexts, and offscreen image contexts.
//
//   UIGraphicsBeginImageContextWithOptions({40, 20}, false, 0);   // 0: the screen's scale
//   UIGraphicsGetCurrentContext()->fillRect({{0, 0}, {40, 20}}, CGColor{1, 0, 0, 1});
//   auto image = UIGraphicsGetImageFromCurrentImageContext();   // 40 x 20 points, 80 x 40 pixels
//   UIGraphicsEndImageContext();
//
// Views drawing in the commit step find their context here too. A size that is empty, not
// finite or too large makes no context (GetCurrentContext gives null until the matching end).
// Thread rule: the stack belongs to the calling thread; threads draw independently.
#pragma once

#include <QVPlatform/graphics/DrawingContext.h>
#include <QVPlatform/graphics/Geometry.h>

#include <memory>

namespace platform {

class UIImage;

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, double scale);
inline void UIGraphicsBeginImageContext(CGSize size) { UIGraphicsBeginImageContextWithOptions(size, false, 1); }
// The context on top of this thread's stack; null when there is none.
CGContext* UIGraphicsGetCurrentContext();
// The pixels of the current image context as an image at its scale; null without one.
std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext();
// Ends the image context begun last (an unbalanced call does nothing).
void UIGraphicsEndImageContext();
// Makes `context` current until the matching pop; the caller keeps it alive.
void UIGraphicsPushContext(CGContext& context);
void UIGraphicsPopContext();

}  // namespace platform
