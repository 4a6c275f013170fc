#include <QVToolbox/svg/SVGAttributes.h>

#include <QVToolbox/svg/SVGColor.h>
#include <QVToolbox/svg/SVGNumber.h>
#include <QVToolbox/svg/SVGStyle.h>
#include <QVToolbox/svg/SVGTransform.h>

#include <QVPlatform/layers/CAShapeLayer.h>

namespace QVToolbox {

namespace {

using platform::CAShapeLayer;
using platform::CGColor;

std::optional<CGColor> color(std::string_view text) {
    const auto parsed = colorFromSVGString(text);
    if (!parsed) return std::nullopt;
    const auto c = parsed->rgba();
    return CGColor{c.red, c.green, c.blue, c.alpha};
}

// SVG's "none" paint: no colour at all (a colour text that does not parse changes nothing).
bool isNone(std::string_view text) { return text == "none"; }

// The element's shape layer; shape handlers are only ever in shape elements' tables.
CAShapeLayer& shapeLayer(SVGElement& element) { return *static_cast<SVGShapeElement&>(element).svgLayer; }
DelayedAttributes& groupRecord(SVGElement& element) { return static_cast<SVGContainerElement&>(element).delayedAttributes; }

// Shape handlers ----------------------------------------------------------------------------

void fillOnShape(SVGElement& e, std::string_view text) {
    if (isNone(text)) return shapeLayer(e).setFillColor(std::nullopt);
    const auto parsed = color(text);
    if (!parsed) return;
    CAShapeLayer& layer = shapeLayer(e);
    const auto current = layer.fillColor();
    layer.setFillColor(parsed->withAlpha(current ? current->alpha : parsed->alpha));
}

void opacityOnShape(SVGElement& e, std::string_view text) {
    const auto value = strictDouble(text);
    if (!value) return;
    CAShapeLayer& layer = shapeLayer(e);
    // A shape without fill ("none") stays without one.
    if (const auto current = layer.fillColor()) layer.setFillColor(current->withAlpha(*value));
}

void fillRuleOnShape(SVGElement& e, std::string_view text) {
    if (text == "evenodd") shapeLayer(e).setFillRule(platform::kCAFillRuleEvenOdd);
}

void strokeOnShape(SVGElement& e, std::string_view text) {
    if (isNone(text)) return shapeLayer(e).setStrokeColor(std::nullopt);
    if (const auto parsed = color(text)) shapeLayer(e).setStrokeColor(parsed);
}

void strokeWidthOnShape(SVGElement& e, std::string_view text) {
    if (const auto value = strictDouble(text)) shapeLayer(e).setLineWidth(*value);
}

void miterLimitOnShape(SVGElement& e, std::string_view text) {
    if (const auto value = strictDouble(text)) shapeLayer(e).setMiterLimit(*value);
}

void lineCapOnShape(SVGElement& e, std::string_view text) { shapeLayer(e).setLineCap(std::string(text)); }
void lineJoinOnShape(SVGElement& e, std::string_view text) { shapeLayer(e).setLineJoin(std::string(text)); }

// Group handlers: recorded for the children -------------------------------------------------

SVGAttributeHandler recordAs(std::string key) {
    return [key = std::move(key)](SVGElement& e, std::string_view text) { groupRecord(e).record(key, text); };
}

// Every element -----------------------------------------------------------------------------

void identity(SVGElement& e, std::string_view text) { e.layerToTransform().setName(std::string(text)); }

void transform(SVGElement& e, std::string_view text) { e.layerToTransform().setAffineTransform(transformFromList(text)); }

// Each declaration goes to the element's own handler of that name; "style" itself is skipped.
void style(SVGElement& e, std::string_view text) {
    for (const StyleDeclaration& declaration : scanStyle(text)) {
        if (declaration.name == "style") continue;
        if (const SVGAttributeHandler* handler = e.handler(declaration.name)) (*handler)(e, declaration.value);
    }
}

}  // namespace

void appendFamilies(SVGAttributeTable& table, SVGFamilyTarget target) {
    table.emplace_back("id", identity);
    if (target == SVGFamilyTarget::root) return;
    if (target == SVGFamilyTarget::shape) {
        table.emplace_back("color", fillOnShape);
        table.emplace_back("fill", fillOnShape);
        table.emplace_back("fill-opacity", opacityOnShape);
        table.emplace_back("fill-rule", fillRuleOnShape);
        table.emplace_back("opacity", opacityOnShape);
        table.emplace_back("stroke", strokeOnShape);
        table.emplace_back("stroke-width", strokeWidthOnShape);
        table.emplace_back("stroke-miterlimit", miterLimitOnShape);
        table.emplace_back("stroke-linecap", lineCapOnShape);
        table.emplace_back("stroke-linejoin", lineJoinOnShape);
    } else {
        table.emplace_back("color", recordAs("fill"));
        table.emplace_back("fill", recordAs("fill"));
        table.emplace_back("fill-opacity", recordAs("opacity"));
        table.emplace_back("fill-rule", recordAs("fill-rule"));
        table.emplace_back("opacity", recordAs("opacity"));
        for (const char* name : {"stroke", "stroke-width", "stroke-miterlimit", "stroke-linecap", "stroke-linejoin"}) {
            table.emplace_back(name, recordAs(name));
        }
    }
    table.emplace_back("style", style);
    table.emplace_back("transform", transform);
}

void appendFillOnly(SVGAttributeTable& table) { table.emplace_back("fill", fillOnShape); }

void applyGroupAttribute(std::string_view key, std::string_view value, CAShapeLayer& layer) {
    if (key == "fill") {
        if (isNone(value)) layer.setFillColor(std::nullopt);
        if (const auto parsed = color(value)) layer.setFillColor(parsed);
    } else if (key == "fill-rule") {
        if (value == "evenodd") layer.setFillRule(platform::kCAFillRuleEvenOdd);
    } else if (key == "opacity") {
        // Read as a 32-bit number, as the platform's layer opacity is.
        if (const auto v = strictDouble(value)) layer.setOpacity(static_cast<float>(*v));
    } else if (key == "stroke") {
        if (isNone(value)) layer.setStrokeColor(std::nullopt);
        if (const auto parsed = color(value)) layer.setStrokeColor(parsed);
    } else if (key == "stroke-linecap") {
        layer.setLineCap(std::string(value));
    } else if (key == "stroke-linejoin") {
        layer.setLineJoin(std::string(value));
    } else if (key == "stroke-miterlimit") {
        if (const auto v = strictDouble(value)) layer.setMiterLimit(*v);
    } else if (key == "stroke-width") {
        if (const auto v = strictDouble(value)) layer.setLineWidth(*v);
    }
}

}  // namespace QVToolbox
