// Colour helpers on UIColor: colours from 0–255 components, hexadecimal texts and numbers;
// a colour back to hexadecimal text; hue, saturation and brightness; component deltas;
// random colours. Free functions over platform::UIColor, not members of the hx wrapper.
//
//   hexStringToColorRGB("#FF8000");                   // {255, 128, 0}
//   hexString(*colorWithHexString("ff8000", 0.5));    // "#FF80007F"
//   hexStringColor("#FFF", 1);                        // white: the text is too short
//
// Hexadecimal texts: upper-cased; a leading "0X" or "##" is dropped, then one "#"; the
// first six characters are three two-digit components, a pair that is not hexadecimal
// reads as 0; characters past the sixth are ignored. A text of fewer than six characters,
// before or after its prefix is dropped, gives no colour.
//
// Thread rule: plain functions; `randomColor` keeps one generator per thread.
#pragma once

#include <QVPlatform/ui/UIColor.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

// Three components on the 0–255 scale; all absent when a text gives no colour.
struct ColorRGB {
    std::optional<double> red, green, blue;
    friend bool operator==(const ColorRGB&, const ColorRGB&) = default;
};

struct ColorHSBA {
    double hue = 0;  // degrees, 0 ..< 360
    double saturation = 0, brightness = 0, alpha = 0;
};

struct ColorDelta {
    double red = 0, green = 0, blue = 0;  // on the 0–255 scale
};

// A colour from 0–255 components (each divided by 255) and an alpha fraction.
std::shared_ptr<platform::UIColor> colorWith(double r, double g, double b, double alpha = 1);
// The same, as the class operation `color(r:g:b:alpha:)`.
std::shared_ptr<platform::UIColor> color(double r, double g, double b, double alpha = 1);

ColorRGB hexStringToColorRGB(std::string_view hexString);
// The colour of a hexadecimal text; null when the text gives no colour.
std::shared_ptr<platform::UIColor> colorWithHexString(std::string_view hexString, double alpha = 1);
// The colour of a hexadecimal text, or white when it gives none.
std::shared_ptr<platform::UIColor> hexStringColor(std::string_view hexString, double alpha = 1);

// Red is the number shifted right by 16 (not masked, so 0x1FF0000 gives 511), green bits
// 8–15, blue bits 0–7.
ColorDelta hexIntToColorRGB(std::uint64_t hexInt);
std::shared_ptr<platform::UIColor> colorWithHexInt(std::uint64_t hexInt, double alpha = 1);
// The same, with the fractions computed in 32-bit floating point.
std::shared_ptr<platform::UIColor> hexIntColor(std::uint64_t hexInt, double alpha = 1);

// An opaque colour with each component a uniformly random integer 0–255 over 255.
std::shared_ptr<platform::UIColor> randomColor();

// "#RRGGBB" for an opaque colour, else "#RRGGBBAA"; each component clamped to 0...1,
// multiplied by 255.999999 and truncated.
std::optional<std::string> hexString(const platform::UIColor& color);
ColorHSBA hsba(const platform::UIColor& color);
// a − b for red, green and blue, on the 0–255 scale.
ColorDelta getRGBDelta(const platform::UIColor& a, const platform::UIColor& b);

}  // namespace QVToolbox
