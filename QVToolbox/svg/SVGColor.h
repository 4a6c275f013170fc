// SVG colour texts: "#f00", "#ff000080", "rgb(255, 0, 0)", "rgba(255,0,0,0.5)", "red".
//
//   colorFromSVGString("#ff0000")->rgba();      // {1, 0, 0, 1}
//   colorFromSVGString("rgba(0,0,255,0.5)");    // blue at alpha 0.5
//   colorFromSVGString("RED");                   // red: names are looked up lower-cased
//
// The names come from "cssColorNames.json" (the 148 CSS colour names), which ships in the
// library's resource bundle "QVToolbox.bundle" beside the library file (in the build tree
// too) and is read once, on first use; without it only the "#", "rgb" and "rgba" forms work.
// Thread rule: pure functions, call from any thread.
#pragma once

#include <QVPlatform/ui/UIColor.h>

#include <memory>
#include <string_view>

namespace QVToolbox {

// `UIColor(svgString:)`: "#" hex, "rgba(...)", "rgb(...)", else a colour name; null for
// none. "rgb"/"rgba" with fewer than three values, or a value that does not read (a
// percentage), give none; so does a text too short to hold the parentheses.
std::shared_ptr<platform::UIColor> colorFromSVGString(std::string_view text);

// `UIColor(hexString:)`: 3, 4, 6 or 8 hexadecimal digits after an optional "#" (RGB, RGBA,
// RRGGBB, RRGGBBAA); hex digits only ("#0x12ab" is none).
std::shared_ptr<platform::UIColor> colorFromHexString(std::string_view text);

// `UIColor(cssName:)`: the named colour, looked up lower-cased; null for an unknown name.
std::shared_ptr<platform::UIColor> colorFromCSSName(std::string_view name);

// How many names the table holds (0 when the resource was not found).
std::size_t cssColorNameCount();

}  // namespace QVToolbox
