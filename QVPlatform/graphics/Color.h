// CGColor: a colour as a plain value, red, green, blue and alpha in the sRGB space as doubles.
// It is what layers and the drawing context hold; UIColor converts to and from it.
//
//   CGColor red{1, 0, 0, 1};
//   red.withAlpha(0.5).alpha;          // 0.5
//   CGColor{2, -1, NAN, 1}.clamped();  // {1, 0, 0, 1}: what is handed to the renderer
//
// Components are kept as given (the extended range is allowed); `clamped` brings each into
// 0...1, a NaN becoming 0, before anything is drawn. A layer property that may hold "no
// colour" is a std::optional<CGColor>. Thread rule: a value.
#pragma once

#include <algorithm>
#include <cmath>

namespace platform {

struct CGColor {
    double red = 0, green = 0, blue = 0, alpha = 1;

    static constexpr CGColor black() { return {0, 0, 0, 1}; }
    static constexpr CGColor white() { return {1, 1, 1, 1}; }
    static constexpr CGColor clear() { return {0, 0, 0, 0}; }
    static constexpr CGColor gray(double white, double alpha = 1) { return {white, white, white, alpha}; }

    constexpr CGColor withAlpha(double a) const { return {red, green, blue, a}; }
    CGColor clamped() const { return {clamp(red), clamp(green), clamp(blue), clamp(alpha)}; }
    friend constexpr bool operator==(const CGColor&, const CGColor&) = default;

private:
    static double clamp(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }
};

}  // namespace platform
