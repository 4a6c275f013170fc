#include <QVToolbox/svg/SVGShapes.h>

#include <QVToolbox/svg/CoordinateLexer.h>
#include <QVToolbox/svg/SVGAttributes.h>
#include <QVToolbox/svg/SVGNumber.h>

#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/ui/UIBezierPath.h>

#include <cmath>
#include <numbers>

namespace QVToolbox {

namespace {

using platform::CGPoint;
using platform::CGRect;
using platform::UIBezierPath;

// A handler that reads `rule` and stores the value through `store` into element type E.
template <class E, class Store>
SVGAttributeHandler number(std::optional<double> (*rule)(std::string_view), Store store) {
    return [rule, store](SVGElement& e, std::string_view text) {
        if (const auto value = rule(text)) store(static_cast<E&>(e), *value);
    };
}

std::optional<double> plain(std::string_view text) { return strictDouble(text); }

// Own geometry first, then the families.
template <class E>
std::shared_ptr<E> withFamilies(std::shared_ptr<E> element) {
    appendFamilies(element->supportedAttributes, SVGFamilyTarget::shape);
    return element;
}

void setOutline(SVGShapeElement& shape, const std::shared_ptr<UIBezierPath>& path) { shape.svgLayer->setPath(path->cgPath()); }

// The "points" handler: a move to the first point and a line to every later one.
void buildPoints(SVGShapeElement& shape, std::string_view text, bool close) {
    auto path = UIBezierPath::bezierPath();
    CoordinateLexer lexer{std::string(text)};
    bool first = true;
    while (const auto p = lexer.next()) {
        if (!std::isfinite(p->x) || !std::isfinite(p->y)) continue;
        if (first) {
            path->moveToPoint(*p);
        } else {
            path->addLineToPoint(*p);
        }
        first = false;
    }
    if (close && !first) path->closePath();
    setOutline(shape, path);
}

}  // namespace

std::optional<double> svgLength(std::string_view text) {
    if (auto value = strictDouble(text)) return value;
    if (text.ends_with("px") || text.ends_with("mm")) return strictDouble(text.substr(0, text.size() - 2));
    return std::nullopt;
}

std::shared_ptr<SVGCircle> SVGCircle::make() {
    auto e = std::make_shared<SVGCircle>();
    auto& t = e->supportedAttributes;
    t.emplace_back("cx", number<SVGCircle>(svgLength, [](SVGCircle& c, double v) { c.circleCenter.x = v; }));
    t.emplace_back("cy", number<SVGCircle>(svgLength, [](SVGCircle& c, double v) { c.circleCenter.y = v; }));
    t.emplace_back("r", number<SVGCircle>(svgLength, [](SVGCircle& c, double v) { c.circleRadius = v; }));
    return withFamilies(std::move(e));
}

void SVGCircle::didProcessElement(SVGContainerElement* parent) {
    if (!parent) return;
    if (circleRadius >= 0) {
        setOutline(*this, UIBezierPath::bezierPathWithArcCenter(circleCenter, circleRadius, 0, 2 * std::numbers::pi, true));
    }
    attach(parent);
}

std::shared_ptr<SVGEllipse> SVGEllipse::make() {
    auto e = std::make_shared<SVGEllipse>();
    auto& t = e->supportedAttributes;
    t.emplace_back("cx", number<SVGEllipse>(svgLength, [](SVGEllipse& c, double v) { c.ellipseCenter.x = v; }));
    t.emplace_back("cy", number<SVGEllipse>(svgLength, [](SVGEllipse& c, double v) { c.ellipseCenter.y = v; }));
    t.emplace_back("rx", number<SVGEllipse>(svgLength, [](SVGEllipse& c, double v) { c.xRadius = v; }));
    t.emplace_back("ry", number<SVGEllipse>(svgLength, [](SVGEllipse& c, double v) { c.yRadius = v; }));
    return withFamilies(std::move(e));
}

void SVGEllipse::didProcessElement(SVGContainerElement* parent) {
    if (!parent) return;
    if (xRadius >= 0 && yRadius >= 0) {
        const CGRect oval{{ellipseCenter.x - xRadius, ellipseCenter.y - yRadius}, {2 * xRadius, 2 * yRadius}};
        setOutline(*this, UIBezierPath::bezierPathWithOvalInRect(oval));
    }
    attach(parent);
}

std::shared_ptr<SVGLine> SVGLine::make() {
    auto e = std::make_shared<SVGLine>();
    auto& t = e->supportedAttributes;
    t.emplace_back("x1", number<SVGLine>(plain, [](SVGLine& l, double v) { l.start.x = v; }));
    t.emplace_back("y1", number<SVGLine>(plain, [](SVGLine& l, double v) { l.start.y = v; }));
    t.emplace_back("x2", number<SVGLine>(plain, [](SVGLine& l, double v) { l.end.x = v; }));
    t.emplace_back("y2", number<SVGLine>(plain, [](SVGLine& l, double v) { l.end.y = v; }));
    return withFamilies(std::move(e));
}

void SVGLine::didProcessElement(SVGContainerElement* parent) {
    if (!parent) return;
    auto path = UIBezierPath::bezierPath();
    path->moveToPoint(start);
    path->addLineToPoint(end);
    setOutline(*this, path);
    attach(parent);
}

std::shared_ptr<SVGRectangle> SVGRectangle::make() {
    auto e = std::make_shared<SVGRectangle>();
    auto& t = e->supportedAttributes;
    t.emplace_back("x", number<SVGRectangle>(plain, [](SVGRectangle& r, double v) { r.rectangleRect.origin.x = v; }));
    t.emplace_back("y", number<SVGRectangle>(plain, [](SVGRectangle& r, double v) { r.rectangleRect.origin.y = v; }));
    t.emplace_back("width", number<SVGRectangle>(plain, [](SVGRectangle& r, double v) { r.rectangleRect.size.width = v; }));
    t.emplace_back("height", number<SVGRectangle>(plain, [](SVGRectangle& r, double v) { r.rectangleRect.size.height = v; }));
    t.emplace_back("rx", number<SVGRectangle>(plain, [](SVGRectangle& r, double v) { r.xCornerRadius = v; }));
    t.emplace_back("ry", number<SVGRectangle>(plain, [](SVGRectangle& r, double v) { r.yCornerRadius = v; }));
    return withFamilies(std::move(e));
}

void SVGRectangle::didProcessElement(SVGContainerElement* parent) {
    if (!parent) return;
    const CGRect& r = rectangleRect;
    if (r.size.width >= 0 && r.size.height >= 0) {
        if (xCornerRadius > 0 || yCornerRadius > 0) {
            // One radius given: it rounds both ways. Clamped to half a side.
            const double rx = std::min(xCornerRadius > 0 ? xCornerRadius : yCornerRadius, r.size.width / 2);
            const double ry = std::min(yCornerRadius > 0 ? yCornerRadius : xCornerRadius, r.size.height / 2);
            setOutline(*this, UIBezierPath::bezierPathWithRoundedRect(r, platform::UIRectCornerAllCorners, {rx, ry}));
        } else {
            setOutline(*this, UIBezierPath::bezierPathWithRect(r));
        }
    }
    attach(parent);
}

std::shared_ptr<SVGPolygon> SVGPolygon::make() {
    auto e = std::make_shared<SVGPolygon>();
    e->supportedAttributes.emplace_back(
        "points", [](SVGElement& s, std::string_view text) { buildPoints(static_cast<SVGShapeElement&>(s), text, true); });
    return withFamilies(std::move(e));
}

std::shared_ptr<SVGPolyline> SVGPolyline::make() {
    auto e = std::make_shared<SVGPolyline>();
    e->supportedAttributes.emplace_back(
        "points", [](SVGElement& s, std::string_view text) { buildPoints(static_cast<SVGShapeElement&>(s), text, false); });
    return withFamilies(std::move(e));
}

}  // namespace QVToolbox
