// Transform: one SVG transform function ("rotate(90 10 10)") and whole transform lists.
//
//   Transform::make("rotate", "90 10 10")->affineTransform;   // maps (20, 10) to (10, 20)
//   transformFromList("translate(10) scale(2,3)");            // maps (1, 1) to (12, 3)
//   transformFromList("Rotate(45)");                           // identity: names are exact
//
// Numbers are split at spaces and commas and read by the strict rule (SVGNumber.h); a piece
// that does not read, or reads to a value that is not finite, is left out. Angles are in
// degrees. Thread rule: pure functions and a value type.
#pragma once

#include <QVPlatform/graphics/AffineTransform.h>

#include <optional>
#include <string_view>

namespace QVToolbox {

struct Transform {
    platform::CGAffineTransform affineTransform;

    // `Transform(rawValue:coordinatesString:)`: none for a name outside matrix, translate,
    // scale, rotate, skewX, skewY, for "matrix" with fewer than six numbers, "rotate" with
    // two or four and more, or no numbers at all.
    static std::optional<Transform> make(std::string_view rawValue, std::string_view coordinatesString);
};

// The transform of a whole list: the items the list scanner finds (TransformScanner.h) that
// make a Transform, the last-listed applied first; the identity when none does.
platform::CGAffineTransform transformFromList(std::string_view text);

}  // namespace QVToolbox
