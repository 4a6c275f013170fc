// The basic shape elements: circle, ellipse, line, rect, polygon and polyline.
//
//   auto circle = SVGCircle::make();                 // table: cx, cy, r, then the families
//   circle->applyAttributes({{"cx", "10px"}, {"cy", "20mm"}, {"r", "5"}});
//   circle->didProcessElement(&group);               // outline set, layer added to the group
//
// Lengths (circle and ellipse) read a number, else a number followed by "px" or "mm" (taken
// as the same unit); the others read plain numbers only. A value that does not read leaves
// the field as it was (0 at first). Circles, ellipses, lines and rectangles build their
// outline at the end tag, and only when there is a parent container; polygons and polylines
// build theirs from "points" at once. A negative radius, or a negative rectangle side, draws
// nothing; rectangle corner radii are clamped to half a side, and a rectangle with only one
// of rx and ry given rounds with that radius both ways (the fields keep what was given).
// Points that are not finite are left out; an empty polygon is not closed.
// Thread rule: built and fed on the parser's thread.
#pragma once

#include <QVToolbox/svg/SVGElement.h>

#include <memory>
#include <string_view>

namespace QVToolbox {

// The length rule: a number, else a number with "px" or "mm" after it.
std::optional<double> svgLength(std::string_view text);

class SVGCircle final : public SVGShapeElement {
public:
    static std::shared_ptr<SVGCircle> make();
    std::string_view elementName() const override { return "circle"; }
    void didProcessElement(SVGContainerElement* parent) override;
    platform::CGPoint circleCenter;
    double circleRadius = 0;
};

class SVGEllipse final : public SVGShapeElement {
public:
    static std::shared_ptr<SVGEllipse> make();
    std::string_view elementName() const override { return "ellipse"; }
    void didProcessElement(SVGContainerElement* parent) override;
    platform::CGPoint ellipseCenter;
    double xRadius = 0, yRadius = 0;
};

class SVGLine final : public SVGShapeElement {
public:
    static std::shared_ptr<SVGLine> make();
    std::string_view elementName() const override { return "line"; }
    void didProcessElement(SVGContainerElement* parent) override;
    platform::CGPoint end, start;
};

class SVGRectangle final : public SVGShapeElement {
public:
    static std::shared_ptr<SVGRectangle> make();
    std::string_view elementName() const override { return "rect"; }
    void didProcessElement(SVGContainerElement* parent) override;
    platform::CGRect rectangleRect;
    double xCornerRadius = 0, yCornerRadius = 0;
};

// Polygon (closed) and polyline (open): the outline comes from "points".
class SVGPolygon final : public SVGShapeElement {
public:
    static std::shared_ptr<SVGPolygon> make();
    std::string_view elementName() const override { return "polygon"; }
    void didProcessElement(SVGContainerElement* parent) override { attach(parent); }
};

class SVGPolyline final : public SVGShapeElement {
public:
    static std::shared_ptr<SVGPolyline> make();
    std::string_view elementName() const override { return "polyline"; }
    void didProcessElement(SVGContainerElement* parent) override { attach(parent); }
};

}  // namespace QVToolbox
