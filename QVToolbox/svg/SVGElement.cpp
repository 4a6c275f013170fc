#include <QVToolbox/svg/SVGElement.h>

#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/layers/CAShapeLayer.h>

namespace QVToolbox {

void SVGElement::applyAttributes(const SVGAttributeMap& attributes) {
    for (const auto& [name, handler] : supportedAttributes) {
        const auto found = attributes.find(name);
        if (found != attributes.end()) handler(*this, found->second);
    }
}

const SVGAttributeHandler* SVGElement::handler(std::string_view name) const {
    for (const auto& [key, handler] : supportedAttributes) {
        if (key == name) return &handler;
    }
    return nullptr;
}

void DelayedAttributes::record(std::string_view name, std::string_view value) {
    for (auto& [key, text] : pairs) {
        if (key == name) {
            text = value;
            return;
        }
    }
    pairs.emplace_back(name, value);
}

SVGContainerElement::SVGContainerElement() : containerLayer(platform::CALayer::layer()) {}

SVGShapeElement::SVGShapeElement() : svgLayer(platform::CAShapeLayer::layer()) {}

platform::CALayer& SVGShapeElement::layerToTransform() { return *svgLayer; }

std::optional<platform::CGRect> SVGShapeElement::boundingBox() const {
    const auto path = svgLayer->path();
    if (!path) return std::nullopt;
    return platform::CGPathGetBoundingBox(*path);
}

void SVGShapeElement::attach(SVGContainerElement* parent) {
    if (parent) parent->containerLayer->addSublayer(svgLayer);
}

}  // namespace QVToolbox
