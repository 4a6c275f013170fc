// The Cairo context under a CGContext, for drawing it has no call for (text, by Pango).
#pragma once

#include <QVPlatform/graphics/DrawingContext.h>

#include <cairo.h>

namespace platform::detail {

// The context's Cairo context, whose own matrix maps to pixels; restore any state changed.
cairo_t* cairoOf(CGContext& context);

}  // namespace platform::detail
