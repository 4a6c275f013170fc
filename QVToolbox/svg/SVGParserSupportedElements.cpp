#include <QVToolbox/svg/SVGParserSupportedElements.h>

#include <QVToolbox/svg/SVGAttributes.h>
#include <QVToolbox/svg/SVGContainers.h>
#include <QVToolbox/svg/SVGPath.h>
#include <QVToolbox/svg/SVGShapes.h>

namespace QVToolbox {

const SVGParserSupportedElements& SVGParserSupportedElements::allSupportedElements() {
    static const SVGParserSupportedElements registry({
        {"circle", [] { return SVGCircle::make(); }},
        {"ellipse", [] { return SVGEllipse::make(); }},
        {"g", [] { return SVGGroup::make(); }},
        {"line", [] { return SVGLine::make(); }},
        {"path", [] { return SVGPath::make(true); }},
        {"polygon", [] { return SVGPolygon::make(); }},
        {"polyline", [] { return SVGPolyline::make(); }},
        {"rect", [] { return SVGRectangle::make(); }},
        {"svg", [] { return SVGRootElement::make(); }},
    });
    return registry;
}

const SVGParserSupportedElements& SVGParserSupportedElements::barebones() {
    static const SVGParserSupportedElements registry({
        {"path",
         [] {
             auto path = std::make_shared<SVGPath>();
             path->shouldParseAsynchronously = true;
             path->supportedAttributes.emplace_back(
                 "d", [](SVGElement& e, std::string_view text) { static_cast<SVGPath&>(e).setPathData(text); });
             appendFillOnly(path->supportedAttributes);
             return std::shared_ptr<SVGElement>(path);
         }},
        {"svg", [] { return SVGRootElement::make(false); }},
    });
    return registry;
}

}  // namespace QVToolbox
