// Drawing laid-out text into a Cairo context (the drawing context and the layer renderer use it).
#pragma once

#include <QVPlatform/graphics/TextLayout.h>

#include <cairo.h>

#include <string_view>

namespace platform::detail {

// Draws `text` laid out in `style` with the top-left of its box at `origin`, in the current
// source of `cr` and under its current transform. Lines past the line limit are not drawn;
// alignment places lines within `style.maxWidth` (when it is positive).
void showText(cairo_t* cr, std::string_view text, const TextStyle& style, CGPoint origin);

}  // namespace platform::detail
