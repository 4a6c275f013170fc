// The presentation attributes every SVG element shares: "id", fill, stroke, "style" and
// "transform", as ordered handler tables for shapes and for groups.
//
//   element.supportedAttributes = ownGeometry;
//   appendFamilies(element.supportedAttributes, SVGFamilyTarget::shape);
//   // order: id; color, fill, fill-opacity, fill-rule, opacity; stroke, stroke-width,
//   //        stroke-miterlimit, stroke-linecap, stroke-linejoin; style; transform
//
// On a shape the handlers write the shape layer: "fill"/"color" keep the current fill's
// alpha (so an earlier opacity survives), "fill-opacity"/"opacity" keep its colour and set
// its alpha. On a group they record the text in the group's delayed attributes ("color"
// under "fill", "fill-opacity" under "opacity"), and `applyGroupAttribute` hands each value
// to the group's direct child shape layers at its end tag: there "opacity" is the layer's
// opacity. "style" runs the element's own handlers for its declarations, in the text's order,
// except a declaration named "style" (ignored, so a style cannot recurse). Numbers are read by
// the strict rule; texts that do not parse leave the layer as it was. The paint "none" (for
// fill and stroke) removes the colour, and an opacity on a shape without fill adds none.
// Thread rule: handlers run on the thread applying the attributes and write one layer.
#pragma once

#include <QVToolbox/svg/SVGElement.h>

#include <string_view>

namespace QVToolbox {

enum class SVGFamilyTarget { shape, group, root };

// Appends the families in their fixed order: all five for shapes and groups, "id" only for
// the root.
void appendFamilies(SVGAttributeTable& table, SVGFamilyTarget target);
// Appends the fill family's "fill" only (the barebones path).
void appendFillOnly(SVGAttributeTable& table);

// A group's recorded value applied to one child shape layer (the group-attribute table).
void applyGroupAttribute(std::string_view key, std::string_view value, platform::CAShapeLayer& layer);

}  // namespace QVToolbox
